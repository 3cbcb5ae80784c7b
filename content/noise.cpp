#include "content/noise.h"

#include <cmath>

namespace sylvora {
namespace {

// Quintic ease: smooth first and second derivatives across cell borders.
double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x85EBCA6Bu;
  h ^= h >> 16;
  return h;
}

// Lattice period used where no repeat is wanted: large enough never to show.
constexpr int kUnbounded = 1 << 20;

int Wrap(int i, int period) {
  const int m = i % period;
  return m < 0 ? m + period : m;
}

}  // namespace

double TileNoise::Gradient(int iu, int iv, double du, double dv) const {
  // Sixteen evenly spread directions.
  const double angle = (Hash(static_cast<uint32_t>(iu), static_cast<uint32_t>(iv), seed_) & 15) * (M_PI / 8.0);
  return std::cos(angle) * du + std::sin(angle) * dv;
}

double TileNoise::Sample(double u, double v, int periodU) const {
  const double fu = std::floor(u);
  const double fv = std::floor(v);
  const int iu = static_cast<int>(fu);
  const int iv = static_cast<int>(fv);
  const double du = u - fu;
  const double dv = v - fv;
  const int u0 = Wrap(iu, periodU);
  const int u1 = Wrap(iu + 1, periodU);
  const double n00 = Gradient(u0, iv, du, dv);
  const double n10 = Gradient(u1, iv, du - 1, dv);
  const double n01 = Gradient(u0, iv + 1, du, dv - 1);
  const double n11 = Gradient(u1, iv + 1, du - 1, dv - 1);
  const double a = Fade(du);
  const double b = Fade(dv);
  const double top = n00 + a * (n10 - n00);
  const double bottom = n01 + a * (n11 - n01);
  return 1.4 * (top + b * (bottom - top));
}

double TileNoise::Fractal(double x, double y, double cell, int octaves, double gain, int periodX) const {
  double sum = 0;
  double amplitude = 1;
  double norm = 0;
  double size = cell;
  for (int octave = 0; octave < octaves; ++octave) {
    const int period = periodX > 0 ? static_cast<int>(std::lround(periodX / size)) : kUnbounded;
    // Each octave is shifted so the octaves do not share lattice points.
    sum += amplitude * Sample(x / size + octave * 17.31, y / size + octave * 5.79, period);
    norm += amplitude;
    amplitude *= gain;
    size *= 0.5;
  }
  return sum / norm;
}

}  // namespace sylvora
