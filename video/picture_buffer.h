#pragma once
// A loaded picture's pixels, as the loaders and the decode-ahead worker hold them between decoding and
// the picture's surface.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "video/jpeg_decoder.h"

namespace sylvora {

// Which loader filled the picture buffer, and so how it is released.
enum class PictureKind : int { Bmp = 0, Jpeg = 1 };

// One picture between loading and copying. A BMP, and a JPEG for a display that is written through
// Lock, is 24-bit blue-green-red, bottom row first, each row padded to a multiple of 4 bytes (the pixel
// part of a bottom-up 24-bit BMP); a JPEG for a display that takes pixels whole is XRGB8888, top row
// first, already as the surface keeps it.
struct PictureBuffer {
  // Whole words, so that XRGB8888 pixels can be handed on as they are; BMP rows are read as bytes.
  std::unique_ptr<uint32_t[]> pixels;
  size_t byteCount = 0;
  int width = 0;
  int height = 0;
  PixelRows rows = PixelRows::BottomUpBgr;
  PictureKind kind = PictureKind::Bmp;
  int scale = 1;       // picture pixels per frame pixel along each side: kHighResolutionScale for a twin
  int blackLimit = 0;  // the pixels whose channels add up to less than this are black already

  uint8_t* Bytes() const { return reinterpret_cast<uint8_t*>(pixels.get()); }
  // Makes room for the rows of a width x height picture laid out as rows; false when there is no memory.
  bool Allocate(int pictureWidth, int pictureHeight, PixelRows pixelRows);

  // BottomUpBgr: (3 x width + 3) rounded down to a multiple of 4; TopDownBgrx: 4 x width.
  static int RowBytes(int width, PixelRows rows = PixelRows::BottomUpBgr) {
    return rows == PixelRows::TopDownBgrx ? 4 * width : (3 * width + 3) & ~3;
  }
};

// Makes black every pixel whose blue, green and red add up to less than limit (0 to 255): the near-blacks
// a JPEG's compression leaves around a keyed picture's subjects, which must be the key again. Pixels are
// blackened below the largest limit ever applied, so blackLimit only grows.
void BlackenBelow(PictureBuffer& picture, int limit);

}  // namespace sylvora
