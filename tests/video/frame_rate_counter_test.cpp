// The -fps corner counter on the in-memory display: its digits land in the frame's top left corner.
#include "video/frame_rate_counter.h"

#include <gmock/gmock.h>

#include "tests/video/video_test_support.h"

namespace sylvora {
namespace {

// The 3 x 5 shapes the counter must show, row by row ('#' ink), independent of its own table.
const char* const kSeven[5] = {"###", "..#", "..#", "..#", "..#"};
const char* const kFour[5] = {"#.#", "#.#", "###", "..#", "..#"};

class FrameRateCounterTest : public VideoTest {
 protected:
  // The secondary buffer's pixel at frame (x, y), as the display holds it.
  uint32_t FramePixel(int x, int y) { return static_cast<FakeSurface*>(video->Secondary())->PixelAt(x, y); }

  // Whether the digit drawn at cell `cell` shows shape, every scaled pixel ink or plate as it should.
  void ExpectDigit(int cell, const char* const (&shape)[5]) {
    // The plate's colour is the cell's corner, the ink's that of the glyph's first pixel; both are drawn
    // (neither is black, the transparent colour) and they differ.
    const int firstInk = shape[0][0] == '#' ? 0 : shape[0][1] == '#' ? 1 : 2;
    const int left = FrameRateCounter::kMargin + cell * FrameRateCounter::kCellWidth;
    const uint32_t plate = FramePixel(left, FrameRateCounter::kMargin);
    const uint32_t ink = FramePixel(left + 1 + firstInk * FrameRateCounter::kScale, FrameRateCounter::kMargin + 1);
    EXPECT_NE(plate, 0u);
    EXPECT_NE(ink, 0u);
    EXPECT_NE(ink, plate);
    for (int y = 0; y < FrameRateCounter::kCellHeight; ++y) {
      for (int x = 0; x < FrameRateCounter::kCellWidth; ++x) {
        const int gx = (x - 1) / FrameRateCounter::kScale, gy = (y - 1) / FrameRateCounter::kScale;
        const bool inked = x >= 1 && y >= 1 && gx < 3 && gy < 5 && shape[gy][gx] == '#';
        const int fx = FrameRateCounter::kMargin + cell * FrameRateCounter::kCellWidth + x;
        EXPECT_EQ(FramePixel(fx, FrameRateCounter::kMargin + y), inked ? ink : plate)
            << "cell " << cell << " at " << x << "," << y;
      }
    }
  }
};

TEST_F(FrameRateCounterTest, DrawsTheRateInTheTopLeftCorner) {
  ASSERT_EQ(CreateVideo(1, 16), 0);
  FrameRateCounter counter;
  ASSERT_EQ(counter.Draw(*video, 47), 0) << ::testing::PrintToString(Texts());
  ExpectDigit(0, kFour);
  ExpectDigit(1, kSeven);
  // Nothing beyond the two digits: the frame stays as it was (black).
  EXPECT_EQ(FramePixel(FrameRateCounter::kMargin + 2 * FrameRateCounter::kCellWidth, FrameRateCounter::kMargin), 0u);
  // The sheet is made once; later frames only draw.
  const int slots = video->Surfaces().slotCount;
  ASSERT_EQ(counter.Draw(*video, 7), 0);
  EXPECT_EQ(video->Surfaces().slotCount, slots);
  ExpectDigit(0, kSeven);
}

TEST_F(FrameRateCounterTest, ASheetThatCannotBeMadeIsReportedAndTriedAgain) {
  ASSERT_EQ(CreateVideo(1, 16), 0);
  display->systemSurfacesFail = true;
  display->videoSurfacesFail = true;
  FrameRateCounter counter;
  EXPECT_EQ(counter.Draw(*video, 60), 2);
  EXPECT_GT(ErrorCount(), 0);
  display->systemSurfacesFail = false;
  display->videoSurfacesFail = false;
  EXPECT_EQ(counter.Draw(*video, 60), 0);
}

}  // namespace
}  // namespace sylvora
