// KeyToAlpha: a keyed sprite scaled with bilinear filtering over a white background never shows a pixel
// darker than the sprite's own darkest colour, where black keys left in place would.
#include "video/key_alpha.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace sylvora {
namespace {

constexpr int kSide = 12;
constexpr uint32_t kKey = 0x000000;
constexpr uint32_t kBark = 0x8C5A2A;  // the darkest colour: 140, 90, 42
constexpr uint32_t kLeaf = 0x9AC040;

// A round sprite of two colours on the key, with a keyed hole, as creatures' sheets have.
std::vector<uint32_t> Sprite() {
  std::vector<uint32_t> pixels(kSide * kSide, kKey);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double dx = x - 5.5;
      const double dy = y - 5.5;
      const double radius = std::sqrt(dx * dx + dy * dy);
      if (radius < 5.0 && radius > 1.2) pixels[y * kSide + x] = x < 6 ? kBark : kLeaf;
    }
  }
  return pixels;
}

double Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// What a renderer shows at texture position (u, v) over white: the four nearest texels mixed by bilinear
// weights, alpha included (straight alpha), then blended over the background.
std::array<double, 3> ShownOverWhite(const std::vector<uint32_t>& texture, double u, double v) {
  const double fx = u - 0.5;
  const double fy = v - 0.5;
  const int x0 = static_cast<int>(std::floor(fx));
  const int y0 = static_cast<int>(std::floor(fy));
  const double wx = fx - x0;
  const double wy = fy - y0;
  std::array<double, 4> mixed{};  // red, green, blue, alpha
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 2; ++i) {
      const int x = std::clamp(x0 + i, 0, kSide - 1);
      const int y = std::clamp(y0 + j, 0, kSide - 1);
      const double weight = (i ? wx : 1 - wx) * (j ? wy : 1 - wy);
      const uint32_t texel = texture[y * kSide + x];
      constexpr std::array<int, 4> kShifts{16, 8, 0, 24};
      for (int c = 0; c < 4; ++c) mixed[c] += weight * Channel(texel, kShifts[c]);
    }
  }
  const double alpha = mixed[3] / 255.0;
  return {mixed[0] * alpha + 255 * (1 - alpha), mixed[1] * alpha + 255 * (1 - alpha),
          mixed[2] * alpha + 255 * (1 - alpha)};
}

// The darkest value of each channel over the scaled-up sprite (three output pixels a texel, sampled at
// pixel centres, as a 3x draw does).
std::array<double, 3> DarkestShown(const std::vector<uint32_t>& texture) {
  std::array<double, 3> darkest{255, 255, 255};
  constexpr int kScale = 3;
  for (int y = 0; y < kSide * kScale; ++y) {
    for (int x = 0; x < kSide * kScale; ++x) {
      const auto shown = ShownOverWhite(texture, (x + 0.5) / kScale, (y + 0.5) / kScale);
      for (int c = 0; c < 3; ++c) darkest[c] = std::min(darkest[c], shown[c]);
    }
  }
  return darkest;
}

TEST(KeyToAlpha, FilteredEdgesAreNoDarkerThanTheSpritesDarkestColour) {
  std::vector<uint32_t> pixels = Sprite();
  KeyToAlpha(pixels.data(), kSide, kSide, kSide, kKey);
  const auto darkest = DarkestShown(pixels);
  EXPECT_GE(darkest[0], Channel(kBark, 16) - 0.5);
  EXPECT_GE(darkest[1], Channel(kBark, 8) - 0.5);
  EXPECT_GE(darkest[2], Channel(kBark, 0) - 0.5);

  // The same sprite with transparent but still black keys shows the fringe the bleeding prevents: the
  // filter mixes black into the edge's colour, and the edge is darker than anything the sprite holds.
  std::vector<uint32_t> unbled = Sprite();
  for (uint32_t& pixel : unbled) pixel = pixel == kKey ? 0 : pixel | 0xFF000000;
  EXPECT_LT(DarkestShown(unbled)[0], Channel(kBark, 16) - 0.5);
}

TEST(KeyToAlpha, KeysBecomeClearAndTakeTheirNeighboursAverageAndTheRestStaysOpaque) {
  // One row of five: key, red, key, blue, key; the middle key averages red and blue.
  std::vector<uint32_t> row{kKey, 0xC80000, kKey, 0x0000C8, kKey};
  KeyToAlpha(row.data(), 5, 1, 5, kKey);
  EXPECT_EQ(row, (std::vector<uint32_t>{0x00C80000, 0xFFC80000, 0x00640064, 0xFF0000C8, 0x000000C8}));
}

TEST(KeyToAlpha, AKeyFarFromThePictureStaysClearBlackAndPitchIsHonoured) {
  // 3 x 1 inside rows of 4: the fourth pixel of each row is not the picture's and is left alone.
  std::vector<uint32_t> pixels{kKey, kKey, 0x102030, 0xDEADBEEF, kKey, kKey, kKey, 0x12345678};
  KeyToAlpha(pixels.data(), 3, 2, 4, kKey);
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0x00000000, 0x00102030, 0xFF102030, 0xDEADBEEF, 0x00000000, 0x00102030,
                                           0x00102030, 0x12345678}));
}

}  // namespace
}  // namespace sylvora
