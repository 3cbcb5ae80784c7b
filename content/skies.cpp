// Skies: a vertical gradient with clouds from noise that repeats every 1280 pixels, so the panorama
// wraps without a seam; the picture stores its left half above its right half.
#include <algorithm>
#include <cmath>
#include <vector>

#include "content/noise.h"
#include "content/painters.h"
#include "content/random.h"

namespace sylvora {
namespace {

constexpr int kPanoramaWidth = 1280;

// Everything that tells one sky mood from another.
struct SkyStyle {
  Colour zenith, horizon;
  double gradientPower;   // how quickly the zenith colour gives way to the horizon colour
  Colour lit, shadow;     // cloud colours towards and away from the light
  double coverage;        // 0 clear .. 1 overcast
  double cell;            // size of the largest cloud features in pixels; must divide 1280 evenly
  double stretchY;        // > 1 flattens the clouds
  double softness;        // width of a cloud's soft edge in density
  double opacity;         // strongest cloud cover
  double top, bottom;     // the part of the band that holds clouds, as fractions of its height
  double lightDepth;      // how strongly cloud above a point shades it
};

SkyStyle StyleOf(int mood) {
  switch (mood) {
    case kClearMorning:
      return {Rgb(86, 142, 212), Rgb(206, 226, 236), 0.7, Rgb(255, 252, 246), Rgb(178, 188, 208),
              0.30, 160, 2.2, 0.16, 0.85, 0.15, 0.85, 2.2};
    case kCumulusAfternoon:
      return {Rgb(62, 118, 200), Rgb(176, 206, 232), 0.8, Rgb(255, 255, 252), Rgb(140, 150, 176),
              0.50, 256, 1.7, 0.10, 1.0, 0.05, 0.95, 3.2};
    case kHighCirrus:
      return {Rgb(74, 130, 206), Rgb(196, 218, 236), 0.75, Rgb(250, 250, 255), Rgb(200, 210, 230),
              0.45, 320, 7.0, 0.35, 0.7, 0.0, 0.8, 0.8};
    case kSunset:
      return {Rgb(62, 74, 140), Rgb(250, 172, 104), 1.2, Rgb(255, 196, 142), Rgb(118, 82, 118),
              0.42, 256, 3.2, 0.16, 0.95, 0.1, 0.9, 2.6};
    case kSoftOvercast:
      return {Rgb(128, 156, 190), Rgb(214, 222, 226), 0.9, Rgb(240, 240, 238), Rgb(160, 168, 182),
              0.62, 256, 2.0, 0.30, 0.85, 0.0, 1.0, 1.5};
    case kForestSummer:
      return {Rgb(70, 132, 208), Rgb(188, 216, 236), 0.8, Rgb(255, 255, 250), Rgb(160, 170, 196),
              0.40, 160, 1.8, 0.12, 1.0, 0.0, 1.0, 2.6};
    case kDandelionNoon:
      return {Rgb(80, 146, 222), Rgb(206, 230, 244), 0.7, Rgb(255, 255, 252), Rgb(170, 182, 206),
              0.36, 256, 1.9, 0.12, 0.95, 0.1, 0.9, 2.6};
    default:  // kMountainBlue
      return {Rgb(40, 96, 178), Rgb(170, 204, 232), 0.9, Rgb(255, 255, 255), Rgb(146, 160, 190),
              0.38, 160, 1.8, 0.12, 1.0, 0.05, 1.0, 2.8};
  }
}

double SmoothStep(double e0, double e1, double x) {
  const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Strength of the finer wisps that only a finer canvas shows: the next two octaves the cloud noise
// would go on with, as a share of its six.
constexpr double kWispStrength = 0.02;

// Cloud density at a panorama point: 0 where the sky is clear. Finer scales add two octaves of wisps,
// so cloud edges fray instead of blurring where scale 1 had no pixels to show them.
double Density(const TileNoise& noise, const SkyStyle& s, double x, double y, int band, int scale) {
  const double v = y / band;
  const double envelope = SmoothStep(s.top - 0.1, s.top + 0.15, v) * (1 - SmoothStep(s.bottom - 0.15, s.bottom + 0.1, v));
  double n = noise.Fractal(x, y * s.stretchY, s.cell, 6, 0.55, kPanoramaWidth);
  if (scale > 1) n += kWispStrength * noise.Fractal(x, y * s.stretchY + 91.3, s.cell / 64, 2, 0.55, kPanoramaWidth);
  return std::max(0.0, (n - (0.32 - 0.5 * s.coverage)) * envelope);
}

// How far up and to the left the shading looks for cloud above a point, in logical pixels.
constexpr int kShadeReachX = 8, kShadeReachY = 20;

// The cloud density at every output pixel of the band, and kShadeReachX and kShadeReachY logical
// pixels beyond its left and top edges: the shading of each point looks up the density of points above
// it, which fall on the same grid, instead of evaluating the noise again.
class DensityGrid {
 public:
  DensityGrid(const TileNoise& noise, const SkyStyle& s, int band, int scale)
      : scale_(scale), width_((kPanoramaWidth + kShadeReachX) * scale), values_() {
    const int rows = (band + kShadeReachY) * scale;
    values_.resize(static_cast<size_t>(width_) * rows);
    for (int row = 0; row < rows; ++row) {
      const double y = LogicalCoordinate(row, scale) - kShadeReachY;
      for (int column = 0; column < width_; ++column) {
        values_[static_cast<size_t>(row) * width_ + column] =
            Density(noise, s, LogicalCoordinate(column, scale) - kShadeReachX, y, band, scale);
      }
    }
  }
  // The density at output pixel (px, py) of the band, moved dx, dy logical pixels (dx >= -kShadeReachX,
  // dy >= -kShadeReachY).
  double At(int px, int py, int dx, int dy) const {
    return values_[static_cast<size_t>(py + (dy + kShadeReachY) * scale_) * width_ + px + (dx + kShadeReachX) * scale_];
  }

 private:
  int scale_, width_;
  std::vector<double> values_;
};

}  // namespace

Image PaintSky(const ContentItem& item, int scale) {
  const int band = item.height / 2;
  const SkyStyle s = StyleOf(item.variant);
  const TileNoise noise(static_cast<uint32_t>(NameSeed(item.name)));
  const TileNoise grain(static_cast<uint32_t>(NameSeed(item.name, 7)));
  const DensityGrid density(noise, s, band, scale);
  // The grain is finer at higher scales: it is there against banding in output pixels.
  const double grainCell = 6.0 / scale;
  Image sky(item.width * scale, item.height * scale);
  for (int py = 0; py < band * scale; ++py) {
    const double y = LogicalCoordinate(py, scale);
    const double v = std::max(0.0, y) / (band - 1);
    const Colour base = Mix(s.zenith, s.horizon, std::pow(v, s.gradientPower));
    for (int px = 0; px < kPanoramaWidth * scale; ++px) {
      const double x = LogicalCoordinate(px, scale);
      const double d = density.At(px, py, 0, 0);
      Colour c = base;
      if (d > 0) {
        // Light from above: cloud lying above the point shades it.
        double above = 0;
        for (int step = 1; step <= 4; ++step) above += density.At(px, py, -step * 2, -step * 5);
        const double lit = std::exp(-above * s.lightDepth);
        const Colour cloud = Mix(s.shadow, s.lit, lit);
        const double alpha = s.opacity * SmoothStep(0, s.softness, d);
        c = Mix(base, cloud, alpha);
      }
      // A faint grain keeps large gradients from banding.
      const double g = 1 + 0.012 * grain.Fractal(x, y, grainCell, 2, 0.5, kPanoramaWidth);
      const int half = 640 * scale;
      uint8_t* out = sky.At(px % half, py + (px >= half ? band * scale : 0));
      out[0] = static_cast<uint8_t>(std::clamp(c.r * g * 255 + 0.5, 0.0, 255.0));
      out[1] = static_cast<uint8_t>(std::clamp(c.g * g * 255 + 0.5, 0.0, 255.0));
      out[2] = static_cast<uint8_t>(std::clamp(c.b * g * 255 + 0.5, 0.0, 255.0));
    }
  }
  return sky;
}

}  // namespace sylvora
