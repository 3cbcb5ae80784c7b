#pragma once
// Gradient noise that can repeat horizontally with a chosen period, and its fractal sums. Skies use the
// period to wrap seamlessly around their panorama; ground textures use it without caring.
#include <cstdint>

namespace sylvora {

// Gradient noise on an integer lattice, values roughly in [-1, 1].
class TileNoise {
 public:
  explicit TileNoise(uint32_t seed) : seed_(seed) {}
  // Noise at lattice coordinates (u, v); the lattice repeats every periodU cells along u.
  double Sample(double u, double v, int periodU) const;
  // Sum of octaves, each twice as fine and `gain` times as strong: x, y in pixels, cell the size of
  // the coarsest lattice cell in pixels. When periodX is non-zero it must be a whole number of cells
  // and the result repeats every periodX pixels along x. Roughly in [-1, 1].
  double Fractal(double x, double y, double cell, int octaves, double gain = 0.5, int periodX = 0) const;

 private:
  double Gradient(int iu, int iv, double du, double dv) const;
  uint32_t seed_;
};

}  // namespace sylvora
