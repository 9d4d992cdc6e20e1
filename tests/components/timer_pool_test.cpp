// Pool and Timer: whole-second counting with carry-over, bounds that never wrap,
// Reset, and steps too long or not finite.
#include <limits>

#include <gtest/gtest.h>

#include "components/pool.h"
#include "components/timer.h"

namespace {

using components::Pool;
using components::Timer;

TEST(TimerTest, LongFramesCountSeveralSecondsAndTheFractionCarriesOver) {
  Timer timer(42);
  EXPECT_EQ(timer.amount, 0u);  // the start value is for scripts only
  timer.Update(2.5f);
  EXPECT_EQ(timer.GetAmount(), 2u);
  EXPECT_EQ(timer.GetTimePassed(), 0.5f);
  timer.Update(0.75f);
  EXPECT_EQ(timer.GetAmount(), 3u);
  EXPECT_EQ(timer.GetTimePassed(), 0.25f);
  timer.SetActive(false);  // frozen, fraction and all
  timer.Update(5.75f);
  EXPECT_EQ(timer.GetAmount(), 3u);
  EXPECT_EQ(timer.GetTimePassed(), 0.25f);
  timer.Reset();  // clears the start value and the fraction, not the counter
  EXPECT_EQ(timer.amount, 3u);
  EXPECT_EQ(timer.GetStartValue(), 0);
  EXPECT_EQ(timer.GetTimePassed(), 0.0f);
}

TEST(TimerTest, CountingHoldsAtTheCapacityAndTheMinimum) {
  Timer up;
  up.capacity = 5;
  up.Update(10.0f);
  EXPECT_EQ(up.amount, 5u);
  Timer down;
  down.amount = 1;
  down.CountDown();
  down.Update(1.0f);
  EXPECT_EQ(down.amount, 0u);
  down.Update(1.0f);
  EXPECT_EQ(down.amount, 0u);  // not 4294967295
  down.minimum = 3;
  down.amount = 10;
  down.Update(20.0f);
  EXPECT_EQ(down.amount, 3u);
}

TEST(TimerTest, HugeOrNonFiniteStepsNeitherHangNorSpoilTheTimer) {
  Timer timer;
  timer.Update(1.0e30f);  // one step per second would take ages
  EXPECT_EQ(timer.amount, 0xFFFFFFFFu);
  EXPECT_EQ(timer.timePassed, 0.0f);
  Timer other;
  other.Update(1.5f);
  testing::internal::CaptureStderr();
  other.Update(std::numeric_limits<float>::infinity());
  other.Update(std::numeric_limits<float>::quiet_NaN());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("non-finite"), std::string::npos);
  other.Update(0.5f);
  EXPECT_EQ(other.amount, 2u);
}

TEST(PoolTest, IncreaseAndDecreaseHoldAtTheBoundsWithoutWrapping) {
  Pool full(0xFFFFFFFEu, 0xFFFFFFFFu, 0);
  full.Increase();
  full.Increase();
  EXPECT_EQ(full.GetAmount(), 0xFFFFFFFFu);
  Pool over(9, 5, 0);  // above its capacity, as a file may give it
  over.Increase();
  EXPECT_EQ(over.amount, 5u);
  Pool low(2, 10, 2);
  low.Decrease(7);
  EXPECT_EQ(low.amount, 2u);
}

}  // namespace
