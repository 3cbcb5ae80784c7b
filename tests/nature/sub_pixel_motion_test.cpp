// Motion on a display that draws between frame pixels, at 1920 x 1080 and 62.5 frames a second: the
// slowest sky glides by less than an output pixel a frame, stitched without a gap up to the right edge,
// and a glider is drawn where its fractional position says, never a step back.
#include <algorithm>
#include <vector>

#include "nature/scene_catalogue.h"
#include "nature/scene_manager.h"
#include "tests/doubles/memory_files.h"
#include "tests/doubles/video/fake_display.h"
#include "tests/doubles/video/fake_jpeg.h"
#include "tests/doubles/video/fake_render_device.h"
#include "tests/nature/nature_fixture.h"
#include "tests/nature/scene_content.h"
#include "video/display_native.h"
#include "video/video_system.h"

namespace sylvora {
namespace {

constexpr uint32_t kFrameMs = 16;
constexpr float kOutputPerFramePixel = 1920.0f / 640;
constexpr int kPanoramaHalf = 640;  // the test sky's width: its panorama is 1280 columns

class SubPixelMotionTest : public NatureTest {
 protected:
  SubPixelMotionTest() : scopedFiles_(files_) {
    EXPECT_TRUE(WriteSceneTestArchive("/install"));
    auto render = std::make_unique<FakeRenderDevice>();
    render_ = render.get();
    video_ = std::make_unique<VideoSystem>(ownedReport_.get(),
                                           CreateNativeDisplayLayer(std::make_unique<FakeDisplay>(), std::move(render)),
                                           std::make_unique<FakeJpegDecoder>());
    CreateArgs args;
    args.depth = 32;
    args.resourcePath = "/install/";
    EXPECT_EQ(video_->Create(args), 0);
    BuildScenes(video_.get());
    EXPECT_EQ(scenes_->LoadSharedPictures(), 0);
  }

  // Starts scene showing only what a test puts there: no layers, no creature ever spawned.
  void StartEmptyScene(int scene, bool keepSky) {
    scenes_->Start(scene);
    NatureTheme& theme = scenes_->theme;
    theme.back0.enabled = theme.back1.enabled = theme.back2.enabled = 0;
    theme.sky.enabled = keepSky ? 1 : 0;
    for (CreatureSet* set : theme.sets) set->spawnTimer.Set(kNever, 1);
  }

  // One frame later: the theme updated, drawn and presented; the copies it showed, left to right.
  std::vector<FakeCopy> NextFrame() {
    clock_.Advance(kFrameMs);
    scenes_->theme.Update();
    video_->ClearSurface(SurfaceSecondary);
    scenes_->Draw();
    video_->Present();
    std::vector<FakeCopy> copies = render_->presented;
    std::sort(copies.begin(), copies.end(), [](const FakeCopy& a, const FakeCopy& b) { return a.to.left < b.to.left; });
    return copies;
  }

  MemoryFileSystem files_;
  ScopedFileSystem scopedFiles_;
  FakeRenderDevice* render_ = nullptr;
  std::unique_ptr<VideoSystem> video_;
};

// The panorama column a sky copy starts at, and where the window it belongs to starts, in frame pixels.
double PanoramaColumn(const FakeCopy& copy, int band) {
  return copy.from.left + (copy.from.top >= band ? kPanoramaHalf : 0);
}

TEST_F(SubPixelMotionTest, TheSlowestSkyGlidesLessThanAnOutputPixelAFrameAndFillsTheBandToTheEdge) {
  options_.speed_of_sky = 1;
  for (const int wind : {-30, 30}) {
    SCOPED_TRACE(wind);
    StartEmptyScene(3, true);
    NatureTheme& theme = scenes_->theme;
    theme.wind = wind;  // the weakest wind, with the slowest speed mode
    theme.skyRate = 30 * theme.skySpeedFactor;
    theme.skyPosition = 639.5;  // the seam of the panorama's halves is in view
    double lastStart = -1;
    for (int frame = 0; frame < 200; ++frame) {
      const std::vector<FakeCopy> copies = NextFrame();
      ASSERT_GE(copies.size(), 2u);
      // The window's start: the first copy's column, less the part of it left of the output.
      const double start = PanoramaColumn(copies[0], theme.skyBand) - copies[0].to.left / kOutputPerFramePixel;
      EXPECT_NEAR(start, theme.skyPosition, 1e-3);
      if (lastStart >= 0) {
        const double step = (start - lastStart) * (wind < 0 ? 1 : -1) * kOutputPerFramePixel;
        EXPECT_GT(step, 0.0);
        EXPECT_LT(step, 1.0);
      }
      lastStart = start;
      // Each copy goes on where the one before it ended, on the output and in the panorama.
      EXPECT_LE(copies[0].to.left, 0.0f);
      for (size_t next = 1; next < copies.size(); ++next) {
        const FakeCopy& before = copies[next - 1];
        EXPECT_NEAR(copies[next].to.left, before.to.right, 1e-3);
        const double beforeEnd = PanoramaColumn(before, theme.skyBand) + (before.from.right - before.from.left);
        EXPECT_EQ(static_cast<int>(PanoramaColumn(copies[next], theme.skyBand)), static_cast<int>(beforeEnd) % 1280);
      }
      EXPECT_GE(copies.back().to.right, 1920.0f);
    }
  }
}

TEST_F(SubPixelMotionTest, AGliderIsDrawnAtItsFractionalPositionAndNeverStepsBack) {
  StartEmptyScene(0, false);
  Glider& glider = LoneGlider(scenes_->theme.glidersFar, 100, 1, 100, 200);
  glider.speed = 0.25;  // the slowest far glider, flying right and level
  glider.targetTilt = glider.tilt = 5;
  float lastLeft = 0;
  int betweenFramePixels = 0;
  for (int frame = 0; frame < 60; ++frame) {
    const std::vector<FakeCopy> copies = NextFrame();
    ASSERT_EQ(copies.size(), 1u);
    const float left = copies[0].to.left;
    EXPECT_NEAR(left, glider.x * kOutputPerFramePixel, 1e-3);
    EXPECT_NEAR(copies[0].to.top, glider.y * (1080.0f / 480), 1e-3);
    if (frame > 0) {
      EXPECT_GT(left, lastLeft);
    }
    lastLeft = left;
    if (glider.x != static_cast<int>(glider.x)) ++betweenFramePixels;
  }
  EXPECT_GT(betweenFramePixels, 30);
}

}  // namespace
}  // namespace sylvora
