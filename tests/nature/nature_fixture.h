#pragma once
// Common ground of the nature tests: a fake clock, a seeded generator, a quiet Report, default options,
// and a scene manager of the test's own, so each test drives its NatureTheme from a known start.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "core/layer_table.h"
#include "core/options.h"
#include "nature/scene_manager.h"
#include "report/report.h"
#include "tests/doubles/fake_clock.h"

namespace sylvora {

class NatureTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kStart = 100000;
  // Interval that keeps a ChanceTimer from ever being tested during a test.
  static constexpr int kNever = INT_MAX;

  NatureTest() : clock_(kStart), scopedClock_(clock_) {
    std::srand(12345);
    ownedReport_ = std::make_unique<Report>(static_cast<int>(ReportMode::Quiet), "./");
    BuildScenes(nullptr);
  }

  // A fresh scene manager on video (or none), the Report, options_ and layers_.
  void BuildScenes(VideoSystem* video) {
    scenes_ = std::make_unique<SceneManager>(NatureContext{ownedReport_.get(), video, nullptr, &options_, &layers_});
  }

  // Runs the theme's Update every step ms for duration ms.
  void RunTheme(NatureTheme& theme, uint32_t duration, uint32_t step) {
    for (uint32_t elapsed = 0; elapsed < duration; elapsed += step) {
      clock_.Advance(step);
      theme.Update();
    }
  }

  // Configures the one theme for scene through the catalogue, then Inits it again with generator seeds
  // until its wind blows the wanted way (negative: left).
  void ConfigureWithWind(int scene, bool windToTheLeft) {
    scenes_->Configure(scene);
    for (unsigned seed = 1; (scenes_->theme.wind < 0) != windToTheLeft; ++seed) {
      std::srand(seed);
      scenes_->theme.Init();
    }
  }

  // Makes the flock start at the next update, with its first bird following at the one after: returns the
  // flock once the update ran.
  BirdFlock& StartFlock() {
    BirdFlock& flock = scenes_->theme.flock;
    flock.spawnTimer.Set(100, 1);
    flock.group.addTimer.Set(100, 1);
    clock_.Advance(100);
    scenes_->theme.Update();
    return flock;
  }

  // A group of set holding one launched glider, at (x, y) with 8 frames and its clocks at now, and no
  // other: the group's next bird, the glider's tilt changes and a new group are held back.
  Glider& LoneGlider(GliderGroup& set, int baseY, int direction, double x, double y) {
    set.spawnTimer.Set(kNever, 1);
    set.group = CreatureGroup{1, 1, 1, baseY, 0, direction, {}};
    set.group.addTimer.Set(kNever, 1);
    Glider& glider = set.slots[0];
    glider = Glider{};
    Place(glider, x, y);
    glider.tiltTimer.Set(kNever, 1);
    glider.tiltClock = clock_.Milliseconds();
    return glider;
  }

  // A cruising butterfly of set in slot, at (x, y) with 8 frames and its clocks at now: its course and
  // mood changes and the set's spawns are held back.
  Butterfly& CruisingButterfly(ButterflySet& set, int slot, double x, double y) {
    set.spawnTimer.Set(kNever, 1);
    Butterfly& butterfly = set.slots[slot];
    butterfly = Butterfly{};
    Place(butterfly, x, y);
    butterfly.cruising = 1;
    butterfly.jitter.Set(kNever, 1);
    butterfly.stopCruise.Set(kNever, 1);
    return butterfly;
  }

  FakeClock clock_;
  ScopedClock scopedClock_;
  std::unique_ptr<Report> ownedReport_;
  Options options_;
  LayerTable layers_;
  std::unique_ptr<SceneManager> scenes_;

 private:
  // A live, still creature at (x, y) with 8 frames, its move and animation clocks at now.
  void Place(Creature& creature, double x, double y) {
    creature.active = 1;
    creature.x = x;
    creature.y = y;
    creature.frameCount = 8;
    creature.moveClock = creature.animationClock = clock_.Milliseconds();
  }
};

}  // namespace sylvora
