// The scrolling sky: speed modes, direction and the wrap at the panorama's ends.
#include <cmath>

#include "tests/nature/nature_fixture.h"

namespace sylvora {
namespace {

using SkyTest = NatureTest;

TEST_F(SkyTest, StandsStillWithSpeedZero) {
  options_.speed_of_sky = 0;
  ConfigureWithWind(0, true);
  RunTheme(scenes_->theme, 60000, 20);
  EXPECT_EQ(scenes_->theme.skyPosition, 0.0);
}

TEST_F(SkyTest, MovesAtTheWindTimesTheModesFactor) {
  const float factors[] = {0.00015f, 0.00025f, 0.00035f};
  for (int mode = 1; mode <= 3; ++mode) {
    options_.speed_of_sky = mode;
    ConfigureWithWind(2, true);
    const double rate = std::abs(scenes_->theme.wind) * static_cast<double>(factors[mode - 1]);
    EXPECT_DOUBLE_EQ(scenes_->theme.skyRate, rate) << "mode " << mode;
    RunTheme(scenes_->theme, 1000, 10);
    EXPECT_NEAR(scenes_->theme.skyPosition, 1000 * rate, 1e-9) << "mode " << mode;
  }
}

TEST_F(SkyTest, AnUnknownModeMeansNormal) {
  options_.speed_of_sky = 9;
  ConfigureWithWind(0, true);
  EXPECT_EQ(scenes_->theme.skySpeedMode, 2);
  EXPECT_DOUBLE_EQ(scenes_->theme.skyRate, std::abs(scenes_->theme.wind) * static_cast<double>(0.00025f));
}

TEST_F(SkyTest, WindToTheLeftRunsUpToTheEndAndRestartsAtZero) {
  ConfigureWithWind(0, true);
  const double step = scenes_->theme.skyRate * 10;  // 0.075 to 0.2475 pixels
  scenes_->theme.skyPosition = 1279.0;
  clock_.Advance(10);
  scenes_->theme.Update();
  EXPECT_NEAR(scenes_->theme.skyPosition, 1279.0 + step, 1e-12);
  scenes_->theme.skyPosition = 1279.99;
  clock_.Advance(5);
  scenes_->theme.Update();
  EXPECT_EQ(scenes_->theme.skyPosition, 0.0);
  clock_.Advance(10);
  scenes_->theme.Update();
  EXPECT_NEAR(scenes_->theme.skyPosition, step, 1e-12);
}

TEST_F(SkyTest, WindToTheRightRunsDownAndRestartsAt1279) {
  ConfigureWithWind(0, false);
  clock_.Advance(1);
  scenes_->theme.Update();
  EXPECT_EQ(scenes_->theme.skyPosition, 1279.0);
  clock_.Advance(100);
  scenes_->theme.Update();
  EXPECT_NEAR(scenes_->theme.skyPosition, 1279.0 - 100 * scenes_->theme.skyRate, 1e-9);
}

TEST_F(SkyTest, ADisabledSkyOrAStoppedClockDoesNotMove) {
  ConfigureWithWind(0, true);
  scenes_->theme.Update();  // no time has passed
  EXPECT_EQ(scenes_->theme.skyPosition, 0.0);
  scenes_->theme.sky.enabled = 0;
  RunTheme(scenes_->theme, 1000, 10);
  EXPECT_EQ(scenes_->theme.skyPosition, 0.0);
}

TEST_F(SkyTest, KeepsMovingWhenTheTimerWraps) {
  clock_.Set(0xFFFFFF00u);
  ConfigureWithWind(0, true);
  RunTheme(scenes_->theme, 512, 16);  // crosses zero halfway
  EXPECT_NEAR(scenes_->theme.skyPosition, 512 * scenes_->theme.skyRate, 1e-9);
}

TEST_F(SkyTest, InitReportsAndStartsAFreshWind) {
  const int before = ownedReport_->MessageCount();
  scenes_->Configure(3);
  ASSERT_EQ(ownedReport_->MessageCount(), before + 1);
  const ReportMessage& message = ownedReport_->Message(before);
  EXPECT_EQ(message.kind, 0);
  EXPECT_EQ(message.module, "RURODODE.NATURE");
  EXPECT_EQ(message.function, "Init");
  EXPECT_EQ(message.text, "nature theme has been successfully initialized");
  EXPECT_GE(std::abs(scenes_->theme.wind), 30);
  EXPECT_LE(std::abs(scenes_->theme.wind), 99);
  EXPECT_EQ(scenes_->theme.skyBand, 280);
  EXPECT_EQ(scenes_->theme.skyClock, clock_.Milliseconds());
}

TEST_F(SkyTest, WindFollowsTheCoinAndThenTheStrength) {
  std::srand(21);
  const int coin = std::rand();
  const int strength = std::rand();
  std::srand(21);
  scenes_->theme.Init();
  EXPECT_EQ(scenes_->theme.wind, (coin & 1 ? 1 : -1) * (30 + strength % 70));
}

}  // namespace
}  // namespace sylvora
