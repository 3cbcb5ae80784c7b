// The scene manager: fixed and random views, the change interval, pausing and resuming.
#include <cmath>

#include "tests/nature/nature_fixture.h"

namespace sylvora {
namespace {

using SceneManagerTest = NatureTest;

// Runs SceneUpdate once per step ms for duration ms.
void RunScenes(FakeClock& clock, uint32_t duration, uint32_t step) {
  for (uint32_t elapsed = 0; elapsed < duration; elapsed += step) {
    clock.Advance(step);
    SceneUpdate();
  }
}

TEST_F(SceneManagerTest, StartSwitchesLayerOneOnAndConfiguresTheScene) {
  SceneStart(3);
  const Layer& layer = core.layerTable.layers[LayerTable::kSceneLayer];
  EXPECT_EQ(layer.active, 1);
  EXPECT_EQ(layer.updating, 1);
  EXPECT_EQ(layer.drawing, 1);
  EXPECT_EQ(nature.currentScene, 3);
  EXPECT_EQ(nature.theme.back0.sprite.y, 280);
  EXPECT_EQ(nature.theme.skyBand, 280);
  SceneStop();
  EXPECT_EQ(layer.active + layer.updating + layer.drawing, 0);
}

TEST_F(SceneManagerTest, AFixedViewNeverChanges) {
  core.options.nature_view = 5;
  core.options.nature_change_freq = 60000;
  nature.lastSceneChange = clock_.Milliseconds();
  SceneStart(5);
  RunScenes(clock_, 10 * 60 * 1000, 500);
  EXPECT_EQ(nature.currentScene, 5);
}

TEST_F(SceneManagerTest, RandomlyWithZeroNeverChanges) {
  core.options.nature_change_freq = 0;
  nature.lastSceneChange = clock_.Milliseconds();
  SceneStart(2);
  RunScenes(clock_, 30 * 60 * 1000, 1000);
  EXPECT_EQ(nature.currentScene, 2);
}

TEST_F(SceneManagerTest, RandomlyChangesOnTheFirstFrameAfterTheIntervalAndNeverToTheSameScene) {
  core.options.nature_change_freq = 60000;
  for (int change = 0; change < 30; ++change) {
    nature.lastSceneChange = clock_.Milliseconds();
    const uint32_t start = nature.lastSceneChange;
    if (change == 0) SceneStart(1);
    const int before = nature.currentScene;
    clock_.Set(start + 60000);
    SceneUpdate();
    ASSERT_EQ(nature.currentScene, before) << "exactly the interval is not enough";
    clock_.Set(start + 60001);
    SceneUpdate();
    ASSERT_NE(nature.currentScene, before);
    EXPECT_EQ(nature.lastSceneChange, start + 60001);
  }
}

TEST_F(SceneManagerTest, APauseDoesNotStopTheChangeClock) {
  core.options.nature_change_freq = 60000;
  nature.lastSceneChange = clock_.Milliseconds();
  const uint32_t start = nature.lastSceneChange;
  SceneStart(0);
  RunScenes(clock_, 20000, 100);
  ScenePause(1);
  clock_.Advance(30000);  // inactive: no frames
  SceneResume(1);
  RunScenes(clock_, 100, 100);
  EXPECT_EQ(nature.currentScene, 0);
  clock_.Set(start + 60001);
  SceneUpdate();
  EXPECT_NE(nature.currentScene, 0);
}

TEST_F(SceneManagerTest, AResumeWithAnotherReasonLeavesTheScenePaused) {
  SceneStart(0);
  const uint32_t pausedAt = clock_.Milliseconds();
  ScenePause(1);
  clock_.Advance(500);
  ScenePause(2);  // ignored: the first pause stays
  EXPECT_EQ(nature.scenePause.reason, 1);
  EXPECT_EQ(nature.scenePause.start, pausedAt);
  SceneResume(2);
  EXPECT_EQ(nature.scenePause.paused, 1);
  const uint32_t skyClock = nature.theme.skyClock;
  clock_.Advance(500);
  SceneResume(1);
  EXPECT_EQ(nature.scenePause.paused, 0);
  EXPECT_EQ(nature.scenePause.reason, 0);
  EXPECT_EQ(nature.theme.skyClock, skyClock + 1000);
}

TEST_F(SceneManagerTest, ATenSecondPauseResumesEveryClockWhereItStopped) {
  core.options.background_animation = 3;
  SceneStart(0);
  RunScenes(clock_, 20000, 20);
  // Something must be alive for the test to mean anything; fill in a butterfly if none came.
  ButterflySet& set = nature.theme.butterfliesLarge;
  if (!set.slots[0].active) {
    set.slots[0].active = 1;
    set.slots[0].x = 300;
    set.slots[0].y = 200;
    set.slots[0].speed = 0.15;
    set.slots[0].frameCount = 8;
    set.slots[0].moveClock = set.slots[0].animationClock = clock_.Milliseconds();
  }
  const double sky = nature.theme.skyPosition;
  const Butterfly before = set.slots[0];
  ScenePause(1);
  clock_.Advance(10000);
  SceneResume(1);
  nature.theme.Update();  // no time has passed for the scene
  EXPECT_EQ(nature.theme.skyPosition, sky);
  EXPECT_EQ(set.slots[0].x, before.x);
  EXPECT_EQ(set.slots[0].y, before.y);
  EXPECT_EQ(set.slots[0].frame, before.frame);
  clock_.Advance(20);
  nature.theme.Update();
  EXPECT_NEAR(nature.theme.skyPosition, sky + (nature.theme.wind < 0 ? 20 : -20) * nature.theme.skyRate, 1e-9);
  const double moved = std::hypot(set.slots[0].x - before.x, set.slots[0].y - before.y);
  EXPECT_NEAR(moved, 20 * before.speed, 1e-9);
}

TEST_F(SceneManagerTest, EveryChangeReloadsThePicturesAndEmptiesEverySet) {
  core.options.nature_change_freq = 1000;
  core.options.background_animation = 3;
  nature.lastSceneChange = clock_.Milliseconds();
  SceneStart(0);
  nature.theme.glidersNear.group.active = 1;
  nature.theme.butterfliesSmall.slots[4].active = 1;
  clock_.Advance(1001);
  SceneUpdate();
  ASSERT_NE(nature.currentScene, 0);
  EXPECT_EQ(nature.theme.glidersNear.group.active, 0);
  EXPECT_EQ(nature.theme.butterfliesSmall.slots[4].active, 0);
  EXPECT_EQ(nature.theme.skyPosition, 0.0);
  EXPECT_EQ(nature.scenePictures.loaded, 1);
}

}  // namespace
}  // namespace sylvora
