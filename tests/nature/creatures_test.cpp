// The creature sets: spawn odds, entry positions, flock and glider groups, butterflies and clocks.
#include <algorithm>
#include <vector>

#include "tests/nature/nature_fixture.h"

namespace sylvora {
namespace {

class CreaturesTest : public NatureTest {
 protected:
  // Counts butterflies that came in during the last Update: at an entry edge with frame 0.
  static int NewButterflies(const ButterflySet& set) {
    int count = 0;
    for (const Butterfly& b : set.slots) {
      const double leftEntry = 1 - set.variants[b.variant].frameWidth;
      if (b.active && b.frame == 0.0 && (b.x == 639.0 || b.x == leftEntry)) ++count;
    }
    return count;
  }

  // Butterflies of both sets spawned over minutes of simulated time at 50 frames per second.
  std::pair<int, int> CountButterflySpawns(int level, int minutes) {
    options_.background_animation = level;
    scenes_->Configure(0);
    int large = 0, small = 0;
    for (int frame = 0; frame < minutes * 60 * 50; ++frame) {
      clock_.Advance(20);
      scenes_->theme.Update();
      large += NewButterflies(scenes_->theme.butterfliesLarge);
      small += NewButterflies(scenes_->theme.butterfliesSmall);
    }
    return {large, small};
  }

  static bool AnyLive(const NatureTheme& theme) {
    for (const Seed& s : theme.seedA.slots) if (s.active) return true;
    for (const Seed& s : theme.seedB.slots) if (s.active) return true;
    for (const Butterfly& b : theme.butterfliesLarge.slots) if (b.active) return true;
    for (const Butterfly& b : theme.butterfliesSmall.slots) if (b.active) return true;
    return theme.flock.group.active || theme.glidersNear.group.active || theme.glidersFar.group.active;
  }
};

TEST_F(CreaturesTest, SpawnOddsFollowTheAnimationLevel) {
  // One test every 100 ms for 20 minutes is 12000 tests: 1 in 120, 80 and 55 give about 100, 150, 218.
  const auto low = CountButterflySpawns(1, 20);
  const auto normal = CountButterflySpawns(2, 20);
  const auto high = CountButterflySpawns(3, 20);
  EXPECT_NEAR(low.first, 100, 30);
  EXPECT_NEAR(normal.first, 150, 37);
  EXPECT_NEAR(high.first, 218, 45);
  EXPECT_NEAR(low.second, 100, 30);
  EXPECT_NEAR(high.second, 218, 45);
  EXPECT_LT(low.first, normal.first);
  EXPECT_LT(normal.first, high.first);
}

TEST_F(CreaturesTest, LevelZeroShowsNoCreatureButTheSkyMoves) {
  options_.background_animation = 0;
  ConfigureWithWind(4, true);  // seeds and butterflies
  for (int frame = 0; frame < 5 * 60 * 50; ++frame) {
    clock_.Advance(20);
    scenes_->theme.Update();
    ASSERT_FALSE(AnyLive(scenes_->theme));
  }
  ConfigureWithWind(0, true);  // flock and gliders
  RunTheme(scenes_->theme, 5 * 60 * 1000, 20);
  EXPECT_FALSE(AnyLive(scenes_->theme));
  EXPECT_GT(scenes_->theme.skyPosition, 0.0);
}

TEST_F(CreaturesTest, ASteepSeedInAWeakLeftWindEntersAtTheTopUnlessTheDrawIs98Or99) {
  // The spawn draws: spawn test, variant, heading (210 + r % 60), entry choice (r % 100), position.
  int checked = 0;
  for (unsigned seed = 1; checked < 4 && seed < 2000000; ++seed) {
    std::srand(seed);
    int draws[5];
    for (int& draw : draws) draw = std::rand();
    const int choice = draws[3] % 100;
    if (draws[2] % 60 != 59 || (choice != 97 && choice != 98)) continue;
    scenes_->Configure(4);
    scenes_->theme.wind = -30;
    scenes_->theme.seedA.spawnTimer.Set(100, 1);
    clock_.Advance(100);
    std::srand(seed);
    scenes_->theme.Update();
    const Seed& seed0 = scenes_->theme.seedA.slots[0];
    ASSERT_TRUE(seed0.active);
    EXPECT_EQ(seed0.heading, 269);
    if (choice == 97) {  // 97 < truncated 98.9: from the top
      EXPECT_EQ(seed0.y, 1 - 23);
      EXPECT_EQ(seed0.x, draws[4] % (640 - 15));
    } else {  // from the right, the side the wind comes from
      EXPECT_EQ(seed0.x, 639.0);
      EXPECT_EQ(seed0.y, draws[4] % (480 - 23));
    }
    ++checked;
  }
  EXPECT_EQ(checked, 4);
}

TEST_F(CreaturesTest, SeedsFallWithTheWindAndKeepTheirHeading) {
  ConfigureWithWind(4, false);
  scenes_->theme.seedB.spawnTimer.Set(100, 1);
  clock_.Advance(100);
  scenes_->theme.Update();
  const Seed first = scenes_->theme.seedB.slots[0];
  ASSERT_TRUE(first.active);
  EXPECT_GE(first.heading, 270);
  EXPECT_LT(first.heading, 330);
  const double strength = std::abs(scenes_->theme.wind);
  EXPECT_GE(first.speed, strength * 0.00035);
  EXPECT_LT(first.speed, (strength + 50) * 0.00035);
  clock_.Advance(1000);
  scenes_->theme.Update();
  const Seed& later = scenes_->theme.seedB.slots[0];
  EXPECT_EQ(later.heading, first.heading);
  EXPECT_GT(later.x, first.x);  // drifts right with the wind
  EXPECT_GT(later.y, first.y);  // and falls
}

TEST_F(CreaturesTest, AFlockWhoseLaunchedBirdsHaveAllLeftEndsThere) {
  scenes_->Configure(0);
  BirdFlock& flock = StartFlock();
  ASSERT_TRUE(flock.group.active);
  EXPECT_GE(flock.group.baseY, 0);
  EXPECT_LT(flock.group.baseY, 249 - 100);
  flock.group.size = 6;
  clock_.Advance(100);
  scenes_->theme.Update();  // the first bird comes in
  ASSERT_EQ(flock.group.launched, 1);
  Creature& bird = flock.slots[0];
  ASSERT_TRUE(bird.active);
  EXPECT_EQ(bird.x, flock.group.direction == 1 ? -9.0 : 639.0);
  EXPECT_GE(bird.y, flock.group.baseY);
  EXPECT_LT(bird.y, flock.group.baseY + 50);
  EXPECT_GE(bird.speed, 0.03);
  EXPECT_LE(bird.speed, 0.04485 + 1e-12);

  // It reaches the far edge before the next one is launched.
  flock.spawnTimer.Set(kNever, 1);
  bird.x = flock.group.direction == 1 ? 639.0 : -9.0;
  clock_.Advance(100);
  scenes_->theme.Update();
  EXPECT_FALSE(bird.active);
  EXPECT_FALSE(flock.group.active);
  EXPECT_EQ(flock.group.launched, 1);
  RunTheme(scenes_->theme, 5000, 20);
  EXPECT_FALSE(flock.group.active);
  for (const Creature& slot : flock.slots) EXPECT_FALSE(slot.active);
}

TEST_F(CreaturesTest, TheFlockFliesLevelAndStaysActiveWhileABirdIsOnScreen) {
  scenes_->Configure(2);  // ground at y 130: base heights 0..29
  BirdFlock& flock = StartFlock();
  ASSERT_TRUE(flock.group.active);
  EXPECT_LT(flock.group.baseY, 30);
  flock.spawnTimer.Set(kNever, 1);
  RunTheme(scenes_->theme, 1000, 100);
  ASSERT_EQ(flock.group.launched, std::min(flock.group.size, 10));
  std::vector<double> heights;
  for (const Creature& bird : flock.slots) heights.push_back(bird.y);
  RunTheme(scenes_->theme, 3000, 25);
  for (int i = 0; i < flock.group.launched; ++i) {
    if (flock.slots[i].active) {
      EXPECT_EQ(flock.slots[i].y, heights[i]);
    }
  }
  EXPECT_TRUE(flock.group.active);
}

TEST_F(CreaturesTest, AGliderNeedsTenStepsMoreThan100MsApartToGoFromClimbToDive) {
  scenes_->Configure(0);
  Glider& glider = LoneGlider(scenes_->theme.glidersNear, 100, 1, 300, 150);
  glider.targetTilt = 10;

  clock_.Advance(100);
  scenes_->theme.Update();
  EXPECT_EQ(glider.tilt, 0);  // exactly 100 ms is not enough
  for (int step = 1; step <= 10; ++step) {
    clock_.Advance(step == 1 ? 1 : 101);
    scenes_->theme.Update();
    EXPECT_EQ(glider.tilt, step);
  }
  clock_.Advance(101);
  scenes_->theme.Update();
  EXPECT_EQ(glider.tilt, 10);
}

TEST_F(CreaturesTest, GlidersKeepToTheirBand) {
  scenes_->Configure(0);
  Glider& glider = LoneGlider(scenes_->theme.glidersFar, 100, 0, 300, 151);  // below the band 100..150
  glider.targetTilt = glider.tilt = 7;
  clock_.Advance(1);
  scenes_->theme.Update();
  EXPECT_LT(glider.targetTilt, 5);  // climbs
  glider.y = 98.0;                  // above the band
  clock_.Advance(1);
  scenes_->theme.Update();
  EXPECT_GE(glider.targetTilt, 5);  // level or descending
}

TEST_F(CreaturesTest, AGliderFlyingLeftClimbsAlongItsTiltAngle) {
  scenes_->Configure(0);
  Glider& glider = LoneGlider(scenes_->theme.glidersNear, 0, 0, 400, 50);
  glider.speed = 0.5;
  glider.targetTilt = glider.tilt = 3;  // 16 degrees up, flying left: heading 164
  clock_.Advance(100);
  scenes_->theme.Update();
  EXPECT_NEAR(glider.x, 400 + 50 * scenes_->theme.cosine[164], 1e-9);
  EXPECT_NEAR(glider.y, 50 + 50 * scenes_->theme.sine[344], 1e-9);
  EXPECT_LT(glider.x, 400);
  EXPECT_LT(glider.y, 50);
}

TEST_F(CreaturesTest, NoButterflyIsSpawnedAndTheTimerNotTestedWhileAllTenSlotsAreLive) {
  scenes_->Configure(0);
  ButterflySet& set = scenes_->theme.butterfliesLarge;
  for (int slot = 0; slot < ButterflySet::kSlots; ++slot) CruisingButterfly(set, slot, 300, 200);
  set.spawnTimer.Set(100, 1);
  const uint32_t lastTest = set.spawnTimer.last;
  RunTheme(scenes_->theme, 2000, 20);
  EXPECT_EQ(set.spawnTimer.last, lastTest);
  set.slots[3].x = 700;  // one leaves
  clock_.Advance(20);
  scenes_->theme.Update();
  EXPECT_TRUE(set.slots[3].active);  // and its slot is taken at once by a newcomer
  EXPECT_TRUE(set.slots[3].x == 639.0 || set.slots[3].x == -34.0 || set.slots[3].x == -24.0);
}

TEST_F(CreaturesTest, ButterfliesEnterWithOnePixelOnScreenHeadingAway) {
  scenes_->Configure(0);
  ButterflySet& set = scenes_->theme.butterfliesSmall;
  set.spawnTimer.Set(100, 1);
  for (int i = 0; i < 40; ++i) {
    scenes_->theme.Init();
    set.spawnTimer.Set(100, 1);
    clock_.Advance(100);
    scenes_->theme.Update();
    const Butterfly& b = set.slots[0];
    ASSERT_TRUE(b.active);
    EXPECT_TRUE(b.cruising);
    if (b.side == 1) {
      EXPECT_EQ(b.x, 1 - 14);
      EXPECT_TRUE(b.heading >= 300 || b.heading < 60) << b.heading;
    } else {
      EXPECT_EQ(b.x, 639);
      EXPECT_TRUE(b.heading > 120 && b.heading <= 240) << b.heading;
    }
    EXPECT_GE(b.y, 0);
    EXPECT_LT(b.y, 480 - 18);
    EXPECT_GE(b.speed, 0.05);
    EXPECT_LT(b.speed, 0.0996);
  }
}

TEST_F(CreaturesTest, OffScreenMeansNoPixelLeftAfterTruncation) {
  scenes_->Configure(0);
  const NatureTheme& t = scenes_->theme;
  EXPECT_FALSE(t.IsOffScreen(-34.0, 10, 35, 47));  // one column left
  EXPECT_FALSE(t.IsOffScreen(-34.9, 10, 35, 47));  // truncates towards zero
  EXPECT_TRUE(t.IsOffScreen(-35.0, 10, 35, 47));
  EXPECT_FALSE(t.IsOffScreen(639.9, 10, 35, 47));
  EXPECT_TRUE(t.IsOffScreen(640.0, 10, 35, 47));
  EXPECT_FALSE(t.IsOffScreen(10, -46.0, 35, 47));
  EXPECT_TRUE(t.IsOffScreen(10, -47.0, 35, 47));
  EXPECT_FALSE(t.IsOffScreen(10, 479.5, 35, 47));
  EXPECT_TRUE(t.IsOffScreen(10, 480.0, 35, 47));
}

TEST_F(CreaturesTest, ACreatureWithoutAPictureStillMovesAndIsRemovedOffScreen) {
  scenes_->Configure(0);  // no video: every picture is missing
  ButterflySet& set = scenes_->theme.butterfliesLarge;
  ASSERT_EQ(set.variants[0].surface, 20000);
  Butterfly& b = CruisingButterfly(set, 0, 600, 200);
  b.heading = 0;
  b.speed = 0.1;
  clock_.Advance(100);
  scenes_->theme.Update();
  EXPECT_NEAR(b.x, 610, 1e-9);
  clock_.Advance(300);
  scenes_->theme.Update();
  EXPECT_FALSE(b.active);
}

TEST_F(CreaturesTest, AnimationWrapsWithinTheRow) {
  scenes_->Configure(0);
  Butterfly& b = CruisingButterfly(scenes_->theme.butterfliesLarge, 0, 300, 200);
  b.animationSpeed = 0.032;
  clock_.Advance(250);  // 8 frames: back to the start
  scenes_->theme.Update();
  EXPECT_NEAR(b.frame, 0.0, 1e-9);
  clock_.Advance(100);
  scenes_->theme.Update();
  EXPECT_NEAR(b.frame, 3.2, 1e-9);
}

TEST_F(CreaturesTest, ShiftClocksContinuesEveryLiveCreatureWhereItStopped) {
  scenes_->Configure(0);
  Glider& glider = LoneGlider(scenes_->theme.glidersNear, 0, 1, 100, 50);
  glider.speed = 0.5;
  glider.animationSpeed = 0.02;
  glider.tilt = glider.targetTilt = 5;  // level
  const uint32_t start = clock_.Milliseconds();
  clock_.Advance(10000);
  scenes_->theme.ShiftClocks(10000);
  EXPECT_EQ(glider.moveClock, start + 10000);
  EXPECT_EQ(glider.animationClock, start + 10000);
  EXPECT_EQ(glider.tiltClock, start + 10000);
  clock_.Advance(100);
  scenes_->theme.Update();
  EXPECT_NEAR(glider.x, 150, 1e-6);
  EXPECT_NEAR(glider.frame, 2.0, 1e-9);
}

}  // namespace
}  // namespace sylvora
