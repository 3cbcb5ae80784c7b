#pragma once
// Drawing only what changed. A scene is mostly still: its layers stand where they stood, and each frame
// only the creatures, and now and then the sky, move. On a renderer that keeps its output between frames
// (SDL's software renderer), redrawing and showing the whole output every frame costs several full-frame
// passes for a few small moving pictures.
//
// This device stands between the native display layer and the real one. It notes a frame's clears and
// copies instead of making them, and at the present holds them against the frame before: every copy
// that is not the same (texture, rectangles, clip) at the same place in the order, or whose texture was
// uploaded since, marks its area (where its picture is not wholly transparent) and the area of what it
// replaced as changed. Only the changed areas are
// then drawn again, each with every copy of the frame that reaches it, cut to it, and only they are
// shown. A point outside every changed area is covered by the same copies in the same order as before,
// so it keeps the same pixel: the output is exactly what a full redraw would be. A frame that cannot be
// held against the one before (the first, after the output was lost or resized, one with a copy that
// scales, whose edges a cut could move) is drawn and shown whole.
//
// Where the real device does not keep its output (OpenGL), every call passes straight through.
#include <memory>

#include "video/render_device.h"

namespace sylvora {

// Copies and clears one frame may hold; a frame with more is drawn whole.
constexpr int kMaxFrameDraws = 512;
// Separate changed areas a frame keeps; more are merged into the nearest.
constexpr int kMaxChangedAreas = 16;
// Textures whose pixels one frame may see replaced; more and the frame is drawn whole.
constexpr int kMaxReplacedTextures = 32;
// Textures whose clear margins the device keeps, so a copy's area is only what it shows; a texture past
// them counts as showing all of itself.
constexpr int kMaxTrackedTextures = 256;

// Wraps inner, which it owns. CreateNativeDisplayLayer calls it for every native layer.
std::unique_ptr<RenderDevice> CreateRetainedRenderDevice(std::unique_ptr<RenderDevice> inner);

}  // namespace sylvora
