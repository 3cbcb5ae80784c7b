// The same simulated seconds at 30 and at 300 frames per second must look the same: motion and
// flapping follow elapsed milliseconds, not frames.
#include <climits>
#include <cmath>
#include <vector>

#include "tests/nature/nature_fixture.h"

namespace sylvora {
namespace {

struct Snapshot {
  double sky;
  std::vector<double> values;  // x, y and frame of every creature, then active flags
};

class FrameRateTest : public NatureTest {
 protected:
  // A scene with creatures of every kind placed at known spots and every random timer held back, so
  // both runs replay exactly the same scene.
  void PlaceCreatures(int scene) {
    std::srand(77);
    ConfigureWithWind(scene, true);
    const uint32_t now = clock_.Milliseconds();
    for (CreatureSet* set : scenes_->theme.sets) set->spawnTimer.Set(INT_MAX, 1);
    auto start = [&](Creature& c, double x, double y, double speed, const Sprite& picture) {
      c.active = 1;
      c.x = x;
      c.y = y;
      c.speed = speed;
      c.frame = 0;
      c.frameCount = picture.frameCount;
      c.animationSpeed = picture.animationSpeed;
      c.moveClock = c.animationClock = now;
    };
    for (int i = 0; i < SeedSet::kSlots; ++i) {
      Seed& seed = scenes_->theme.seedA.slots[i];
      start(seed, 100 + 90 * i, 20, 0.03 + 0.005 * i, scenes_->theme.seedA.variants[0]);
      seed.heading = 215 + 10 * i;
    }
    for (int i = 0; i < ButterflySet::kSlots; ++i) {
      Butterfly& b = scenes_->theme.butterfliesLarge.slots[i];
      start(b, 50 + 50 * i, 100 + 20 * i, 0.1 + 0.01 * i, scenes_->theme.butterfliesLarge.variants[0]);
      b.heading = (i * 37) % 360;
      b.cruising = 1;
      b.jitter.Set(INT_MAX, 1);
      b.stopCruise.Set(INT_MAX, 1);
    }
    if (scenes_->theme.flock.variantCount > 0) {
      CreatureGroup& flock = scenes_->theme.flock.group;
      flock = CreatureGroup{1, 7, 7, 10, 0, 1, {}};
      for (int i = 0; i < BirdFlock::kSlots; ++i) {
        start(scenes_->theme.flock.slots[i], -9 + 12 * i, 10 + 3 * i, 0.035, scenes_->theme.flock.variants[0]);
      }
      GliderGroup& near = scenes_->theme.glidersNear;
      near.group = CreatureGroup{1, 10, 10, 0, 0, 0, {}};
      for (int i = 0; i < GliderGroup::kSlots; ++i) {
        Glider& g = near.slots[i];
        start(g, 639 - 30 * i, 40 + 5 * i, 0.1, near.variants[0]);
        g.tilt = g.targetTilt = 5;  // level: the band never asks for a turn
        g.tiltClock = now;
        g.tiltTimer.Set(INT_MAX, 1);
      }
    }
  }

  Snapshot Take() const {
    Snapshot shot{scenes_->theme.skyPosition, {}};
    auto add = [&shot](const Creature& c) {
      shot.values.push_back(c.active);
      if (!c.active) return;
      shot.values.push_back(c.x);
      shot.values.push_back(c.y);
      // The frame as a phase on the circle, so 7.9999999 and 0.0000001 count as the same picture.
      const double phase = 6.283185307179586 * c.frame / c.frameCount;
      shot.values.push_back(std::cos(phase));
      shot.values.push_back(std::sin(phase));
    };
    for (const Seed& s : scenes_->theme.seedA.slots) add(s);
    for (const Butterfly& b : scenes_->theme.butterfliesLarge.slots) add(b);
    for (const Creature& c : scenes_->theme.flock.slots) add(c);
    for (const Glider& g : scenes_->theme.glidersNear.slots) add(g);
    return shot;
  }

  // Five seconds at fps frames per second (frame i at the i/fps second, in whole ms), one snapshot
  // at the end of every second.
  std::vector<Snapshot> Run(int scene, int fps) {
    clock_.Set(kStart);
    PlaceCreatures(scene);
    std::vector<Snapshot> shots;
    for (int frame = 1; frame <= 5 * fps; ++frame) {
      clock_.Set(kStart + static_cast<uint32_t>(frame * 1000LL / fps));
      scenes_->theme.Update();
      if (frame % fps == 0) shots.push_back(Take());
    }
    return shots;
  }

  void ExpectSameAtBothRates(int scene) {
    const std::vector<Snapshot> slow = Run(scene, 30);
    const std::vector<Snapshot> fast = Run(scene, 300);
    ASSERT_EQ(slow.size(), 5u);
    ASSERT_EQ(fast.size(), 5u);
    bool anyMoved = false;
    for (int second = 0; second < 5; ++second) {
      EXPECT_NEAR(slow[second].sky, fast[second].sky, 1e-6) << "second " << second + 1;
      ASSERT_EQ(slow[second].values.size(), fast[second].values.size()) << "second " << second + 1;
      for (size_t i = 0; i < slow[second].values.size(); ++i) {
        EXPECT_NEAR(slow[second].values[i], fast[second].values[i], 1e-6) << "second " << second + 1 << " value " << i;
      }
      anyMoved = anyMoved || slow[second].sky > 0.0;
    }
    EXPECT_TRUE(anyMoved);
  }
};

TEST_F(FrameRateTest, SkyFlockGlidersAndButterfliesMatchAt30And300FramesPerSecond) { ExpectSameAtBothRates(0); }

TEST_F(FrameRateTest, SeedsAndButterfliesMatchAt30And300FramesPerSecond) { ExpectSameAtBothRates(4); }

}  // namespace
}  // namespace sylvora
