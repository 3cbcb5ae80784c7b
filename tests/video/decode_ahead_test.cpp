// Pictures decoded ahead: what the loader takes must be exactly what it would have decoded itself, a
// header beyond the limits must not be decoded (nor its pixels allocated), and whatever fails ahead
// must reach the loader, which decodes and reports as before.
#include "video/decode_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "tests/doubles/video/fake_jpeg.h"
#include "tests/video/video_test_support.h"

namespace sylvora {
namespace {

constexpr int kMaxSide = 16384;
constexpr int64_t kMaxPixels = 5600 * 2400;

std::unique_ptr<uint8_t[]> BytesOf(const std::string& text) {
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[text.size()]);
  std::memcpy(bytes.get(), text.data(), text.size());
  return bytes;
}

TEST(DecodeAheadTest, TakesWhatDecodedAndLeavesTheRestToTheLoader) {
  struct Case {
    const char* what;
    std::string bytes;
    bool taken;
    bool imageRead;  // whether the worker's decoder was asked for pixels
  };
  const Case cases[] = {
      {"a picture", MakeFakeJpeg(2, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), true, true},
      {"a side past the limit", MakeFakeJpeg(kMaxSide + 1, 1, {}), false, false},
      {"more pixels than the budget", MakeFakeJpeg(5601, 2400, {}), false, false},
      {"pixels missing", MakeFakeJpeg(4, 4, {1, 2, 3}), false, true},
      {"not a picture", "garbage, not a picture at all", false, false},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.what);
    auto owned = std::make_unique<FakeJpegDecoder>();
    FakeJpegDecoder* decoder = owned.get();
    DecodeAhead ahead(std::move(owned), kMaxSide, kMaxPixels, PixelRows::BottomUpBgr);
    ahead.Expect(7, BytesOf(each.bytes), each.bytes.size(), 0);
    EXPECT_TRUE(ahead.Expects(7));
    PictureBuffer picture;
    EXPECT_FALSE(ahead.Take(8, 0, picture)) << "an entry never expected";
    EXPECT_EQ(ahead.Take(7, 0, picture), each.taken);
    EXPECT_FALSE(ahead.Expects(7)) << "taken or not, the slot is free again";
    EXPECT_EQ(std::count(decoder->calls.begin(), decoder->calls.end(), "ReadImage"), each.imageRead ? 1 : 0);
    EXPECT_EQ(decoder->initialised, 0) << "every decode is ended";
    if (!each.taken) continue;
    // Bottom row first, rows padded to 8 bytes: the loader's own layout.
    ASSERT_EQ(picture.byteCount, 16u);
    const uint8_t* pixels = picture.Bytes();
    EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 6), (std::vector<uint8_t>{7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(std::vector<uint8_t>(pixels + 8, pixels + 14), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(picture.width, 2);
    EXPECT_EQ(picture.height, 2);
  }
}

// For a display that takes pixels whole the worker makes them as the surface keeps them, and it makes
// the near-blacks black as the loader asked when it named the picture; a load asking another limit
// gets nothing, and decodes for itself.
TEST(DecodeAheadTest, DecodesInTheDisplaysLayoutBlackenedAtTheLimitNamed) {
  const std::string bytes = MakeFakeJpeg(2, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  DecodeAhead ahead(std::make_unique<FakeJpegDecoder>(), kMaxSide, kMaxPixels, PixelRows::TopDownBgrx);
  ahead.Expect(7, BytesOf(bytes), bytes.size(), 25);
  ahead.Expect(9, BytesOf(bytes), bytes.size(), 25);
  PictureBuffer picture;
  ASSERT_TRUE(ahead.Take(7, 25, picture));
  ASSERT_EQ(picture.byteCount, 16u);
  EXPECT_EQ(std::vector<uint32_t>(picture.pixels.get(), picture.pixels.get() + 4),
            (std::vector<uint32_t>{0xFF000000, 0xFF000000, 0xFF000000, 0xFF0C0B0A}))
      << "top row first, the sums 6, 15 and 24 under 25 made black";
  EXPECT_EQ(picture.blackLimit, 25);
  EXPECT_FALSE(ahead.Take(9, 24, picture));
  EXPECT_FALSE(ahead.Expects(9));
}

class DecodeAheadLoaderTest : public VideoTest {
 protected:
  void SetUp() override {
    PutArchive({{kBmpPicture, "bmp_pic", MakeSolidBmp(2, 2, 0, 0, 255)},
                {kJpegPicture, "jpg_pic", MakeFakeJpeg(2, 2, SolidPixels(2, 2, 255, 0, 0))},
                {kJpegPicture, "dim", MakeFakeJpeg(1, 1, {10, 10, 10})}});
    ASSERT_EQ(CreateVideo(1, 16, 1), 0);
  }
  const std::vector<std::string> named_{"jpg_pic", "bmp_pic", "not_in_the_archive"};
  const std::vector<int> unkeyed_{kNotKeyed, kNotKeyed, kNotKeyed};
};

TEST_F(DecodeAheadLoaderTest, TheLoaderTakesThePixelsDecodedAheadWithoutDecoding) {
  video->ExpectPictures(named_, unkeyed_);
  int handle = -1;
  ASSERT_EQ(video->CreateSurfaceB("jpg_pic", 1, handle, SurfaceAnySlot), 0);
  EXPECT_EQ(FakeDisplay::Of(video->Surfaces().slots[handle].surface)->PixelAt(1, 1), 0x001Fu);
  EXPECT_EQ(std::count(jpeg->calls.begin(), jpeg->calls.end(), "ReadHeader"), 0)
      << "the loader decoded a picture decoded ahead";
  ASSERT_EQ(video->CreateSurfaceB("bmp_pic", 1, handle, SurfaceAnySlot), 0);
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(DecodeAheadLoaderTest, AFailureAheadIsTheLoadersToReport) {
  jpeg->imageFails = true;
  video->ExpectPictures(named_, unkeyed_);
  int handle = -1;
  EXPECT_EQ(video->CreateSurfaceB("jpg_pic", 1, handle, SurfaceAnySlot), 2);
  const std::vector<std::string> texts = Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(texts.end() - 2, texts.end()),
            (std::vector<std::string>{"jpg was not readed", "jpg graph object <jpg_pic> was not loaded"}));
}

// A keyed picture is blackened ahead at the threshold it was named with; loaded at another, or without
// a key, it is decoded again rather than shown blackened at the wrong limit.
TEST_F(DecodeAheadLoaderTest, APictureLoadedAtTheThresholdItWasNamedWithIsNotDecodedAgain) {
  struct Case {
    int named;
    int loaded;  // kNotKeyed: loaded by CreateSurfaceB
    int decodesByTheLoader;
    uint32_t pixel;  // RGB565
  };
  const Case cases[] = {{40, 40, 0, 0x0000}, {20, 40, 1, 0x0000}, {40, 20, 1, 0x0841}, {40, kNotKeyed, 1, 0x0841}};
  for (const Case& each : cases) {
    SCOPED_TRACE(::testing::Message() << each.named << " then " << each.loaded);
    jpeg->calls.clear();
    video->ExpectPictures(std::vector<std::string>{"dim"}, std::vector<int>{each.named});
    int handle = -1;
    ASSERT_EQ(each.loaded == kNotKeyed
                  ? video->CreateSurfaceB("dim", 1, handle, SurfaceAnySlot)
                  : video->CreateSurfaceA("dim", 1, 0, handle, SurfaceAnySlot, static_cast<uint8_t>(each.loaded)),
              0);
    EXPECT_EQ(std::count(jpeg->calls.begin(), jpeg->calls.end(), "ReadImage"), each.decodesByTheLoader);
    EXPECT_EQ(FakeDisplay::Of(video->Surfaces().slots[handle].surface)->PixelAt(0, 0), each.pixel);
    video->DeleteSurface(handle);
  }
}

}  // namespace
}  // namespace sylvora
