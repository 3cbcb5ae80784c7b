#include "content/paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sylvora {

double OutputPixels(cairo_t* cr, double pixels) {
  double dx = pixels, dy = 0;
  cairo_device_to_user_distance(cr, &dx, &dy);
  return std::hypot(dx, dy);
}

void SourceVertical(cairo_t* cr, double y0, Colour top, double y1, Colour bottom) {
  cairo_pattern_t* pattern = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(pattern, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(pattern, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, pattern);
  cairo_pattern_destroy(pattern);
}

void FillVertical(cairo_t* cr, int width, int height, Colour top, Colour bottom) {
  SourceVertical(cr, 0, top, height, bottom);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_fill(cr);
}

double RidgeY(const TileNoise& noise, double x, double baseY, double amplitude, double cell, int octaves) {
  return baseY - amplitude * (0.5 + 0.5 * noise.Fractal(x, 0.5, cell, octaves, 0.5));
}

// How far the outline of a ridge wavers about its line, in logical pixels, and over how many columns:
// trees and bushes too far away to draw one by one, which keep even a broad, rounded crest from
// running level like a ruled line.
constexpr double kRidgeRoughness = 1.8;
constexpr double kRidgeRoughnessCell = 5;

void RidgePath(cairo_t* cr, const TileNoise& noise, double left, double right, double baseY, double amplitude,
               double cell, int octaves, double bottomY) {
  cairo_move_to(cr, left - 2, bottomY);
  for (double x = left - 2; x <= right + 2; x += 1) {
    const double roughness = kRidgeRoughness * noise.Fractal(x, 7.5, kRidgeRoughnessCell, 2);
    cairo_line_to(cr, x, RidgeY(noise, x, baseY, amplitude, cell, octaves) + roughness);
  }
  cairo_line_to(cr, right + 2, bottomY);
  cairo_close_path(cr);
}

void GrassBlade(cairo_t* cr, double x, double y, double height, double lean, double width, Colour colour) {
  const double tipX = x + lean;
  const double tipY = y - height;
  cairo_move_to(cr, x - width / 2, y);
  cairo_curve_to(cr, x - width / 2, y - height * 0.5, tipX - lean * 0.3, tipY + height * 0.2, tipX, tipY);
  cairo_curve_to(cr, tipX - lean * 0.3 + width * 0.2, tipY + height * 0.25, x + width / 2, y - height * 0.45,
                 x + width / 2, y);
  cairo_close_path(cr);
  SetColour(cr, colour);
  cairo_fill(cr);
}

void GrassBand(cairo_t* cr, Rng& rng, double x0, double x1, double yTop, double yBottom, const GrassStyle& style) {
  const GrassStretch whole = {&rng, x0, x1};
  GrassBand(cr, &whole, 1, yTop, yBottom, style);
}

void GrassTuft(cairo_t* cr, Rng& rng, double x0, double x1, double yTop, double yBottom, const GrassStyle& style) {
  const double taper = std::min(30.0, (x1 - x0) / 3);
  const GrassStretch tuft = {&rng, x0, x1, taper, taper};
  GrassBand(cr, &tuft, 1, yTop, yBottom, style);
}

namespace {

// How much of a band's full growth stands at column x of a stretch: 1 inside, falling to 0 over the
// tapers at its ends.
double Growth(const GrassStretch& s, double x) {
  double growth = 1;
  if (s.taper0 > 0) growth = std::min(growth, (x - s.x0) / s.taper0);
  if (s.taper1 > 0) growth = std::min(growth, (s.x1 - x) / s.taper1);
  return std::clamp(growth, 0.0, 1.0);
}

}  // namespace

void GrassBand(cairo_t* cr, const GrassStretch* stretches, int count, double yTop, double yBottom,
               const GrassStyle& style) {
  const int rows = std::max(1, static_cast<int>(yBottom - yTop));
  for (int row = 0; row < rows; ++row) {
    const double t = static_cast<double>(row) / rows;
    const double y = yTop + row;
    const double height = style.farHeight + (style.nearHeight - style.farHeight) * t * t;
    for (const GrassStretch* s = stretches; s < stretches + count; ++s) {
      Rng& rng = *s->rng;
      const int blades = static_cast<int>((s->x1 - s->x0) * style.density + rng.Unit());
      for (int i = 0; i < blades; ++i) {
        const double x = rng.Range(s->x0, s->x1);
        const Colour c = style.palette[rng.Int(0, style.count)];
        const double growth = Growth(*s, x);
        const double h = height * rng.Range(0.6, 1.25) * (0.3 + 0.7 * growth);
        const double lean = h * (style.lean + rng.Range(-0.35, 0.35));
        // Towards a tapering end and at a fringed foot fewer blades grow, so the band's edge there is
        // made of single blades; a band without either draws exactly what it always has.
        const double foot = style.fringe > 0 ? std::clamp((yBottom - y) / style.fringe, 0.0, 1.0) : 1;
        if (growth * foot < 1 && rng.Unit() > 0.15 + 0.85 * growth * foot) continue;
        // Far blades are finer on a finer canvas, but no narrower than half a logical pixel, which keeps
        // the tone of the far grass the same at every scale.
        const double width = std::max({OutputPixels(cr, 0.8), 0.5, h * 0.07});
        GrassBlade(cr, x, y + rng.Range(0, 1), h, lean, width, Scale(c, rng.Range(0.85, 1.12)));
      }
    }
  }
}

void Flower(cairo_t* cr, double x, double y, double radius, Colour petals, Colour centre) {
  SetColour(cr, petals);
  for (int i = 0; i < 5; ++i) {
    const double a = i * (2 * M_PI / 5);
    cairo_arc(cr, x + std::cos(a) * radius * 0.55, y + std::sin(a) * radius * 0.45, radius * 0.5, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  SetColour(cr, centre);
  cairo_arc(cr, x, y, radius * 0.32, 0, 2 * M_PI);
  cairo_fill(cr);
}

void LeafClump(cairo_t* cr, Rng& rng, double cx, double cy, double radius, const LeafStyle& style) {
  struct Dab {
    double x, y, angle, shade;
  };
  const int count = static_cast<int>(4.5 * (radius * radius) / (style.leafSize * style.leafSize)) + 6;
  std::vector<Dab> dabs;
  dabs.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double a = rng.Range(0, 2 * M_PI);
    const double r = radius * std::sqrt(rng.Unit());
    const double dx = std::cos(a) * r;
    const double dy = std::sin(a) * r * 0.9;
    // Light falls from the upper left: dabs there are lighter, those to the lower right darker.
    const double lit = 0.5 - 0.5 * (dx * 0.6 + dy * 0.8) / radius + rng.Range(-0.22, 0.22);
    dabs.push_back({cx + dx, cy + dy, rng.Range(0, M_PI), std::clamp(lit, 0.0, 1.0)});
  }
  std::sort(dabs.begin(), dabs.end(), [](const Dab& a, const Dab& b) { return a.shade < b.shade; });
  // A shadowed body under the dabs, so the clump reads as one mass with leaves at its edge.
  SetColour(cr, style.dark);
  cairo_arc(cr, cx + radius * 0.05, cy + radius * 0.05, radius * 0.82, 0, 2 * M_PI);
  cairo_fill(cr);
  for (const Dab& d : dabs) {
    const Colour c = d.shade < 0.5 ? Mix(style.dark, style.mid, d.shade * 2) : Mix(style.mid, style.light, d.shade * 2 - 1);
    cairo_save(cr);
    cairo_translate(cr, d.x, d.y);
    cairo_rotate(cr, d.angle);
    cairo_scale(cr, style.leafSize * 0.5, style.leafSize * 0.3);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    SetColour(cr, c);
    cairo_fill(cr);
  }
}

void Trunk(cairo_t* cr, Rng& rng, double x0, double y0, double w0, double x1, double y1, double w1, Colour light,
           Colour dark) {
  const double mx = (x0 + x1) / 2 + (x1 - x0) * 0.1;
  const double my = (y0 + y1) / 2;
  cairo_move_to(cr, x0 - w0 / 2 - w0 * 0.25, y0);
  cairo_curve_to(cr, x0 - w0 / 2, y0 - (y0 - y1) * 0.1, mx - (w0 + w1) / 4, my, x1 - w1 / 2, y1);
  cairo_line_to(cr, x1 + w1 / 2, y1);
  cairo_curve_to(cr, mx + (w0 + w1) / 4, my, x0 + w0 / 2, y0 - (y0 - y1) * 0.1, x0 + w0 / 2 + w0 * 0.3, y0);
  cairo_close_path(cr);
  cairo_pattern_t* pattern = cairo_pattern_create_linear(x0 - w0 / 2, 0, x0 + w0 / 2, 0);
  cairo_pattern_add_color_stop_rgb(pattern, 0, dark.r, dark.g, dark.b);
  cairo_pattern_add_color_stop_rgb(pattern, 0.3, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(pattern, 1, dark.r * 0.7, dark.g * 0.7, dark.b * 0.7);
  cairo_set_source(cr, pattern);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(pattern);
  // Bark: furrows following the trunk, clipped to it.
  cairo_save(cr);
  cairo_clip(cr);
  const int furrows = static_cast<int>(w0 / 2.5);
  for (int i = 0; i < furrows; ++i) {
    const double s = rng.Range(-0.5, 0.5);
    double y = y0;
    while (y > y1) {
      const double t = (y0 - y) / (y0 - y1);
      const double x = x0 + (x1 - x0) * t + s * (w0 + (w1 - w0) * t);
      const double len = rng.Range(6, 22);
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, x + rng.Range(-1.5, 1.5), y - len);
      y -= len + rng.Range(1, 8);
    }
    SetColour(cr, Scale(dark, 0.6), 0.55);
    cairo_set_line_width(cr, rng.Range(0.8, 2.0));
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  cairo_new_path(cr);
}

Point QuadraticAt(double x0, double y0, double cx, double cy, double x1, double y1, double t) {
  const double u = 1 - t;
  return {u * u * x0 + 2 * u * t * cx + t * t * x1, u * u * y0 + 2 * u * t * cy + t * t * y1};
}

void Branch(cairo_t* cr, double x0, double y0, double cx, double cy, double x1, double y1, double w0, double w1,
            Colour colour) {
  SetColour(cr, colour);
  constexpr int kSteps = 24;
  for (int i = 0; i < kSteps; ++i) {
    const double t0 = static_cast<double>(i) / kSteps;
    const double t1 = static_cast<double>(i + 1) / kSteps;
    const Point a = QuadraticAt(x0, y0, cx, cy, x1, y1, t0);
    const Point b = QuadraticAt(x0, y0, cx, cy, x1, y1, t1);
    cairo_set_line_width(cr, w0 + (w1 - w0) * t0);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_stroke(cr);
  }
}

void Fir(cairo_t* cr, Rng& rng, double x, double y, double height, double width, Colour dark, Colour light) {
  const int tiers = std::max(4, static_cast<int>(height / 7));
  const double top = y - height;
  // Tiers from the top down, each wider and drooping at the tips.
  for (int side = 0; side < 2; ++side) {
    for (int k = 0; k < tiers; ++k) {
      const double t0 = static_cast<double>(k) / tiers;
      const double t1 = static_cast<double>(k + 1) / tiers;
      const double yA = top + height * t0 * 0.92;
      const double yB = top + height * std::min(1.0, t1 * 0.92 + 0.1);
      const double half = width * 0.5 * (0.15 + 0.85 * t1) * rng.Range(0.8, 1.1);
      const double dir = side == 0 ? -1 : 1;
      cairo_move_to(cr, x, yA);
      cairo_curve_to(cr, x + dir * half * 0.4, yA + (yB - yA) * 0.4, x + dir * half * 0.8, yB - 2,
                     x + dir * half, yB + rng.Range(0, 2));
      cairo_line_to(cr, x + dir * half * 0.3, yB - (yB - yA) * 0.15);
      cairo_line_to(cr, x, yB);
      cairo_close_path(cr);
      SetColour(cr, side == 0 ? Mix(dark, light, rng.Range(0.45, 0.8)) : Mix(dark, light, rng.Range(0.0, 0.25)));
      cairo_fill(cr);
    }
  }
  // A dark spine joins the tiers.
  SetColour(cr, Scale(dark, 0.8));
  cairo_set_line_width(cr, std::max(1.0, width * 0.05));
  cairo_move_to(cr, x, top);
  cairo_line_to(cr, x, y);
  cairo_stroke(cr);
}

void Rock(cairo_t* cr, Rng& rng, double x, double y, double rx, double ry, Colour light, Colour dark) {
  constexpr int kCorners = 11;
  for (int i = 0; i <= kCorners; ++i) {
    const double a = M_PI + M_PI * i / kCorners;  // upper half-ellipse, left to right
    const double r = rng.Range(0.85, 1.08);
    const double px = x + std::cos(a) * rx * r;
    const double py = y + std::sin(a) * ry * r;
    if (i == 0) cairo_move_to(cr, px, y); else cairo_line_to(cr, px, std::min(py, y));
  }
  cairo_line_to(cr, x + rx, y + ry * 0.12);
  cairo_line_to(cr, x - rx, y + ry * 0.12);
  cairo_close_path(cr);
  cairo_pattern_t* pattern = cairo_pattern_create_linear(x - rx * 0.6, y - ry, x + rx * 0.6, y);
  cairo_pattern_add_color_stop_rgb(pattern, 0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(pattern, 1, dark.r, dark.g, dark.b);
  cairo_set_source(cr, pattern);
  cairo_fill(cr);
  cairo_pattern_destroy(pattern);
  // A few cracks.
  SetColour(cr, Scale(dark, 0.7), 0.6);
  cairo_set_line_width(cr, std::max(0.7, rx * 0.04));
  for (int i = 0; i < 2; ++i) {
    const double sx = x + rng.Range(-0.5, 0.5) * rx;
    cairo_move_to(cr, sx, y - ry * rng.Range(0.3, 0.8));
    cairo_line_to(cr, sx + rng.Range(-0.2, 0.2) * rx, y - ry * rng.Range(0.0, 0.2));
    cairo_stroke(cr);
  }
}

}  // namespace sylvora
