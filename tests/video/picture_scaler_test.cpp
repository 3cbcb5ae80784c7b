// Pictures scaled once to the size shown: shrinking averages by area, enlarging interpolates, a flat
// picture stays exactly flat, and a transparent pixel's colour never darkens its neighbour.
#include "video/picture_scaler.h"

#include <gtest/gtest.h>

#include <vector>

namespace sylvora {
namespace {

std::vector<uint32_t> Scaled(const std::vector<uint32_t>& source, int sourceWidth, int targetWidth, int targetHeight,
                             bool transparent) {
  std::vector<uint32_t> target(static_cast<size_t>(targetWidth) * targetHeight, 0xDEADBEEF);
  ScalePicture(source.data(), sourceWidth, static_cast<int>(source.size()) / sourceWidth, target.data(), targetWidth,
               targetHeight, transparent);
  return target;
}

TEST(PictureScalerTest, ShrinkingAveragesByAreaAndEnlargingInterpolates) {
  struct Case {
    const char* what;
    std::vector<uint32_t> source;
    int sourceWidth, targetWidth, targetHeight;
    std::vector<uint32_t> expected;
  };
  const uint32_t grey = 0xFF8C5A32;
  const Case cases[] = {
      {"the same size copies every pixel",
       {0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C},
       2,
       2,
       2,
       {0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C}},
      {"a flat picture stays flat at an uneven ratio", std::vector<uint32_t>(12 * 6, grey), 12, 9, 5,
       std::vector<uint32_t>(9 * 5, grey)},
      {"two by two into one is their mean", {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF}, 2, 1, 1, {0xFF404040}},
      // Four columns into three: each target column covers one and a third; the first is three quarters
      // the first column and a quarter the second, the middle half the second and half the third.
      {"four into three shares the middle columns",
       {0xFF000000, 0xFF000080, 0xFF0000FE, 0xFF0000FE},
       4,
       3,
       1,
       {0xFF000020, 0xFF0000BF, 0xFF0000FE}},
      // Two into four: the outer pixels are the edges', the inner a quarter and three quarters between.
      {"enlarging interpolates between centres",
       {0xFF000000, 0xFF0000FF},
       2,
       4,
       1,
       {0xFF000000, 0xFF000040, 0xFF0000BF, 0xFF0000FF}},
      {"an opaque picture is opaque whatever its alpha bytes", {0x00FF0000, 0x00FF0000}, 2, 1, 1, {0xFFFF0000}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    EXPECT_EQ(Scaled(test.source, test.sourceWidth, test.targetWidth, test.targetHeight, false), test.expected);
  }
}

TEST(PictureScalerTest, TransparentPixelsLendNoColourAndTheirShareOfAlpha) {
  // Red beside a clear black pixel: half as opaque, and still full red, not a dark red.
  EXPECT_EQ(Scaled({0xFFFF0000, 0x00000000}, 2, 1, 1, true), (std::vector<uint32_t>{0x80FF0000}));
  // Opaque pixels come out as an opaque picture's do.
  const std::vector<uint32_t> opaque = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF000000};
  EXPECT_EQ(Scaled(opaque, 3, 2, 1, true), Scaled(opaque, 3, 2, 1, false));
  // All clear stays clear and black.
  EXPECT_EQ(Scaled({0x00123456, 0x00000000}, 2, 1, 1, true), (std::vector<uint32_t>{0x00000000}));
  // A half-clear green between two opaque blues weighs half as much as either: 510 / 638 of blue.
  EXPECT_EQ(Scaled({0xFF0000FF, 0x8000FF00, 0xFF0000FF}, 3, 1, 1, true), (std::vector<uint32_t>{0xD50033CC}));
}

}  // namespace
}  // namespace sylvora
