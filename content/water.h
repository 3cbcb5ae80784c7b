#pragma once
// Water for the scene painters: a lake's surface that mirrors what stands on its far shore and the sky
// above it, broken by ripples, and shows more of its own dark body the nearer it is to the viewer.
#include <cstdint>

#include "content/canvas.h"

namespace sylvora {

// What still water shows and how strongly, from its far edge (row 0, at the far shore's foot) to the
// viewer's bank.
struct StillWater {
  // The far shore as painted above the water, on a canvas of the water's columns and scale; its last
  // row stands on the water line. What it leaves transparent is sky.
  const Canvas* shore = nullptr;
  Colour skyHorizon, skyZenith;  // the sky just above the shore's foot, and straight up
  double skyRows = 0;            // rows of sky on the screen above the water line
  Colour body;                   // the water's own colour, seen looking down into it
  // The share of the light the surface mirrors at row 0 (seen at a grazing angle, almost a mirror) and
  // at nearRow (seen steeply, mostly the body).
  double farReflectance = 0, nearReflectance = 0;
  double nearRow = 0;
  uint32_t rippleSeed = 0;
};

// Paints every pixel of water as style says: the shore or the sky mirrored about the water line,
// each row shifted sideways by ripples that crowd into fine lines far away and widen towards the
// viewer, mixed with the water's body as the reflectance falls.
void PaintStillWater(Canvas& water, const StillWater& style);

// A river coming towards the viewer between rows farRow and nearRow: the sky's light on it far away
// giving way to its body near, crossed by ripples whose crests catch the light.
struct FlowingWater {
  Colour farLight, nearBody, crest;
  double farRow = 0, nearRow = 0;
  uint32_t rippleSeed = 0;
};

// Paints every pixel of water as a river would show there, as style says: the caller fills the river's
// shape from it (Canvas::FillPathFrom).
void PaintFlowingWater(Canvas& water, const FlowingWater& style);

}  // namespace sylvora
