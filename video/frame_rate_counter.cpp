#include "video/frame_rate_counter.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "video/video_system.h"

namespace sylvora {
namespace {

// The digits 0 to 9 as five rows of three bits, the leftmost pixel in the highest bit.
constexpr uint8_t kGlyphs[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

// Whether pixel (x, y) of a digit's cell, counted from its top left corner, is ink.
bool Ink(int digit, int x, int y) {
  const int gx = (x - 1) / FrameRateCounter::kScale;
  const int gy = (y - 1) / FrameRateCounter::kScale;
  if (x < 1 || y < 1 || gx > 2 || gy > 4) return false;
  return (kGlyphs[digit][gy] >> (2 - gx)) & 1;
}

FrameRateCounter::Sheet PaintSheet() {
  FrameRateCounter::Sheet sheet{};
  for (int y = 0; y < FrameRateCounter::kCellHeight; ++y) {
    // Bottom-up rows: the picture's top row is the last in memory.
    uint8_t* row = sheet.data() + (FrameRateCounter::kCellHeight - 1 - y) * FrameRateCounter::kSheetRowBytes;
    for (int x = 0; x < FrameRateCounter::kSheetWidth; ++x) {
      const int digit = x / FrameRateCounter::kCellWidth;
      const uint8_t level =
          Ink(digit, x % FrameRateCounter::kCellWidth, y) ? FrameRateCounter::kInk : FrameRateCounter::kPlate;
      std::fill_n(row + 3 * x, 3, level);
    }
  }
  return sheet;
}

}  // namespace

const FrameRateCounter::Sheet& FrameRateCounter::DigitSheet() {
  static const Sheet sheet = PaintSheet();
  return sheet;
}

int FrameRateCounter::MakeSheet(VideoSystem& video) {
  int handle = SurfaceNone;
  std::string placement;
  if (video.CreateOffScreenSurface(kSheetWidth, kCellHeight, 0, handle, placement, SurfaceAnySlot) != 0) return 2;
  if (video.CopyDibToSurface(handle, DigitSheet().data(), kSheetWidth, kCellHeight) != 0) {
    video.DeleteSurface(handle);
    return 2;
  }
  sheet_ = handle;
  return 0;
}

int FrameRateCounter::Draw(VideoSystem& video, int rate) {
  if (sheet_ < 0 && MakeSheet(video) != 0) return 2;
  char digits[kMaxDigits + 1];
  const int count = std::snprintf(digits, sizeof digits, "%d", std::clamp(rate, 0, 9999));
  int result = 0;
  for (int i = 0; i < count; ++i) {
    const int digit = digits[i] - '0';
    const SurfaceRect source{digit * kCellWidth, 0, (digit + 1) * kCellWidth, kCellHeight};
    if (video.Draw(source, sheet_, kMargin + i * kCellWidth, kMargin) != 0) result = 2;
  }
  return result;
}

}  // namespace sylvora
