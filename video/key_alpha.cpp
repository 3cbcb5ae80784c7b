#include "video/key_alpha.h"

#include <cstddef>

namespace sylvora {

namespace {

constexpr uint32_t kRgbMask = 0x00FFFFFF;
constexpr uint32_t kOpaque = 0xFF000000;

// The average RGB of the non-keyed pixels around (x, y), read from their RGB before any was changed: keyed
// pixels are marked by a clear alpha only after the whole picture was classified.
uint32_t NeighbourAverage(const uint32_t* pixels, int width, int height, int pitch, int x, int y) {
  uint32_t red = 0;
  uint32_t green = 0;
  uint32_t blue = 0;
  uint32_t count = 0;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int nx = x + dx;
      const int ny = y + dy;
      if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
      const uint32_t pixel = pixels[static_cast<size_t>(ny) * pitch + nx];
      if ((pixel & kOpaque) == 0) continue;
      red += (pixel >> 16) & 0xFF;
      green += (pixel >> 8) & 0xFF;
      blue += pixel & 0xFF;
      ++count;
    }
  }
  if (count == 0) return 0;
  return (red / count) << 16 | (green / count) << 8 | blue / count;
}

// Whether the pixel at (x, y), away from the picture's edges, has only keys around it: then no colour
// bleeds into it, and it keeps the cleared value the first pass gave it. Most keyed pixels of a sheet
// lie so, and this look costs a fraction of the average.
bool AmidKeys(const uint32_t* pixels, int width, int height, int pitch, int x, int y) {
  if (x == 0 || y == 0 || x == width - 1 || y == height - 1) return false;
  const uint32_t* above = pixels + static_cast<size_t>(y - 1) * pitch + x - 1;
  const uint32_t* middle = above + pitch;
  const uint32_t* below = middle + pitch;
  return ((above[0] | above[1] | above[2] | middle[0] | middle[2] | below[0] | below[1] | below[2]) & kOpaque) == 0;
}

}  // namespace

void KeyToAlpha(uint32_t* pixels, int width, int height, int pitch, uint32_t key) {
  // First pass: alpha tells the picture from the key, so the second pass reads every neighbour's
  // class whatever order the pixels are visited in.
  for (int y = 0; y < height; ++y) {
    uint32_t* row = pixels + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      row[x] = (row[x] & kRgbMask) == (key & kRgbMask) ? 0 : (row[x] | kOpaque);
    }
  }
  for (int y = 0; y < height; ++y) {
    uint32_t* row = pixels + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      if ((row[x] & kOpaque) == 0 && !AmidKeys(pixels, width, height, pitch, x, y)) {
        row[x] = NeighbourAverage(pixels, width, height, pitch, x, y);
      }
    }
  }
}

void Opaque(uint32_t* pixels, int width, int height, int pitch) {
  for (int y = 0; y < height; ++y) {
    uint32_t* row = pixels + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x) row[x] |= kOpaque;
  }
}

}  // namespace sylvora
