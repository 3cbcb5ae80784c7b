// The native path pinned to the classic one: every scene, with its sky across the panorama's seam and
// creatures cut at the screen's edges, drawn by both; the native frame, 1920 x 1440 from SDL's own
// software renderer, box-filtered down to 640 x 480, is the classic frame. The twins are the pictures
// with each pixel made a 3 x 3 square, so any difference is the path's: layer order, keyed holes,
// clipping, the sky's stitching, a picture's twin drawn where the picture belongs.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "nature/scene_catalogue.h"
#include "nature/scene_manager.h"
#include "tests/doubles/video/fake_display.h"
#include "tests/doubles/video/fake_jpeg.h"
#include "tests/nature/nature_fixture.h"
#include "tests/nature/scene_content.h"
#include "video/display_native.h"
#include "video/render_device_sdl.h"
#include "video/video_system.h"

namespace sylvora {
namespace {

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;
constexpr int kScale = 3;
// At three times the frame's size every copy is 1:1, so no filter blurs an edge, and a kept pixel's
// alpha is whole: every pixel comes out exactly equal (measured on all eighteen frames), and so must.
constexpr int kTolerance = 0;

class NativeEquivalenceTest : public NatureTest {
 protected:
  // The archive is on disk: memory files are copied whole at every open, and the twins make it large.
  NativeEquivalenceTest()
      : install_(std::filesystem::temp_directory_path() / ("sylvora-equivalence-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(install_);
    EXPECT_TRUE(WriteSceneTestArchive(install_.string() + "/", true));
  }
  ~NativeEquivalenceTest() override { std::filesystem::remove_all(install_); }

  // Scene drawn on a fresh video object over display: its sky at position, a glider cut at the left
  // edge and butterflies at the right and bottom edges where the scene has them.
  void DrawScene(std::unique_ptr<DisplayLayer> display, int scene, double skyPosition, bool highResolution) {
    options_ = Options{};
    layers_ = LayerTable{};
    options_.background_animation = 0;
    video_ = std::make_unique<VideoSystem>(ownedReport_.get(), std::move(display), std::make_unique<FakeJpegDecoder>());
    CreateArgs args;
    args.depth = 32;
    args.resourcePath = install_.string() + "/";
    args.highResolution = highResolution ? 1 : 0;
    ASSERT_EQ(video_->Create(args), 0);
    BuildScenes(video_.get());
    ASSERT_EQ(scenes_->LoadSharedPictures(), 0);
    scenes_->Start(scene);
    scenes_->theme.skyPosition = skyPosition;
    PlaceCreatures();
    video_->ClearSurface(SurfaceSecondary);
    scenes_->Draw();
  }

  void PlaceCreatures() {
    NatureTheme& theme = scenes_->theme;
    if (theme.glidersFar.variantCount > 0) LoneGlider(theme.glidersFar, 100, 1, -12, 150).frame = 3;
    if (theme.butterfliesSmall.variantCount > 0) CruisingButterfly(theme.butterfliesSmall, 0, 630, 300).frame = 2;
    if (theme.butterfliesLarge.variantCount > 0) CruisingButterfly(theme.butterfliesLarge, 0, 320, 470).frame = 5;
  }

  // The classic frame: the secondary buffer, 0xRRGGBB a pixel.
  std::vector<uint32_t> ClassicFrame(int scene, double skyPosition) {
    auto display = std::make_unique<FakeDisplay>();
    display->redMask = 0xFF0000;
    display->greenMask = 0x00FF00;
    display->blueMask = 0x0000FF;
    display->desktop = {kFrameWidth, kFrameHeight, 32};
    DrawScene(std::move(display), scene, skyPosition, false);
    std::vector<uint32_t> frame;
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x) frame.push_back(FakeDisplay::Of(video_->Secondary())->PixelAt(x, y) & 0xFFFFFF);
    }
    return frame;
  }

  // The native frame at three times the frame's size, each 3 x 3 square averaged per channel.
  std::vector<uint32_t> NativeFrameBoxFiltered(int scene, double skyPosition) {
    std::vector<uint32_t> shown;
    DrawScene(CreateNativeDisplayLayer(std::make_unique<FakeDisplay>(),
                                       CreateSdlMemoryRenderDevice(kScale * kFrameWidth, kScale * kFrameHeight, &shown)),
              scene, skyPosition, true);
    video_->Present();
    std::vector<uint32_t> frame;
    if (shown.size() != static_cast<size_t>(kScale * kScale) * kFrameWidth * kFrameHeight) return frame;
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x) frame.push_back(BoxAverage(shown, x, y));
    }
    return frame;
  }

  static uint32_t BoxAverage(const std::vector<uint32_t>& shown, int x, int y) {
    uint32_t average = 0;
    for (int shift : {16, 8, 0}) {
      int sum = 0;
      for (int dy = 0; dy < kScale; ++dy) {
        for (int dx = 0; dx < kScale; ++dx) {
          sum += shown[static_cast<size_t>(y * kScale + dy) * kScale * kFrameWidth + x * kScale + dx] >> shift & 0xFF;
        }
      }
      average |= static_cast<uint32_t>((sum + kScale * kScale / 2) / (kScale * kScale)) << shift;
    }
    return average;
  }

  std::filesystem::path install_;
  std::unique_ptr<VideoSystem> video_;
};

int ChannelDistance(uint32_t a, uint32_t b) {
  int largest = 0;
  for (int shift : {16, 8, 0}) largest = std::max(largest, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
  return largest;
}

TEST_F(NativeEquivalenceTest, EverySceneBoxFiltersDownToTheClassicFrame) {
  for (int scene = 0; scene < kSceneCount; ++scene) {
    for (const double skyPosition : {0.0, 420.0, 1000.0}) {
      SCOPED_TRACE(testing::Message() << "scene " << scene << ", sky at " << skyPosition);
      const std::vector<uint32_t> classic = ClassicFrame(scene, skyPosition);
      const std::vector<uint32_t> native = NativeFrameBoxFiltered(scene, skyPosition);
      ASSERT_EQ(native.size(), classic.size());
      int worst = 0, worstAt = 0;
      for (size_t i = 0; i < classic.size(); ++i) {
        const int distance = ChannelDistance(classic[i], native[i]);
        if (distance > worst) std::tie(worst, worstAt) = std::make_tuple(distance, static_cast<int>(i));
      }
      EXPECT_LE(worst, kTolerance) << "at (" << worstAt % kFrameWidth << ", " << worstAt / kFrameWidth << "): classic "
                                   << std::hex << classic[worstAt] << ", native " << native[worstAt];
    }
  }
}

}  // namespace
}  // namespace sylvora
