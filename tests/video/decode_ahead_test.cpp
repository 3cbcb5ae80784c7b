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
    DecodeAhead ahead(std::move(owned), kMaxSide, kMaxPixels);
    ahead.Expect(7, BytesOf(each.bytes), each.bytes.size());
    EXPECT_TRUE(ahead.Expects(7));
    std::unique_ptr<uint8_t[]> pixels;
    size_t count = 0;
    int width = 0, height = 0;
    EXPECT_FALSE(ahead.Take(8, pixels, count, width, height)) << "an entry never expected";
    EXPECT_EQ(ahead.Take(7, pixels, count, width, height), each.taken);
    EXPECT_FALSE(ahead.Expects(7)) << "taken or not, the slot is free again";
    EXPECT_EQ(std::count(decoder->calls.begin(), decoder->calls.end(), "ReadImage"), each.imageRead ? 1 : 0);
    EXPECT_EQ(decoder->initialised, 0) << "every decode is ended";
    if (!each.taken) continue;
    // Bottom row first, rows padded to 8 bytes: the loader's own layout.
    ASSERT_EQ(count, 16u);
    EXPECT_EQ(std::vector<uint8_t>(pixels.get(), pixels.get() + 6), (std::vector<uint8_t>{7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(std::vector<uint8_t>(pixels.get() + 8, pixels.get() + 14), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
  }
}

class DecodeAheadLoaderTest : public VideoTest {
 protected:
  void SetUp() override {
    PutArchive({{kBmpPicture, "bmp_pic", MakeSolidBmp(2, 2, 0, 0, 255)},
                {kJpegPicture, "jpg_pic", MakeFakeJpeg(2, 2, SolidPixels(2, 2, 255, 0, 0))}});
    ASSERT_EQ(CreateVideo(1, 16, 1), 0);
  }
  const std::vector<std::string> named_{"jpg_pic", "bmp_pic", "not_in_the_archive"};
};

TEST_F(DecodeAheadLoaderTest, TheLoaderTakesThePixelsDecodedAheadWithoutDecoding) {
  video->ExpectPictures(named_);
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
  video->ExpectPictures(named_);
  int handle = -1;
  EXPECT_EQ(video->CreateSurfaceB("jpg_pic", 1, handle, SurfaceAnySlot), 2);
  const std::vector<std::string> texts = Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(texts.end() - 2, texts.end()),
            (std::vector<std::string>{"jpg was not readed", "jpg graph object <jpg_pic> was not loaded"}));
}

}  // namespace
}  // namespace sylvora
