// The scene manager: fixed and random views, the change interval, pausing and resuming.
#include <cmath>

#include "tests/nature/nature_fixture.h"

namespace sylvora {
namespace {

using SceneManagerTest = NatureTest;

// Runs the scene manager's update once per step ms for duration ms.
void RunScenes(SceneManager& scenes, FakeClock& clock, uint32_t duration, uint32_t step) {
  for (uint32_t elapsed = 0; elapsed < duration; elapsed += step) {
    clock.Advance(step);
    scenes.Update();
  }
}

TEST_F(SceneManagerTest, StartSwitchesLayerOneOnAndConfiguresTheScene) {
  scenes_->Start(3);
  const Layer& layer = layers_.layers[LayerTable::kSceneLayer];
  EXPECT_EQ(layer.active, 1);
  EXPECT_EQ(layer.updating, 1);
  EXPECT_EQ(layer.drawing, 1);
  EXPECT_EQ(scenes_->currentScene, 3);
  EXPECT_EQ(scenes_->theme.back0.sprite.y, 280);
  EXPECT_EQ(scenes_->theme.skyBand, 280);
  scenes_->Stop();
  EXPECT_EQ(layer.active + layer.updating + layer.drawing, 0);
}

TEST_F(SceneManagerTest, AFixedViewNeverChanges) {
  options_.nature_view = 5;
  options_.nature_change_freq = 60000;
  scenes_->lastSceneChange = clock_.Milliseconds();
  scenes_->Start(5);
  RunScenes(*scenes_, clock_, 10 * 60 * 1000, 500);
  EXPECT_EQ(scenes_->currentScene, 5);
}

TEST_F(SceneManagerTest, RandomlyWithZeroNeverChanges) {
  options_.nature_change_freq = 0;
  scenes_->lastSceneChange = clock_.Milliseconds();
  scenes_->Start(2);
  RunScenes(*scenes_, clock_, 30 * 60 * 1000, 1000);
  EXPECT_EQ(scenes_->currentScene, 2);
}

TEST_F(SceneManagerTest, RandomlyChangesOnTheFirstFrameAfterTheIntervalAndNeverToTheSameScene) {
  options_.nature_change_freq = 60000;
  for (int change = 0; change < 30; ++change) {
    scenes_->lastSceneChange = clock_.Milliseconds();
    const uint32_t start = scenes_->lastSceneChange;
    if (change == 0) scenes_->Start(1);
    const int before = scenes_->currentScene;
    clock_.Set(start + 60000);
    scenes_->Update();
    ASSERT_EQ(scenes_->currentScene, before) << "exactly the interval is not enough";
    clock_.Set(start + 60001);
    scenes_->Update();
    ASSERT_NE(scenes_->currentScene, before);
    EXPECT_EQ(scenes_->lastSceneChange, start + 60001);
  }
}

TEST_F(SceneManagerTest, APauseDoesNotStopTheChangeClock) {
  options_.nature_change_freq = 60000;
  scenes_->lastSceneChange = clock_.Milliseconds();
  const uint32_t start = scenes_->lastSceneChange;
  scenes_->Start(0);
  RunScenes(*scenes_, clock_, 20000, 100);
  scenes_->Pause(1);
  clock_.Advance(30000);  // inactive: no frames
  scenes_->Resume(1);
  RunScenes(*scenes_, clock_, 100, 100);
  EXPECT_EQ(scenes_->currentScene, 0);
  clock_.Set(start + 60001);
  scenes_->Update();
  EXPECT_NE(scenes_->currentScene, 0);
}

TEST_F(SceneManagerTest, AResumeWithAnotherReasonLeavesTheScenePaused) {
  scenes_->Start(0);
  const uint32_t pausedAt = clock_.Milliseconds();
  scenes_->Pause(1);
  clock_.Advance(500);
  scenes_->Pause(2);  // ignored: the first pause stays
  EXPECT_EQ(scenes_->scenePause.reason, 1);
  EXPECT_EQ(scenes_->scenePause.start, pausedAt);
  scenes_->Resume(2);
  EXPECT_EQ(scenes_->scenePause.paused, 1);
  const uint32_t skyClock = scenes_->theme.skyClock;
  clock_.Advance(500);
  scenes_->Resume(1);
  EXPECT_EQ(scenes_->scenePause.paused, 0);
  EXPECT_EQ(scenes_->scenePause.reason, 0);
  EXPECT_EQ(scenes_->theme.skyClock, skyClock + 1000);
}

TEST_F(SceneManagerTest, ATenSecondPauseResumesEveryClockWhereItStopped) {
  options_.background_animation = 3;
  scenes_->Start(0);
  RunScenes(*scenes_, clock_, 20000, 20);
  // Something must be alive for the test to mean anything; fill in a butterfly if none came.
  ButterflySet& set = scenes_->theme.butterfliesLarge;
  if (!set.slots[0].active) {
    set.slots[0].active = 1;
    set.slots[0].x = 300;
    set.slots[0].y = 200;
    set.slots[0].speed = 0.15;
    set.slots[0].frameCount = 8;
    set.slots[0].moveClock = set.slots[0].animationClock = clock_.Milliseconds();
  }
  const double sky = scenes_->theme.skyPosition;
  const Butterfly before = set.slots[0];
  scenes_->Pause(1);
  clock_.Advance(10000);
  scenes_->Resume(1);
  scenes_->theme.Update();  // no time has passed for the scene
  EXPECT_EQ(scenes_->theme.skyPosition, sky);
  EXPECT_EQ(set.slots[0].x, before.x);
  EXPECT_EQ(set.slots[0].y, before.y);
  EXPECT_EQ(set.slots[0].frame, before.frame);
  clock_.Advance(20);
  scenes_->theme.Update();
  EXPECT_NEAR(scenes_->theme.skyPosition, sky + (scenes_->theme.wind < 0 ? 20 : -20) * scenes_->theme.skyRate, 1e-9);
  const double moved = std::hypot(set.slots[0].x - before.x, set.slots[0].y - before.y);
  EXPECT_NEAR(moved, 20 * before.speed, 1e-9);
}

TEST_F(SceneManagerTest, EveryChangeReloadsThePicturesAndEmptiesEverySet) {
  options_.nature_change_freq = 1000;
  options_.background_animation = 3;
  scenes_->lastSceneChange = clock_.Milliseconds();
  scenes_->Start(0);
  scenes_->theme.glidersNear.group.active = 1;
  scenes_->theme.butterfliesSmall.slots[4].active = 1;
  clock_.Advance(1001);
  scenes_->Update();
  ASSERT_NE(scenes_->currentScene, 0);
  EXPECT_EQ(scenes_->theme.glidersNear.group.active, 0);
  EXPECT_EQ(scenes_->theme.butterfliesSmall.slots[4].active, 0);
  EXPECT_EQ(scenes_->theme.skyPosition, 0.0);
  EXPECT_EQ(scenes_->scenePictures.loaded, 1);
}

}  // namespace
}  // namespace sylvora
