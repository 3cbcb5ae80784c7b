#pragma once
// The painters and the synthesiser: one entry point per kind of resource in the catalogue.
#include "content/canvas.h"
#include "content/catalogue.h"
#include "content/encoders.h"

namespace sylvora {

// A scene's ground (opaque) or overlay (on pure black) at the catalogue size.
Image PaintSceneLayer(const ContentItem& item);
// A sky: the 1280-pixel panorama of the item's mood, upper half columns 0..639, lower half 640..1279.
Image PaintSky(const ContentItem& item);
// A creature sheet on pure black, one subject per cell.
Image PaintSheet(const ContentItem& item);
// The ambience or a bird song.
SampleBuffer SynthesiseSound(const ContentItem& item);

}  // namespace sylvora
