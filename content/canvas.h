#pragma once
// Pictures as the generator holds them, and the cairo canvas they are painted on.
#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace sylvora {

// A finished picture: 8-bit red, green, blue per pixel, rows from the top.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;

  Image() = default;
  Image(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, 0) {}
  uint8_t* At(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
  const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// A colour with components 0..1, as cairo takes them.
struct Colour {
  double r = 0, g = 0, b = 0;
};
// Linear mix of two colours: t = 0 gives a, 1 gives b.
Colour Mix(Colour a, Colour b, double t);
// a with every component multiplied by factor (and clamped to 1).
Colour Scale(Colour a, double factor);
// A colour from 0..255 components.
constexpr Colour Rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

// The logical coordinate of output pixel column or row `pixel` at `scale` output pixels per logical
// pixel: its centre, placed so that the scale x scale output pixels of one logical pixel average to
// where scale 1 samples it (the integer coordinate itself).
inline double LogicalCoordinate(int pixel, int scale) { return (pixel + 0.5) / scale - 0.5; }

// An anti-aliasing cairo surface with transparency, owned for one painting. Painters draw in logical
// pixels, width x height; the surface holds scale x scale output pixels for each, so one painting
// serves every display resolution. originX is the column painters draw at the surface's left edge: a
// canvas wider than its picture's usual painting starts left of that painting's column 0, so the
// painters draw in their usual columns and the canvas shows more on either side.
class Canvas {
 public:
  Canvas(int width, int height, int scale = 1, int originX = 0);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* Cr() const { return cr_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Scale() const { return scale_; }
  // The columns the canvas covers, in the painters' coordinates: originX to originX + width.
  double Left() const { return originX_; }
  double Right() const { return originX_ + width_; }
  cairo_surface_t* Surface() const { return surface_; }
  // The logical coordinate of one of this canvas's output pixel columns or rows, from its left or top edge.
  double Logical(int pixel) const { return LogicalCoordinate(pixel, scale_); }
  // Writes every output pixel for which colourAt(x, y) at the painters' coordinates gives a colour
  // (std::optional<Colour>); leaves the others as they are. For painters that work per pixel.
  template <typename ColourAt>
  void PaintPixels(ColourAt colourAt);

  // The picture composited over black: for opaque paintings (ground, skies).
  Image Opaque();
  // The picture keyed on pure black: a pixel at least half covered keeps its own (unpremultiplied)
  // colour, raised until R + G + B reaches minimumSum; every other pixel becomes exactly black. Keyed
  // edges are crisp, with no dark fringe to show against whatever is drawn underneath.
  // coverage is the alpha (0..255) from which a pixel counts as covered; thin strokes of tiny sprites
  // need less than half.
  Image KeyedOnBlack(int minimumSum, int coverage = 128);
  // Multiplies the colour of every painted pixel by 1 + strength * noise at the painters' coordinates,
  // for a brushed, uneven look.
  void Mottle(uint32_t seed, double cell, double strength);
  // Fills the current path with source's pixels, each at the same output pixel: source is a canvas of
  // this one's size, scale and columns, painted per pixel where cairo's own sources would not do.
  void FillPathFrom(const Canvas& source);

 private:
  int width_, height_, scale_, originX_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// An opaque pixel of a cairo ARGB32 surface, for painters that write pixels directly.
uint32_t OpaquePixel(Colour c);

template <typename ColourAt>
void Canvas::PaintPixels(ColourAt colourAt) {
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  for (int y = 0; y < height_ * scale_; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width_ * scale_; ++x) {
      if (const auto c = colourAt(Logical(x) + originX_, Logical(y))) row[x] = OpaquePixel(*c);
    }
  }
  cairo_surface_mark_dirty(surface_);
}

// Sets the cairo source colour.
void SetColour(cairo_t* cr, Colour c, double alpha = 1.0);

}  // namespace sylvora
