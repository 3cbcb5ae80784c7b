#include "content/canvas.h"

#include <algorithm>
#include <cmath>

#include "content/noise.h"

namespace sylvora {

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Scale(Colour a, double factor) {
  return {std::min(1.0, a.r * factor), std::min(1.0, a.g * factor), std::min(1.0, a.b * factor)};
}

uint32_t OpaquePixel(Colour c) {
  auto channel = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 255 + 0.5); };
  return 0xFF000000u | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

void SetColour(cairo_t* cr, Colour c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

Canvas::Canvas(int width, int height, int scale, int originX)
    : width_(width),
      height_(height),
      scale_(scale),
      originX_(originX),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, height * scale)),
      cr_(cairo_create(surface_)) {
  cairo_scale(cr_, scale, scale);
  if (originX != 0) cairo_translate(cr_, -originX, 0);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

namespace {

// The canvas pixel at (x, y) as premultiplied alpha, red, green, blue.
struct Premultiplied {
  int a, r, g, b;
};

Premultiplied PixelAt(const unsigned char* data, int stride, int x, int y) {
  const uint32_t p = *reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride + x * 4);
  return {static_cast<int>(p >> 24), static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
          static_cast<int>(p & 0xFF)};
}

// The canvas as an RGB picture: paint(pixel, out) writes each picture pixel from the canvas pixel;
// what it leaves alone stays black.
template <typename Paint>
Image ReadPixels(cairo_surface_t* surface, int width, int height, Paint paint) {
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  Image image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) paint(PixelAt(data, stride, x, y), image.At(x, y));
  }
  return image;
}

// Strength of the finer grain a finer canvas adds to the mottle, relative to its four octaves: weak
// enough to leave the scale 1 tone alone when box-filtered, strong enough to read as a grain.
constexpr double kFineMottle = 0.25;

// The mottle's noise at logical (x, y): four octaves from cell down, and at scales above 1 two more
// below them, so flat paint carries a grain where scale 1 has no pixels for one.
double MottleNoise(const TileNoise& noise, double x, double y, double cell, int scale) {
  const double coarse = noise.Fractal(x, y, cell, 4, 0.55);
  return scale > 1 ? coarse + kFineMottle * noise.Fractal(x + 37.1, y, cell / 16, 2, 0.55) : coarse;
}

}  // namespace

Image Canvas::Opaque() {
  return ReadPixels(surface_, width_ * scale_, height_ * scale_, [](const Premultiplied& p, uint8_t* out) {
    out[0] = static_cast<uint8_t>(p.r);
    out[1] = static_cast<uint8_t>(p.g);
    out[2] = static_cast<uint8_t>(p.b);
  });
}

Image Canvas::KeyedOnBlack(int minimumSum, int coverage) {
  return ReadPixels(surface_, width_ * scale_, height_ * scale_, [&](const Premultiplied& p, uint8_t* out) {
    if (p.a < std::max(1, coverage)) return;
    int c[3] = {p.r * 255 / p.a, p.g * 255 / p.a, p.b * 255 / p.a};
    const int sum = c[0] + c[1] + c[2];
    if (sum < minimumSum) {
      // Raise evenly, keeping the hue as far as the headroom allows.
      const int lift = (minimumSum - sum + 2) / 3;
      for (int& v : c) v = std::min(255, v + lift);
    }
    for (int i = 0; i < 3; ++i) out[i] = static_cast<uint8_t>(std::clamp(c[i], 0, 255));
  });
}

void Canvas::FillPathFrom(const Canvas& source) {
  // The path is held in output pixels, so it stays where it was drawn while the source is placed in them.
  cairo_save(cr_);
  cairo_identity_matrix(cr_);
  cairo_set_source_surface(cr_, source.surface_, 0, 0);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

void Canvas::Mottle(uint32_t seed, double cell, double strength) {
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  const TileNoise noise(seed);
  for (int y = 0; y < height_ * scale_; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width_ * scale_; ++x) {
      const uint32_t p = row[x];
      const int a = static_cast<int>(p >> 24);
      if (a == 0) continue;
      const double factor = 1.0 + strength * MottleNoise(noise, Logical(x) + originX_, Logical(y), cell, scale_);
      auto channel = [&](int shift) {
        return static_cast<uint32_t>(std::clamp(static_cast<int>(((p >> shift) & 0xFF) * factor), 0, a)) << shift;
      };
      row[x] = (p & 0xFF000000u) | channel(16) | channel(8) | channel(0);
    }
  }
  cairo_surface_mark_dirty(surface_);
}

}  // namespace sylvora
