#pragma once
// Colour-keyed pictures for a display that scales them with filtering. A filter mixes each edge pixel
// with its keyed neighbours; were those black, every scaled sprite would wear a dark fringe. So the key
// becomes transparency, and each keyed pixel next to the picture takes their average colour: the mix
// then only ever blends the sprite's own colours, and the transparency fades them out.
#include <cstdint>

namespace sylvora {

// Turns XRGB8888 pixels (width x height, rows pitch pixels apart) into ARGB8888: pixels whose RGB equals
// key's RGB get alpha 0 and the average RGB of their non-keyed 8-neighbours (black when they have none);
// the others get alpha 255 and keep their colour. The native display calls it once per keyed picture
// upload.
void KeyToAlpha(uint32_t* pixels, int width, int height, int pitch, uint32_t key);

// Sets alpha 255 on every pixel: what an unkeyed picture is given before upload.
void Opaque(uint32_t* pixels, int width, int height, int pitch);

}  // namespace sylvora
