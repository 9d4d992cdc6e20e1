#include "core/frame_rate_controller.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kMs = 1'000'000;  // nanoseconds

// A controller on a manual clock that has already taken its first frame.
struct Paced {
  explicit Paced(float target = 60.0f, float minimum = 40.0f,
                 core::FrameRateController::Pacing pacing = core::FrameRateController::kCoarsePacing)
      : controller(target, minimum, clock, pacing) {
    controller.WaitForFrame();
  }
  // Lets a frame's work take the given time, then waits for the next frame.
  void Frame(std::int64_t workNanoseconds) {
    clock.Advance(workNanoseconds);
    controller.WaitForFrame();
  }
  core::ManualClock clock{100'000};  // each reading moves time on by 0.1 ms
  core::FrameRateController controller;
};

TEST(FrameRateControllerTest, FirstFrameTakesTheTimeOnlyAndReportsZero) {
  core::ManualClock clock;
  clock.Advance(5 * kMs);
  core::FrameRateController controller(60.0f, 40.0f, clock);
  controller.WaitForFrame();
  EXPECT_EQ(controller.FrameTime(), 0.0f);
  EXPECT_EQ(controller.FrameStart(), 5 * kMs);
  EXPECT_EQ(clock.Reads(), 1);
  EXPECT_EQ(clock.Sleeps(), 0);
}

TEST(FrameRateControllerTest, SixteenMillisecondFrameSpinsOnceAndEnds) {
  Paced paced;
  const int readsBefore = paced.clock.Reads();
  paced.Frame(16 * kMs);
  EXPECT_EQ(paced.clock.Sleeps(), 0);
  EXPECT_EQ(paced.clock.Reads() - readsBefore, 2) << "one measuring read and one spin";
}

TEST(FrameRateControllerTest, TenMillisecondFrameSpinsWithoutSleeping) {
  Paced paced;
  paced.Frame(10 * kMs);
  EXPECT_EQ(paced.clock.Sleeps(), 0);
  // The spin stops once at most 1 ms of the 1/60 s period is left.
  EXPECT_GE(paced.controller.FrameTime(), 1.0f / 60.0f - 0.001f);
  EXPECT_LT(paced.controller.FrameTime(), 1.0f / 60.0f - 0.001f + 0.0002f);
}

TEST(FrameRateControllerTest, OneMillisecondFrameAsksForAZeroSleepThenSpins) {
  Paced paced;
  paced.Frame(1 * kMs);
  EXPECT_EQ(paced.clock.Sleeps(), 1);
  EXPECT_EQ(paced.clock.SleptMilliseconds(), 0) << "trunc((0.01567 - 0.015) x 1000) = 0";
  EXPECT_GE(paced.controller.FrameTime(), 1.0f / 60.0f - 0.001f);
}

TEST(FrameRateControllerTest, ThirtyFramesPerSecondSleepsSeventeenMilliseconds) {
  Paced paced(30.0f);
  paced.Frame(1 * kMs);
  EXPECT_EQ(paced.clock.SleptMilliseconds(), 17);
  EXPECT_GE(paced.controller.FrameTime(), 1.0f / 30.0f - 0.001f);
}

TEST(FrameRateControllerTest, LongFrameIsCappedAndTheNextIsMeasuredFromItsEnd) {
  Paced paced;
  paced.Frame(100 * kMs);
  EXPECT_FLOAT_EQ(paced.controller.FrameTime(), 0.025f);
  EXPECT_EQ(paced.clock.Sleeps(), 0);
  const std::int64_t end = paced.controller.FrameEnd();
  paced.Frame(16 * kMs);
  EXPECT_EQ(paced.controller.FrameStart(), end);
}

TEST(FrameRateControllerTest, FrameBetweenTargetAndCapIsReportedAsItIs) {
  Paced paced;
  paced.Frame(20 * kMs);
  EXPECT_NEAR(paced.controller.FrameTime(), 0.020f, 0.0002f);
  EXPECT_EQ(paced.clock.Sleeps(), 0);
}

TEST(FrameRateControllerTest, TargetZeroNeverWaitsButStillCaps) {
  Paced unpaced(0.0f);
  unpaced.Frame(1 * kMs);
  EXPECT_NEAR(unpaced.controller.FrameTime(), 0.001f, 0.0002f);
  unpaced.Frame(60 * kMs);
  EXPECT_FLOAT_EQ(unpaced.controller.FrameTime(), 0.025f);
  EXPECT_EQ(unpaced.clock.Sleeps(), 0);
}

TEST(FrameRateControllerTest, MinimumZeroCapsAtOneSecond) {
  Paced paced(60.0f, 0.0f);
  paced.Frame(3000 * kMs);
  EXPECT_FLOAT_EQ(paced.controller.FrameTime(), 1.0f);
}

TEST(FrameRateControllerTest, FinePacingSleepsToJustBeforeTheDeadlineAndNeverEndsEarly) {
  core::ManualClock clock(10'000);                            // each reading moves time on by 0.01 ms
  core::FrameRateController controller(60.0f, 40.0f, clock);  // the default: fine pacing
  controller.WaitForFrame();
  const auto period = static_cast<std::int64_t>(static_cast<double>(1.0f / 60.0f) * 1e9);
  for (const std::int64_t work : {1 * kMs, 9 * kMs, 16 * kMs + 500'000, 16 * kMs + 600'000}) {
    const std::int64_t start = controller.FrameEnd();
    const int sleeps = clock.Sleeps();
    clock.Advance(work);
    controller.WaitForFrame();
    EXPECT_GE(controller.FrameEnd() - start, period) << "work " << work;
    EXPECT_LT(controller.FrameEnd() - start, period + 20'000) << "ends on the period, not a whole step later";
    // More than the margin left: one sleep, to 0.25 ms before the deadline.
    const bool slept = period - work > 250'000;
    EXPECT_EQ(clock.Sleeps() - sleeps, slept ? 1 : 0) << "work " << work;
    if (slept) {
      EXPECT_EQ(clock.LastDeadline(), start + period - 250'000);
    }
  }
  EXPECT_EQ(clock.SleptMilliseconds(), 0) << "no whole-millisecond sleeps";
}

TEST(FrameRateControllerTest, FrameTimeConvertsNanosecondsAsTheLoopDoes) {
  EXPECT_FLOAT_EQ(core::NanosecondsToSeconds(16'666'667), 0.016666667f);
  EXPECT_EQ(core::NanosecondsToSeconds(0), 0.0f);
}

}  // namespace
