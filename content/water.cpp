#include "content/water.h"

#include <algorithm>
#include <cmath>

#include "content/noise.h"

namespace sylvora {
namespace {

// A shore pixel read between output pixels: colour premultiplied by coverage, as cairo keeps it.
struct ShoreSample {
  Colour premultiplied;
  double alpha = 0;
};

// Reads a finished canvas at the painters' coordinates, bilinearly between its output pixels and held at
// its edges.
class ShoreReader {
 public:
  explicit ShoreReader(const Canvas& canvas)
      : canvas_(canvas),
        data_((cairo_surface_flush(canvas.Surface()), cairo_image_surface_get_data(canvas.Surface()))),
        stride_(cairo_image_surface_get_stride(canvas.Surface())) {}

  ShoreSample At(double x, double y) const {
    const int scale = canvas_.Scale();
    const double px = std::clamp((x - canvas_.Left() + 0.5) * scale - 0.5, 0.0, canvas_.Width() * scale - 1.0);
    const double py = std::clamp((y + 0.5) * scale - 0.5, 0.0, canvas_.Height() * scale - 1.0);
    const int x0 = static_cast<int>(px), y0 = static_cast<int>(py);
    const int x1 = std::min(x0 + 1, canvas_.Width() * scale - 1), y1 = std::min(y0 + 1, canvas_.Height() * scale - 1);
    const double fx = px - x0, fy = py - y0;
    double sum[4] = {0, 0, 0, 0};
    const auto add = [&](int cx, int cy, double weight) {
      const uint32_t p = reinterpret_cast<const uint32_t*>(data_ + static_cast<size_t>(cy) * stride_)[cx];
      for (int i = 0; i < 4; ++i) sum[i] += weight * ((p >> (24 - 8 * i)) & 0xFF) / 255.0;
    };
    add(x0, y0, (1 - fx) * (1 - fy));
    add(x1, y0, fx * (1 - fy));
    add(x0, y1, (1 - fx) * fy);
    add(x1, y1, fx * fy);
    return {{sum[1], sum[2], sum[3]}, sum[0]};
  }

 private:
  const Canvas& canvas_;
  const unsigned char* data_;
  int stride_;
};

// Rows per ripple at the far edge and how many more they span at the near row: seen from a low bank,
// waves of one size fill fewer rows the farther they are.
constexpr double kFarRowsPerRipple = 0.8;
constexpr double kNearRowsPerRipple = 7.0;
// Sideways shift of a mirrored row, in logical pixels, far and near.
constexpr double kFarShift = 0.6;
constexpr double kNearShift = 5.0;

// How many ripples lie between the far edge and row y: the integral of 1 / rows per ripple, which grow
// linearly from far to near.
double RipplePhase(double y, double nearRow) {
  const double growth = (kNearRowsPerRipple - kFarRowsPerRipple) / nearRow;
  return std::log1p(growth * std::max(0.0, y) / kFarRowsPerRipple) / growth;
}

// Wavelets a few output pixels long, too small for the ripples' lattice: a shimmer on a finer canvas,
// a faint grain at scale 1. Added rather than multiplied, so dark water shimmers as much as light.
Colour Shimmer(const TileNoise& wavelets, double x, double y, Colour c) {
  const double lift = 0.06 * wavelets.Fractal(x + 91.3, y * 5.0, 1, 2);
  return {c.r + lift, c.g + lift, c.b + lift};
}

}  // namespace

void PaintStillWater(Canvas& water, const StillWater& style) {
  const ShoreReader shore(*style.shore);
  const double waterLine = style.shore->Height();
  const TileNoise ripples(style.rippleSeed), swell(style.rippleSeed + 1), wavelets(style.rippleSeed + 2);
  water.PaintPixels([&](double x, double y) -> std::optional<Colour> {
    const double nearness = std::clamp(y / style.nearRow, 0.0, 1.0);
    const double phase = RipplePhase(y, style.nearRow);
    // Each ripple is long across and a few rows deep; the slow swell bends the rows' lines.
    const double wave = ripples.Fractal(x / (10 + 50 * nearness), phase + 0.3 * swell.Fractal(x, y, 90, 2), 1, 3);
    const double shift = wave * (kFarShift + (kNearShift - kFarShift) * nearness);
    // A point standing h above the water line is mirrored h below it.
    const double mirrored = y + 0.25 * std::abs(shift);
    const ShoreSample seen = shore.At(x + shift, waterLine - mirrored);
    const double skyHeight = std::clamp(mirrored / style.skyRows, 0.0, 1.5) / 1.5;
    const Colour sky = Mix(style.skyHorizon, style.skyZenith, std::pow(skyHeight, 0.7));
    const Colour mirror{seen.premultiplied.r + (1 - seen.alpha) * sky.r,
                        seen.premultiplied.g + (1 - seen.alpha) * sky.g,
                        seen.premultiplied.b + (1 - seen.alpha) * sky.b};
    const double reflectance =
        style.farReflectance + (style.nearReflectance - style.farReflectance) * std::pow(nearness, 0.8);
    // Ripple faces turned towards the sky mirror a little more of it.
    const double glint = 1 + 0.08 * wave;
    return Shimmer(wavelets, x, y, Scale(Mix(style.body, mirror, reflectance), glint));
  });
}

void PaintFlowingWater(Canvas& water, const FlowingWater& style) {
  const TileNoise ripples(style.rippleSeed), eddies(style.rippleSeed + 1), wavelets(style.rippleSeed + 2);
  const double span = style.nearRow - style.farRow;
  water.PaintPixels([&](double x, double y) -> std::optional<Colour> {
    const double nearness = std::clamp((y - style.farRow) / span, 0.0, 1.0);
    const double phase = RipplePhase(y - style.farRow, span);
    // Fast water: ripples shorter across than on a lake, bent by eddies.
    const double wave = ripples.Fractal(x / (3 + 14 * nearness), phase + 0.5 * eddies.Fractal(x, y, 40, 2), 1, 3);
    const Colour water = Mix(style.farLight, style.nearBody, std::pow(nearness, 0.7));
    const double crest = std::clamp((wave - 0.25) / 0.3, 0.0, 1.0);
    return Shimmer(wavelets, x, y, Mix(Scale(water, 1 + 0.12 * wave), style.crest, 0.55 * crest * crest));
  });
}

}  // namespace sylvora
