// Drawing only what changed, on the fake renderer: which areas a frame draws again and shows, and when it
// draws and shows the whole output instead.
#include "video/retained_render_device.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/doubles/video/fake_render_device.h"

namespace sylvora {

bool operator==(const SurfaceRect& one, const SurfaceRect& other) {
  return one.left == other.left && one.top == other.top && one.right == other.right && one.bottom == other.bottom;
}

namespace {

class RetainedRenderDeviceTest : public ::testing::Test {
 protected:
  RetainedRenderDeviceTest() {
    auto inner = std::make_unique<FakeRenderDevice>();
    fake = inner.get();
    fake->keepsOutput = true;
    fake->outputWidth = 100;
    fake->outputHeight = 80;
    device = CreateRetainedRenderDevice(std::move(inner));
    EXPECT_TRUE(device->Open(nullptr));
    ground = device->CreateTexture(100, 80, false);
    bird = device->CreateTexture(8, 8, true);
  }

  // A clear, the ground, then each bird at its left edge, and a present.
  void Frame(const std::vector<float>& birds) {
    ASSERT_TRUE(device->Clear());
    ASSERT_TRUE(device->Copy(ground, {0, 0, 100, 80}, {0, 0, 100, 80}));
    for (const float left : birds) ASSERT_TRUE(device->Copy(bird, {0, 0, 8, 8}, {left, 10, left + 8, 18}));
    ASSERT_TRUE(device->Present());
  }

  // The textures the last present drew (0 for a black fill), each with its clip.
  std::vector<std::pair<int, SurfaceRect>> Drawn() const {
    std::vector<std::pair<int, SurfaceRect>> drawn;
    for (const FakeCopy& copy : fake->presented) drawn.emplace_back(copy.texture, copy.clip.value_or(SurfaceRect{}));
    return drawn;
  }

  FakeRenderDevice* fake = nullptr;
  std::unique_ptr<RenderDevice> device;
  int ground = 0;
  int bird = 0;
};

TEST_F(RetainedRenderDeviceTest, OnlyTheAreasOfWhatChangedAreDrawnAgainAndShown) {
  Frame({10});
  EXPECT_EQ(fake->wholePresents, 1);  // the first frame has nothing before it
  EXPECT_EQ(fake->clears, 1);
  EXPECT_EQ(fake->presented.size(), 2u);

  // The bird moved two pixels: where it was and is, drawn again from the black up, and shown.
  Frame({12});
  const SurfaceRect moved{10, 10, 20, 18};
  EXPECT_EQ(fake->wholePresents, 1);
  EXPECT_EQ(fake->shownAreas, std::vector<SurfaceRect>{moved});
  EXPECT_EQ(Drawn(), (std::vector<std::pair<int, SurfaceRect>>{{0, moved}, {ground, moved}, {bird, {12, 10, 20, 18}}}));

  // Nothing changed: nothing drawn or shown, but the frame is presented.
  const int presents = fake->presents;
  Frame({12});
  EXPECT_EQ(fake->presents, presents + 1);
  EXPECT_TRUE(fake->shownAreas.empty());
  EXPECT_TRUE(fake->presented.empty());

  // Its pixels replaced, the bird is drawn again where it stood, in full; then only where its new picture
  // is not clear (a 4 x 4 middle) are its moves drawn. A second one comes and a far one goes, each area
  // apart.
  std::vector<uint32_t> middle(64);
  for (const int row : {2, 3, 4, 5}) std::fill_n(middle.begin() + row * 8 + 2, 4, 0xFF102030u);
  ASSERT_TRUE(device->UploadTexture(bird, middle.data(), 8));
  Frame({12});
  EXPECT_EQ(fake->shownAreas, std::vector<SurfaceRect>{(SurfaceRect{12, 10, 20, 18})});
  Frame({13});
  EXPECT_EQ(fake->shownAreas, std::vector<SurfaceRect>{(SurfaceRect{14, 12, 19, 16})});
  Frame({12});
  Frame({12, 70});
  EXPECT_EQ(fake->shownAreas, std::vector<SurfaceRect>{(SurfaceRect{72, 12, 76, 16})});
  Frame({12});
  EXPECT_EQ(fake->shownAreas, std::vector<SurfaceRect>{(SurfaceRect{72, 12, 76, 16})});
  EXPECT_EQ(fake->wholePresents, 1);

  // The window lost what it showed, or the output changed size: whole again.
  fake->outputLost = true;
  Frame({12});
  EXPECT_EQ(fake->wholePresents, 2);
  fake->outputHeight = 90;
  Frame({12});
  EXPECT_EQ(fake->wholePresents, 3);
}

TEST_F(RetainedRenderDeviceTest, FramesThatCannotBeHeldAgainstTheOneBeforeAreDrawnWhole) {
  Frame({10});
  // A copy that scales, or lies between pixels: a cut could move its edges.
  ASSERT_TRUE(device->Copy(bird, {0, 0, 8, 8}, {0, 0, 16, 16}));
  Frame({10});
  Frame({10.5f});
  EXPECT_EQ(fake->wholePresents, 3);
  // More draws than a frame holds: those past the table go straight through, and all are shown.
  ASSERT_TRUE(device->Clear());
  for (int index = 0; index < kMaxFrameDraws + 5; ++index) ASSERT_TRUE(device->Copy(bird, {0, 0, 8, 8}, {0, 0, 8, 8}));
  ASSERT_TRUE(device->Present());
  EXPECT_EQ(fake->wholePresents, 4);
  EXPECT_EQ(fake->presented.size(), static_cast<size_t>(kMaxFrameDraws + 5));  // all after the clear
  // On a renderer that does not keep its output, every call goes straight through.
  auto inner = std::make_unique<FakeRenderDevice>();
  FakeRenderDevice* passing = inner.get();
  const std::unique_ptr<RenderDevice> straight = CreateRetainedRenderDevice(std::move(inner));
  ASSERT_TRUE(straight->Open(nullptr));
  ASSERT_TRUE(straight->Copy(straight->CreateTexture(8, 8, true), {0, 0, 8, 8}, {0, 0, 8, 8}));
  EXPECT_EQ(passing->copies.size(), 1u);
}

}  // namespace
}  // namespace sylvora
