// Motion on a display that draws between frame pixels, at 1920 x 1080 and 62.5 frames a second: the
// slowest sky glides by less than an output pixel a frame, stitched without a gap up to the right edge,
// and a glider is drawn where its fractional position says, never a step back.
#include <algorithm>
#include <vector>

#include "nature/scene_catalogue.h"
#include "nature/scene_manager.h"
#include "tests/nature/native_scene.h"

namespace sylvora {
namespace {

constexpr uint32_t kFrameMs = 16;
// The fake renderer's 1920 x 1080 output: the frame is scaled by its height and the scene centred.
constexpr float kOutputPerFramePixel = 1080.0f / 480;
constexpr float kOutputMiddle = 1920.0f / 2;
constexpr int kPanoramaHalf = 640;  // the test sky's width: its panorama is 1280 columns

class SubPixelMotionTest : public NativeSceneTest {
 protected:
  SubPixelMotionTest() { StartNative(1920, 1080); }

  // Starts scene showing only what a test puts there: no layers, no creature ever spawned.
  void StartEmptyScene(int scene, bool keepSky) {
    scenes_->Start(scene);
    NatureTheme& theme = scenes_->theme;
    theme.back0.enabled = theme.back1.enabled = theme.back2.enabled = 0;
    theme.sky.enabled = keepSky ? 1 : 0;
    for (CreatureSet* set : theme.sets) set->spawnTimer.Set(kNever, 1);
  }

  std::vector<FakeCopy> NextFrame() { return NativeSceneTest::NextFrame(kFrameMs); }
};

// The scene column shown at output column x.
double SceneColumnAt(double x) { return (x - kOutputMiddle) / kOutputPerFramePixel + 320; }

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
      const double start = PanoramaColumn(copies[0], theme.skyBand) - SceneColumnAt(copies[0].to.left);
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
    EXPECT_NEAR(SceneColumnAt(left), glider.x, 1e-3);
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
