#pragma once
// Brushes shared by the scene painters: ridges, grass, foliage, trunks, firs, flowers, rocks. Each
// draws with cairo onto the current surface, lit from the upper left like every scene.
#include <cairo.h>

#include "content/canvas.h"
#include "content/noise.h"
#include "content/random.h"

namespace sylvora {

// `pixels` output pixels in the current user units. The finest strokes are given this way, so on a
// finer canvas they stay as thin as they are at scale 1 and show finer detail instead of thickening.
double OutputPixels(cairo_t* cr, double pixels);

// A two-colour vertical gradient from (y0, top) to (y1, bottom) as the cairo source.
void SourceVertical(cairo_t* cr, double y0, Colour top, double y1, Colour bottom);
// Fills the whole surface with a vertical gradient.
void FillVertical(cairo_t* cr, int width, int height, Colour top, Colour bottom);

// A closed path under a noisy ridge line from column left to right: y = baseY - amplitude * (0.5 + 0.5 *
// noise) for each x, down to bottomY. Leaves the path current for the caller to fill.
void RidgePath(cairo_t* cr, const TileNoise& noise, double left, double right, double baseY, double amplitude,
               double cell, int octaves, double bottomY);
// Height of that ridge line at x.
double RidgeY(const TileNoise& noise, double x, double baseY, double amplitude, double cell, int octaves);

// One tapered, curving blade of grass rooted at (x, y).
void GrassBlade(cairo_t* cr, double x, double y, double height, double lean, double width, Colour colour);
// A band of grass from yTop (far, short blades) to yBottom (near, tall blades); palette of count colours.
struct GrassStyle {
  const Colour* palette;
  int count;
  double density;     // blades per pixel of width and row
  double nearHeight;  // blade height at yBottom
  double farHeight;   // blade height at yTop
  double lean;        // the prevailing lean, in pixels per blade height
  // Rows at the band's foot over which the blades thin out, so a band that ends above the ground beneath
  // ends in ragged roots rather than a line; 0 for a band that runs on past the picture's foot.
  double fringe = 0;
};
void GrassBand(cairo_t* cr, Rng& rng, double x0, double x1, double yTop, double yBottom, const GrassStyle& style);
// One stretch of a band, x0 to x1, with the random numbers it grows from.
struct GrassStretch {
  Rng* rng;
  double x0, x1;
  // Columns over which the band thins out to a few short blades at each end, so it ends as a tuft does
  // rather than in a cut; 0 at an end where the band runs on (beside another stretch, or past the picture).
  double taper0 = 0, taper1 = 0;
};
// A tuft of grass: a band over x0..x1 that thins out at both ends and at its foot.
void GrassTuft(cairo_t* cr, Rng& rng, double x0, double x1, double yTop, double yBottom, const GrassStyle& style);
// A band over several stretches side by side, row by row across all of them so the nearer rows cover
// the farther ones everywhere. Each stretch draws from its own random numbers as if it were alone.
void GrassBand(cairo_t* cr, const GrassStretch* stretches, int count, double yTop, double yBottom,
               const GrassStyle& style);

// A simple five-petalled flower head.
void Flower(cairo_t* cr, double x, double y, double radius, Colour petals, Colour centre);

// A round mass of leaves made of many small dabs, shaded from dark (lower right) to light (upper left).
struct LeafStyle {
  Colour dark, mid, light;
  double leafSize;  // length of one dab
};
void LeafClump(cairo_t* cr, Rng& rng, double cx, double cy, double radius, const LeafStyle& style);

// A tapering trunk from (x0, y0) at the bottom to (x1, y1), lit on its left; bark strokes along it.
void Trunk(cairo_t* cr, Rng& rng, double x0, double y0, double w0, double x1, double y1, double w1, Colour light,
           Colour dark);
// A point of the plane, in logical pixels.
struct Point {
  double x, y;
};
// The point at t (0..1) of the quadratic curve from (x0, y0) through control (cx, cy) to (x1, y1).
Point QuadraticAt(double x0, double y0, double cx, double cy, double x1, double y1, double t);

// A tapering branch along a quadratic curve from (x0, y0) through control (cx, cy) to (x1, y1).
void Branch(cairo_t* cr, double x0, double y0, double cx, double cy, double x1, double y1, double w0, double w1,
            Colour colour);

// A fir: stacked drooping tiers from the apex at (x, y - height) down to (x, y), sunlit on its left.
void Fir(cairo_t* cr, Rng& rng, double x, double y, double height, double width, Colour dark, Colour light);

// A rounded boulder standing on (x, y), lit from the upper left.
void Rock(cairo_t* cr, Rng& rng, double x, double y, double rx, double ry, Colour light, Colour dark);

}  // namespace sylvora
