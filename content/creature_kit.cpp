#include "content/creature_kit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sylvora {

void ShadeFromLight(cairo_t* cr, double highlight, double shadow) {
  cairo_save(cr);
  cairo_clip_preserve(cr);
  // Measured and graded on the output, where the light's direction is given.
  cairo_identity_matrix(cr);
  double x0, y0, x1, y1;
  cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
  const double length = std::hypot(kCreatureLight.x, kCreatureLight.y);
  const double lx = kCreatureLight.x / length, ly = kCreatureLight.y / length;
  double nearest = -std::numeric_limits<double>::infinity(), farthest = -nearest;
  for (const double x : {x0, x1}) {
    for (const double y : {y0, y1}) {
      nearest = std::max(nearest, x * lx + y * ly);
      farthest = std::min(farthest, x * lx + y * ly);
    }
  }
  cairo_pattern_t* light = cairo_pattern_create_linear(lx * farthest, ly * farthest, lx * nearest, ly * nearest);
  cairo_pattern_add_color_stop_rgba(light, 0, 0, 0, 0, shadow);
  cairo_pattern_add_color_stop_rgba(light, 0.5, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(light, 0.5, 1, 1, 1, 0);
  cairo_pattern_add_color_stop_rgba(light, 1, 1, 1, 1, highlight);
  cairo_set_source(cr, light);
  cairo_paint(cr);
  cairo_pattern_destroy(light);
  cairo_restore(cr);
}

void FillShaded(cairo_t* cr, double highlight, double shadow, const std::function<void()>& paintInside) {
  cairo_path_t* outline = cairo_copy_path(cr);
  cairo_new_path(cr);
  cairo_push_group(cr);
  paintInside();
  cairo_new_path(cr);
  cairo_append_path(cr, outline);
  ShadeFromLight(cr, highlight, shadow);
  cairo_pop_group_to_source(cr);
  cairo_fill(cr);
  cairo_path_destroy(outline);
}

void FillLit(cairo_t* cr, Colour colour, double highlight, double shadow) {
  FillShaded(cr, highlight, shadow, [&] {
    SetColour(cr, colour);
    cairo_paint(cr);
  });
}

void SoftSpot(cairo_t* cr, Point centre, double radius, Colour colour, double alpha, double hardness) {
  cairo_pattern_t* spot = cairo_pattern_create_radial(centre.x, centre.y, 0, centre.x, centre.y, radius);
  cairo_pattern_add_color_stop_rgba(spot, 0, colour.r, colour.g, colour.b, alpha);
  cairo_pattern_add_color_stop_rgba(spot, hardness, colour.r, colour.g, colour.b, alpha);
  cairo_pattern_add_color_stop_rgba(spot, 1, colour.r, colour.g, colour.b, 0);
  cairo_set_source(cr, spot);
  cairo_arc(cr, centre.x, centre.y, radius, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(spot);
}

void Disc(cairo_t* cr, Point centre, double radius, Colour colour, double alpha) {
  SetColour(cr, colour, alpha);
  cairo_arc(cr, centre.x, centre.y, radius, 0, 2 * M_PI);
  cairo_fill(cr);
}

Point CubicAt(const Point (&p)[4], double t) {
  const double u = 1 - t;
  const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
  return {a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x, a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y};
}

Image KeyedWithShadedRim(const Canvas& canvas, int minimumSum, int coverage) {
  cairo_surface_t* surface = canvas.Surface();
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  Image image(canvas.Width() * canvas.Scale(), canvas.Height() * canvas.Scale());
  for (int y = 0; y < image.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < image.width; ++x) {
      const uint32_t p = row[x];
      const int alpha = static_cast<int>(p >> 24);
      if (alpha < std::max(1, coverage)) continue;
      // Unpremultiplied, then darkened towards the rim shade as the cover falls.
      const double shade = (kRimShade + (1 - kRimShade) * alpha / 255.0) * 255.0 / alpha;
      int c[3];
      for (int i = 0; i < 3; ++i) c[i] = static_cast<int>(((p >> (16 - 8 * i)) & 0xFF) * shade + 0.5);
      const int sum = c[0] + c[1] + c[2];
      // Raised evenly where too dark for the key, keeping the hue as far as the headroom allows.
      const int lift = sum < minimumSum ? (minimumSum - sum + 2) / 3 : 0;
      uint8_t* out = image.At(x, y);
      for (int i = 0; i < 3; ++i) out[i] = static_cast<uint8_t>(std::clamp(c[i] + lift, 0, 255));
    }
  }
  return image;
}

}  // namespace sylvora
