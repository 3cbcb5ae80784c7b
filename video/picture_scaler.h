#pragma once
// Scaling a picture once to the size it is shown at. A renderer that scales on the processor (SDL's
// software renderer) would otherwise rescale every picture at every copy, which is most of a frame's
// cost there, and its bilinear filter reads only the four texels nearest each output pixel: shrinking a
// three-times twin by more than half skips texels and steps the edges. Made once, the copy is one to one
// and the filter can afford to look at every texel.
#include <cstdint>
#include <vector>

namespace sylvora {

// Scales source (sourceWidth x sourceHeight ARGB8888, rows sourceWidth pixels apart) to target
// (targetWidth x targetHeight, rows targetWidth pixels apart). Shrinking averages every source pixel by
// the area it shares with the target pixel; enlarging interpolates between the four nearest, as a
// texture filter does. With transparent, the colours are weighted by their alpha, so a transparent
// pixel's colour never darkens an edge; otherwise every pixel is taken as opaque and keeps alpha 255.
// The native display calls it when it uploads a picture to a renderer that scales on the processor.
void ScalePicture(const uint32_t* source, int sourceWidth, int sourceHeight, uint32_t* target, int targetWidth,
                  int targetHeight, bool transparent);

}  // namespace sylvora
