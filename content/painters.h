#pragma once
// The painters and the synthesiser: one entry point per kind of resource in the catalogue.
#include "content/canvas.h"
#include "content/catalogue.h"
#include "content/encoders.h"

namespace sylvora {

// Every picture painter paints at `scale` output pixels per logical pixel: the catalogue size times
// scale, the same composition with whatever finer detail the painter can give.

// A scene's ground (opaque) or overlay (on pure black). A wide painting covers the scene columns
// kWideFieldLeft to kWideFieldRight at the layer's rows; the classic one, the layer's own columns.
Image PaintSceneLayer(const ContentItem& item, int scale, bool wide = false);
// A sky: the 1280-pixel panorama of the item's mood, upper half columns 0..639, lower half 640..1279.
Image PaintSky(const ContentItem& item, int scale);
// A creature sheet on pure black, one subject per cell, the cells where scale 1 has them times scale.
Image PaintSheet(const ContentItem& item, int scale);
// The ambience or a bird song.
SampleBuffer SynthesiseSound(const ContentItem& item);

}  // namespace sylvora
