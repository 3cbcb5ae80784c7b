#pragma once
// Brushes shared by the creature painters: the one light every creature is shaded from, soft spots and
// rings, and the key that keeps a sprite's anti-aliased edge as tones of its own colour.
#include <cairo.h>

#include <functional>

#include "content/canvas.h"
#include "content/paint.h"

namespace sylvora {

// Where the light comes from on the output (y down): from above and a little from the left, where the
// scenes' sun stands. Directions are taken on the output, so mirrored and turned creatures agree.
constexpr Point kCreatureLight = {-0.34, -0.94};

// Overlays the creature light on what is painted inside the current path: up to `highlight` of white
// on the side towards the light, fading through nothing at the middle to `shadow` of black on the far
// side. The path stays current.
void ShadeFromLight(cairo_t* cr, double highlight, double shadow);
// Fills the current path (and clears it) with what paintInside paints, unclipped, shaded from the light.
// The inside is painted apart and laid down by one fill, so a partly covered edge pixel shows the
// inside's colour at its coverage and nothing of the colours painted under it.
void FillShaded(cairo_t* cr, double highlight, double shadow, const std::function<void()>& paintInside);
// Fills the current path (and clears it) with colour, shaded from the light.
void FillLit(cairo_t* cr, Colour colour, double highlight, double shadow);

// A soft round spot: colour at `alpha` over the inner `hardness` of the radius, fading out to nothing
// at the radius.
void SoftSpot(cairo_t* cr, Point centre, double radius, Colour colour, double alpha, double hardness = 0.4);

// A round spot of solid colour. Small marks are drawn so rather than as soft spots: their edge is
// anti-aliased, where a gradient sampled once per pixel would flicker between scales.
void Disc(cairo_t* cr, Point centre, double radius, Colour colour, double alpha = 1.0);

// The point at t (0..1) of the cubic curve p0, p1, p2, p3.
Point CubicAt(const Point (&p)[4], double t);

// Share of its own colour a sprite pixel keeps where its cover fades to nothing: partly covered edge
// pixels are darkened towards this instead of mixed with the black key, so an edge shows the painter's
// anti-aliasing as a shaded rim without a fringe of key colour.
constexpr double kRimShade = 0.55;

// The canvas keyed on pure black for a sprite sheet: a pixel with alpha (0..255) of at least coverage
// keeps its own unpremultiplied colour, darkened towards kRimShade as its alpha falls and raised until
// R + G + B reaches minimumSum; every other pixel becomes exactly black.
Image KeyedWithShadedRim(const Canvas& canvas, int minimumSum, int coverage);

}  // namespace sylvora
