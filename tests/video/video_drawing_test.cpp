// Pixel conversion, drawing with clipping and colour keys, clearing and presenting.
#include "tests/video/video_test_support.h"

namespace sylvora {
namespace {

using Kind = MessageKind;

// A stored picture of 24-bit rows, bottom row first, built row by row.
std::vector<uint8_t> StoredRows(int width, const std::vector<std::vector<uint8_t>>& rows, uint8_t pad = 0xAB) {
  std::vector<uint8_t> bytes;
  for (const auto& row : rows) {
    std::vector<uint8_t> stored = row;
    stored.resize(PictureBuffer::RowBytes(width), pad);
    bytes.insert(bytes.end(), stored.begin(), stored.end());
  }
  return bytes;
}

class VideoConversionTest : public VideoTest {
 protected:
  // Creates the display with masks for depth and one slot of width x height to convert into.
  void Start(int depth, uint32_t red, uint32_t green, uint32_t blue, int width = 1, int height = 1) {
    display->redMask = red;
    display->greenMask = green;
    display->blueMask = blue;
    ASSERT_EQ(CreateVideo(1, depth), 0);
    std::string placement;
    ASSERT_EQ(video->CreateOffScreenSurface(width, height, 0, slot, placement, SurfaceAnySlot), 0);
  }
  const FakeSurface& Slot() { return *FakeDisplay::Of(video->Surfaces().slots[slot].surface); }
  int slot = SurfaceNone;
};

TEST_F(VideoConversionTest, WorkedValuesOn565) {
  Start(16, 0xF800, 0x07E0, 0x001F, 3);
  const auto picture = StoredRows(3, {{50, 100, 200, 255, 255, 255, 0, 0, 255}});
  ASSERT_EQ(video->CopyDibToSurface(slot, picture.data(), 3, 1), 0);
  EXPECT_EQ(Slot().PixelAt(0, 0), 0xCB26u);
  EXPECT_EQ(Slot().PixelAt(1, 0), 0xFFFFu);
  EXPECT_EQ(Slot().PixelAt(2, 0), 0xF800u);
  // The bytes after the last pixel, up to the pitch, are not written.
  EXPECT_EQ(Slot().pixels[6], 0xEE);
}

TEST_F(VideoConversionTest, WorkedValueOn555) {
  Start(16, 0x7C00, 0x03E0, 0x001F);
  const auto picture = StoredRows(1, {{50, 100, 200}});
  ASSERT_EQ(video->CopyDibToSurface(slot, picture.data(), 1, 1), 0);
  EXPECT_EQ(Slot().PixelAt(0, 0), 0x6586u);
}

TEST_F(VideoConversionTest, WorkedValueAt32Bits) {
  Start(32, 0xFF0000, 0x00FF00, 0x0000FF);
  const auto picture = StoredRows(1, {{50, 100, 200}});
  ASSERT_EQ(video->CopyDibToSurface(slot, picture.data(), 1, 1), 0);
  EXPECT_EQ((std::vector<uint8_t>(Slot().pixels.begin(), Slot().pixels.begin() + 4)),
            (std::vector<uint8_t>{0x32, 0x64, 0xC8, 0x00}));
}

TEST_F(VideoConversionTest, TwentyFourBitsWritesThreeBytesAPixel) {
  Start(24, 0xFF0000, 0x00FF00, 0x0000FF, 2);
  const auto picture = StoredRows(2, {{50, 100, 200, 1, 2, 3}});
  ASSERT_EQ(video->CopyDibToSurface(slot, picture.data(), 2, 1), 0);
  EXPECT_EQ((std::vector<uint8_t>(Slot().pixels.begin(), Slot().pixels.begin() + 7)),
            (std::vector<uint8_t>{0x32, 0x64, 0xC8, 1, 2, 3, 0xEE}));
}

TEST_F(VideoConversionTest, FirstStoredRowLandsAtTheBottom) {
  Start(16, 0xF800, 0x07E0, 0x001F, 1, 3);
  const auto picture = StoredRows(1, {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}});
  ASSERT_EQ(video->CopyDibToSurface(slot, picture.data(), 1, 3), 0);
  EXPECT_EQ(Slot().PixelAt(0, 0), 0x001Fu);  // blue, the last stored row, on top
  EXPECT_EQ(Slot().PixelAt(0, 1), 0x07E0u);
  EXPECT_EQ(Slot().PixelAt(0, 2), 0xF800u);  // red, the first stored row, at the bottom
}

TEST_F(VideoConversionTest, WidthFiveIsReadWithAStrideOfSixteen) {
  Start(16, 0xF800, 0x07E0, 0x001F, 5, 2);
  std::vector<uint8_t> bottom, top;
  for (int x = 0; x < 5; ++x) {
    bottom.insert(bottom.end(), {0, 0, 255});
    top.insert(top.end(), {255, 0, 0});
  }
  const auto picture = StoredRows(5, {bottom, top}, 0x77);
  ASSERT_EQ(picture.size(), 32u);
  ASSERT_EQ(video->CopyDibToSurface(slot, picture.data(), 5, 2), 0);
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(Slot().PixelAt(x, 0), 0x001Fu) << x;
    EXPECT_EQ(Slot().PixelAt(x, 1), 0xF800u) << x;
  }
}

TEST_F(VideoConversionTest, UnknownDepthCopiesNothing) {
  Start(8, 0xE0, 0x1C, 0x03);
  const auto picture = StoredRows(1, {{50, 100, 200}});
  EXPECT_EQ(video->CopyDibToSurface(slot, picture.data(), 1, 1), 0);
  EXPECT_EQ(Slot().pixels[0], 0xEE);
  EXPECT_EQ(display->CallCount("Lock"), 0);
}

TEST_F(VideoConversionTest, SecondaryBufferAndInvalidNumbers) {
  Start(16, 0xF800, 0x07E0, 0x001F);
  const auto picture = StoredRows(1, {{50, 100, 200}});
  ASSERT_EQ(video->CopyDibToSurface(SurfaceSecondary, picture.data(), 1, 1), 0);
  EXPECT_EQ(FakeDisplay::Of(video->Secondary())->PixelAt(0, 0), 0xCB26u);
  EXPECT_EQ(FakeDisplay::Of(video->Secondary())->PixelAt(1, 0), 0u);
  EXPECT_EQ(video->CopyDibToSurface(SurfaceNone, picture.data(), 1, 1), 0);
  EXPECT_EQ(video->CopyDibToSurface(5, picture.data(), 1, 1), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "CopyDibToSurface", "surface N5 is invalid"));
}

TEST_F(VideoConversionTest, APictureLargerThanItsSurfaceIsCutToIt) {
  Start(16, 0xF800, 0x07E0, 0x001F, 1, 1);
  const auto picture = StoredRows(2, {{0, 0, 255, 0, 0, 255}, {255, 0, 0, 255, 0, 0}});
  ASSERT_EQ(video->CopyDibToSurface(slot, picture.data(), 2, 2), 0);
  EXPECT_EQ(Slot().PixelAt(0, 0), 0x001Fu);
  EXPECT_EQ(Slot().pixels.size(), static_cast<size_t>(Slot().pitch));
}

TEST_F(VideoTest, BlackThreshold) {
  ASSERT_EQ(CreateVideo(), 0);
  PutLoose("pic", "jpg", MakeFakeJpeg(4, 1, {10, 10, 9, 10, 10, 10, 15, 15, 13, 15, 15, 14}));
  ASSERT_EQ(video->LoadGraphicsFromJpg("pic", LooseFileEntry), 0);
  ASSERT_EQ(video->ApplyBlackThreshold(30), 0);
  const uint8_t* pixels = video->Picture().Bytes();
  EXPECT_EQ((std::vector<uint8_t>(pixels, pixels + 6)), (std::vector<uint8_t>{0, 0, 0, 10, 10, 10}));
  ASSERT_EQ(video->ApplyBlackThreshold(300), 0);  // acts as 44
  EXPECT_EQ((std::vector<uint8_t>(pixels + 6, pixels + 12)), (std::vector<uint8_t>{0, 0, 0, 15, 15, 14}));
  EXPECT_EQ(video->ApplyBlackThreshold(0), 0);
  EXPECT_EQ(pixels[9], 15);
}

// ---- Drawing ----

class VideoDrawTest : public VideoTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateVideo(), 0);
    // A 100 x 50 red picture with a black 10 x 10 square at its top-left corner.
    std::string rows;
    for (int y = 49; y >= 0; --y) {
      std::string row;
      for (int x = 0; x < 100; ++x) {
        const bool black = x < 10 && y < 10;
        row += {0, 0, static_cast<char>(black ? 0 : 255)};
      }
      rows += row;
    }
    PutLoose("pic", "bmp", MakeBmp(100, 50, rows));
    ASSERT_EQ(video->CreateSurfaceA("pic", 0, 0, keyed, SurfaceAnySlot, 0), 0);
    ASSERT_EQ(video->CreateSurfaceB("pic", 0, opaque, SurfaceAnySlot), 0);
  }
  const FakeSurface& Buffer() { return *FakeDisplay::Of(video->Secondary()); }
  void FillBuffer(uint32_t value) {
    FakeSurface* buffer = FakeDisplay::Of(video->Secondary());
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) buffer->SetPixel(x, y, value);
  }
  int keyed = SurfaceNone, opaque = SurfaceNone;
};

TEST_F(VideoDrawTest, ClipToSecondaryCases) {
  SurfaceRect rect{0, 0, 100, 50};
  EXPECT_EQ(VideoSystem::ClipToSecondary(rect, 100, 50, 600, 460, 640, 480), 0);
  EXPECT_EQ(rect.right, 40);
  EXPECT_EQ(rect.bottom, 20);
  rect = {-5, -5, 200, 200};
  EXPECT_EQ(VideoSystem::ClipToSecondary(rect, 100, 50, 0, 0, 640, 480), 0);
  EXPECT_EQ((std::vector<int>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<int>{0, 0, 100, 50}));
  for (auto [x, y] : {std::pair{-10, 0}, {0, 480}, {640, 0}, {0, -1}}) {
    rect = {0, 0, 100, 50};
    EXPECT_EQ(VideoSystem::ClipToSecondary(rect, 100, 50, x, y, 640, 480), 1);
    EXPECT_EQ(rect.right, 100);  // unchanged
  }
  rect = {120, 0, 150, 10};
  EXPECT_EQ(VideoSystem::ClipToSecondary(rect, 100, 50, 0, 0, 640, 480), 1);
  EXPECT_EQ(rect.left, 120);
  rect = {10, 10, 30, 30};
  EXPECT_EQ(VideoSystem::ClipToSecondary(rect, 100, 50, 630, 470, 640, 480), 0);
  EXPECT_EQ((std::vector<int>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<int>{10, 10, 20, 20}));
}

TEST_F(VideoDrawTest, DrawCutsAtTheRightAndBottomEdges) {
  ASSERT_EQ(video->Draw({0, 0, 100, 50}, opaque, 600, 460), 0);
  EXPECT_EQ(Buffer().PixelAt(639, 479), 0xF800u);
  EXPECT_EQ(Buffer().PixelAt(599, 479), 0u);
  EXPECT_EQ(display->CallCount("BltFast out of bounds"), 0);
}

TEST_F(VideoDrawTest, PicturesLeftOfOrAboveTheBufferAreNotDrawn) {
  EXPECT_EQ(video->Draw({0, 0, 100, 50}, keyed, -10, 0), 1);
  EXPECT_TRUE(HasMessage(Kind::Warning, "Draw",
                         "blitting was failed [from <pic>(0) (0,0,100,50) to secondary buffer (-10,0)]"));
  EXPECT_EQ(video->Draw({0, 0, 100, 50}, keyed, 0, 480), 1);
  EXPECT_EQ(video->Draw({120, 0, 150, 10}, keyed, 0, 0), 1);
  EXPECT_TRUE(HasMessage(Kind::Warning, "Draw",
                         "blitting was failed [from <pic>(0) (120,0,150,10) to secondary buffer (0,0)]"));
  EXPECT_EQ(display->CallCount("BltFast keyed"), 0);
}

TEST_F(VideoDrawTest, ColourKeyLeavesTheBufferWhereThePictureIsBlack) {
  FillBuffer(0x07E0);
  ASSERT_EQ(video->Draw({0, 0, 100, 50}, keyed, 0, 0), 0);
  EXPECT_EQ(Buffer().PixelAt(5, 5), 0x07E0u);
  EXPECT_EQ(Buffer().PixelAt(50, 5), 0xF800u);
  ASSERT_EQ(video->Draw({0, 0, 100, 50}, opaque, 0, 100), 0);
  EXPECT_EQ(Buffer().PixelAt(5, 105), 0u);
  EXPECT_EQ(display->CallCount("BltFast keyed"), 1);
  EXPECT_EQ(display->CallCount("BltFast"), 1);
}

TEST_F(VideoDrawTest, NoneAndInvalidNumbers) {
  const int before = report->MessageCount();
  EXPECT_EQ(video->Draw({0, 0, 1, 1}, SurfaceNone, 0, 0), 0);
  EXPECT_EQ(report->MessageCount(), before);
  EXPECT_EQ(video->Draw({0, 0, 1, 1}, 3, 0, 0), 1);
  EXPECT_TRUE(HasMessage(Kind::Warning, "Draw", "surface N3 is invalid"));
  EXPECT_EQ(video->Draw({0, 0, 1, 1}, SurfaceSecondary, 0, 0), 1);
  EXPECT_TRUE(HasMessage(Kind::Warning, "Draw", "surface N10000 is invalid"));
}

TEST_F(VideoDrawTest, ALostSurfaceIsRestoredAndDrawnAgain) {
  FakeDisplay::Of(video->Primary())->lost = true;
  FakeDisplay::Of(video->Surfaces().slots[opaque].surface)->lost = true;
  ASSERT_EQ(video->Draw({0, 0, 100, 50}, opaque, 0, 0), 0);
  EXPECT_EQ(display->CallCount("BltFast"), 2);
  EXPECT_EQ(Buffer().PixelAt(50, 25), 0xF800u);
}

TEST_F(VideoDrawTest, ASurfaceThatStaysLostEndsTheRetry) {
  FakeSurface* surface = FakeDisplay::Of(video->Surfaces().slots[opaque].surface);
  surface->lost = surface->stayLost = true;
  FakeDisplay::Of(video->Primary())->lost = true;
  FakeDisplay::Of(video->Primary())->stayLost = true;
  EXPECT_EQ(video->Draw({0, 0, 100, 50}, opaque, 600, 0), 1);
  EXPECT_LE(display->CallCount("BltFast"), 4);
  EXPECT_TRUE(HasMessage(Kind::Warning, "Draw",
                         "blitting was failed [from <pic>(1) (0,0,40,50) to secondary buffer (600,0)]"));
}

TEST_F(VideoDrawTest, AFailedBlitIsAWarning) {
  display->bltFails = true;
  EXPECT_EQ(video->Draw({0, 0, 100, 50}, opaque, 0, 0), 1);
  EXPECT_TRUE(HasMessage(Kind::Warning, "Draw",
                         "blitting was failed [from <pic>(1) (0,0,100,50) to secondary buffer (0,0)]"));
}

TEST_F(VideoDrawTest, SetTransparentColor) {
  EXPECT_EQ(video->SetTransparentColor(opaque, 0x1234), 0);
  EXPECT_EQ(video->Surfaces().slots[opaque].hasColourKey, 1);
  EXPECT_EQ(video->Surfaces().slots[opaque].colourKey, 0x1234u);
  EXPECT_EQ(video->SetTransparentColor(SurfaceSecondary, 7), 0);
  EXPECT_EQ(FakeDisplay::Of(video->Secondary())->key, 7u);
  EXPECT_EQ(video->SetTransparentColor(SurfaceNone, 7), 0);
  EXPECT_EQ(video->SetTransparentColor(9, 7), 1);
  EXPECT_TRUE(HasMessage(Kind::Warning, "SetTransparentColor", "surface N9 is invalid"));
}

TEST_F(VideoDrawTest, ClearSurface) {
  FillBuffer(0xFFFF);
  EXPECT_EQ(video->ClearSurface(SurfaceSecondary), 0);
  EXPECT_EQ(Buffer().PixelAt(320, 240), 0u);
  EXPECT_EQ(video->ClearSurface(keyed), 0);
  EXPECT_EQ(FakeDisplay::Of(video->Surfaces().slots[keyed].surface)->PixelAt(50, 25), 0u);
  EXPECT_EQ(video->ClearSurface(SurfaceNone), 0);
  ASSERT_EQ(video->DeleteSurface(keyed), 0);
  EXPECT_EQ(video->ClearSurface(keyed), 1);
  EXPECT_TRUE(HasMessage(Kind::Warning, "ClearSurface", "surface N0 is invalid"));
  const int before = report->MessageCount();
  display->fillFails = true;
  EXPECT_EQ(video->ClearSurface(opaque), 1);
  EXPECT_EQ(report->MessageCount(), before);
}

TEST_F(VideoDrawTest, ClearSurfaceRestoresALostSurfaceAndFillsAgain) {
  FakeDisplay::Of(video->Primary())->lost = true;
  FakeDisplay::Of(video->Secondary())->lost = true;
  EXPECT_EQ(video->ClearSurface(SurfaceSecondary), 0);
  EXPECT_EQ(display->CallCount("ColourFill"), 3);  // the one at creation, then lost, then again
}

TEST_F(VideoTest, WindowedClearSurfaceWorks) {
  ASSERT_EQ(CreateVideo(0), 0);
  EXPECT_EQ(video->ClearSurface(SurfaceSecondary), 0);
}

// ---- Presenting ----

TEST_F(VideoDrawTest, PresentStretchesOverTheWholeDisplay) {
  ASSERT_EQ(video->Draw({0, 0, 100, 50}, opaque, 0, 0), 0);
  video->Present();
  ASSERT_EQ(display->presentCount, 1);
  EXPECT_EQ((std::vector<int>{display->lastPresentDestination.left, display->lastPresentDestination.top,
                              display->lastPresentDestination.right, display->lastPresentDestination.bottom}),
            (std::vector<int>{0, 0, 1024, 768}));
  // Buffer pixel (99, 49) is the last red one; 1024/640 = 1.6 so it covers screen (159, 79).
  EXPECT_EQ(display->ScreenAt(159, 79), 0xF800u);
  EXPECT_EQ(display->ScreenAt(160, 80), 0u);
  EXPECT_EQ(display->ScreenAt(1023, 767), 0u);
}

TEST_F(VideoTest, PresentOfEqualSizesIsAPlainCopy) {
  display->desktop = {640, 480, 16};
  ASSERT_EQ(CreateVideo(), 0);
  FakeDisplay::Of(video->Secondary())->SetPixel(639, 479, 0x1234);
  video->Present();
  EXPECT_EQ(display->ScreenAt(639, 479), 0x1234u);
  EXPECT_EQ(display->ScreenAt(638, 479), 0u);
}

TEST_F(VideoTest, WindowedPresentPlacesTheBufferAtTheClientArea) {
  display->clientX = 100;
  display->clientY = 50;
  ASSERT_EQ(CreateVideo(0), 0);
  video->Present();
  EXPECT_EQ((std::vector<int>{display->lastPresentDestination.left, display->lastPresentDestination.top,
                              display->lastPresentDestination.right, display->lastPresentDestination.bottom}),
            (std::vector<int>{100, 50, 740, 530}));
}

TEST_F(VideoTest, PresentDoesNothingWhileSuspended) {
  ASSERT_EQ(CreateVideo(), 0);
  video->Suspend();
  video->Present();
  EXPECT_EQ(display->CallCount("PresentBlt"), 0);
  video->Resume();
  video->Present();
  EXPECT_EQ(display->CallCount("PresentBlt"), 1);
}

TEST_F(VideoTest, PresentRestoresAfterALostPrimary) {
  ASSERT_EQ(CreateVideo(), 0);
  display->presentLost = true;
  FakeDisplay::Of(video->Primary())->lost = true;
  video->Present();
  EXPECT_EQ(FakeDisplay::Of(video->Primary())->restoreCount, 1);
  EXPECT_EQ(report->WarningCount(), 0);
}

TEST_F(VideoTest, PresentWaitsForThePreviousBlit) {
  ASSERT_EQ(CreateVideo(), 0);
  display->stillDrawingPolls = 2;
  display->calls.clear();
  video->Present();
  EXPECT_EQ(display->calls,
            (std::vector<std::string>{"GetBltStatus", "GetBltStatus", "GetBltStatus", "PresentBlt"}));
}

}  // namespace
}  // namespace sylvora
