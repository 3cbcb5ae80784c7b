// The scrolling sky: speed modes, direction and the wrap at the panorama's ends.
#include <cmath>

#include "tests/nature/nature_fixture.h"

namespace sylvora {
namespace {

using SkyTest = NatureTest;

TEST_F(SkyTest, StandsStillWithSpeedZero) {
  core.options.speed_of_sky = 0;
  ConfigureWithWind(0, true);
  RunTheme(nature.theme, 60000, 20);
  EXPECT_EQ(nature.theme.skyPosition, 0.0);
}

TEST_F(SkyTest, MovesAtTheWindTimesTheModesFactor) {
  const float factors[] = {0.00015f, 0.00025f, 0.00035f};
  for (int mode = 1; mode <= 3; ++mode) {
    core.options.speed_of_sky = mode;
    ConfigureWithWind(2, true);
    const double rate = std::abs(nature.theme.wind) * static_cast<double>(factors[mode - 1]);
    EXPECT_DOUBLE_EQ(nature.theme.skyRate, rate) << "mode " << mode;
    RunTheme(nature.theme, 1000, 10);
    EXPECT_NEAR(nature.theme.skyPosition, 1000 * rate, 1e-9) << "mode " << mode;
  }
}

TEST_F(SkyTest, AnUnknownModeMeansNormal) {
  core.options.speed_of_sky = 9;
  ConfigureWithWind(0, true);
  EXPECT_EQ(nature.theme.skySpeedMode, 2);
  EXPECT_DOUBLE_EQ(nature.theme.skyRate, std::abs(nature.theme.wind) * static_cast<double>(0.00025f));
}

TEST_F(SkyTest, WindToTheLeftRunsUpToTheEndAndRestartsAtZero) {
  ConfigureWithWind(0, true);
  const double step = nature.theme.skyRate * 10;  // 0.075 to 0.2475 pixels
  nature.theme.skyPosition = 1279.0;
  clock_.Advance(10);
  nature.theme.Update();
  EXPECT_NEAR(nature.theme.skyPosition, 1279.0 + step, 1e-12);
  nature.theme.skyPosition = 1279.99;
  clock_.Advance(5);
  nature.theme.Update();
  EXPECT_EQ(nature.theme.skyPosition, 0.0);
  clock_.Advance(10);
  nature.theme.Update();
  EXPECT_NEAR(nature.theme.skyPosition, step, 1e-12);
}

TEST_F(SkyTest, WindToTheRightRunsDownAndRestartsAt1279) {
  ConfigureWithWind(0, false);
  clock_.Advance(1);
  nature.theme.Update();
  EXPECT_EQ(nature.theme.skyPosition, 1279.0);
  clock_.Advance(100);
  nature.theme.Update();
  EXPECT_NEAR(nature.theme.skyPosition, 1279.0 - 100 * nature.theme.skyRate, 1e-9);
}

TEST_F(SkyTest, ADisabledSkyOrAStoppedClockDoesNotMove) {
  ConfigureWithWind(0, true);
  nature.theme.Update();  // no time has passed
  EXPECT_EQ(nature.theme.skyPosition, 0.0);
  nature.theme.sky.enabled = 0;
  RunTheme(nature.theme, 1000, 10);
  EXPECT_EQ(nature.theme.skyPosition, 0.0);
}

TEST_F(SkyTest, KeepsMovingWhenTheTimerWraps) {
  clock_.Set(0xFFFFFF00u);
  ConfigureWithWind(0, true);
  RunTheme(nature.theme, 512, 16);  // crosses zero halfway
  EXPECT_NEAR(nature.theme.skyPosition, 512 * nature.theme.skyRate, 1e-9);
}

TEST_F(SkyTest, InitReportsAndStartsAFreshWind) {
  const int before = core.report->MessageCount();
  ConfigureScene(3);
  ASSERT_EQ(core.report->MessageCount(), before + 1);
  const ReportMessage& message = core.report->Message(before);
  EXPECT_EQ(message.kind, 0);
  EXPECT_EQ(message.module, "RURODODE.NATURE");
  EXPECT_EQ(message.function, "Init");
  EXPECT_EQ(message.text, "nature theme has been successfully initialized");
  EXPECT_GE(std::abs(nature.theme.wind), 30);
  EXPECT_LE(std::abs(nature.theme.wind), 99);
  EXPECT_EQ(nature.theme.skyBand, 280);
  EXPECT_EQ(nature.theme.skyClock, clock_.Milliseconds());
}

TEST_F(SkyTest, WindFollowsTheCoinAndThenTheStrength) {
  std::srand(21);
  const int coin = std::rand();
  const int strength = std::rand();
  std::srand(21);
  nature.theme.Init();
  EXPECT_EQ(nature.theme.wind, (coin & 1 ? 1 : -1) * (30 + strength % 70));
}

}  // namespace
}  // namespace sylvora
