#include "video/picture_buffer.h"

#include <new>

namespace sylvora {

bool PictureBuffer::Allocate(int pictureWidth, int pictureHeight, PixelRows pixelRows) {
  const size_t bytes = static_cast<size_t>(RowBytes(pictureWidth, pixelRows)) * pictureHeight;
  pixels.reset(new (std::nothrow) uint32_t[(bytes + 3) / 4]);
  if (!pixels) return false;
  byteCount = bytes;
  width = pictureWidth;
  height = pictureHeight;
  rows = pixelRows;
  blackLimit = 0;
  return true;
}

void BlackenBelow(PictureBuffer& picture, int limit) {
  if (!picture.pixels || limit <= picture.blackLimit) return;
  const int step = picture.rows == PixelRows::TopDownBgrx ? 4 : 3;
  const size_t rowBytes = static_cast<size_t>(PictureBuffer::RowBytes(picture.width, picture.rows));
  for (int row = 0; row < picture.height; ++row) {
    uint8_t* pixel = picture.Bytes() + row * rowBytes;
    for (int x = 0; x < picture.width; ++x, pixel += step) {
      if (pixel[0] + pixel[1] + pixel[2] < limit) pixel[0] = pixel[1] = pixel[2] = 0;
    }
  }
  picture.blackLimit = limit;
}

}  // namespace sylvora
