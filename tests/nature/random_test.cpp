#include <gtest/gtest.h>

#include <cstdlib>

#include "nature/nature_random.h"
#include "tests/doubles/fake_clock.h"

namespace sylvora {
namespace {

TEST(RandomRange, FollowsTheGeneratorAndStaysInRange) {
  std::srand(7);
  const int first = std::rand();
  const int second = std::rand();
  std::srand(7);
  EXPECT_EQ(RandomRange(-60, 60), -60 + first % 120);
  EXPECT_EQ(RandomRange(30, 100), 30 + second % 70);
  for (int i = 0; i < 2000; ++i) {
    const int value = RandomRange(5, 11);
    ASSERT_GE(value, 5);
    ASSERT_LT(value, 11);
  }
}

TEST(RandomRange, AnEmptyRangeGivesLoWithoutUsingTheGenerator) {
  std::srand(3);
  const int expected = std::rand();
  std::srand(3);
  EXPECT_EQ(RandomRange(4, 4), 4);
  EXPECT_EQ(RandomRange(9, 2), 9);
  EXPECT_EQ(std::rand(), expected);
}

TEST(RandomBool, IsTheGeneratorsLowestBit) {
  std::srand(11);
  int values[64];
  for (int& value : values) value = std::rand();
  std::srand(11);
  for (int value : values) EXPECT_EQ(RandomBool(), (value & 1) == 1);
}

TEST(ChanceTimer, TestsAtMostOncePerIntervalAndLeavesTheGeneratorAloneMeanwhile) {
  FakeClock clock(5000);
  ScopedClock scoped(clock);
  ChanceTimer timer;
  timer.Set(100, 1);  // fires whenever it is tested
  std::srand(1);
  const int next = std::rand();
  std::srand(1);
  clock.Advance(99);
  EXPECT_FALSE(timer.Check());
  EXPECT_EQ(std::rand(), next);  // the early test did not draw a number
  std::srand(1);
  clock.Advance(1);
  EXPECT_TRUE(timer.Check());
  EXPECT_EQ(timer.last, 5100u);
  clock.Advance(50);
  EXPECT_FALSE(timer.Check());
  clock.Advance(50);
  EXPECT_TRUE(timer.Check());
}

TEST(ChanceTimer, FiresAboutOnceInOneInTests) {
  FakeClock clock(0);
  ScopedClock scoped(clock);
  ChanceTimer timer;
  timer.Set(100, 50);
  std::srand(99);
  int fired = 0;
  for (int i = 0; i < 50000; ++i) {
    clock.Advance(100);
    fired += timer.Check() ? 1 : 0;
  }
  EXPECT_NEAR(fired, 1000, 120);
}

TEST(ChanceTimer, CountsIntervalsAcrossTheClockWrap) {
  FakeClock clock(0xFFFFFFC0u);
  ScopedClock scoped(clock);
  ChanceTimer timer;
  timer.Set(100, 1);
  clock.Advance(99);  // wraps past zero
  EXPECT_FALSE(timer.Check());
  clock.Advance(1);
  EXPECT_TRUE(timer.Check());
}

}  // namespace
}  // namespace sylvora
