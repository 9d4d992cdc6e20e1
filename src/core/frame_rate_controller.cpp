#include "core/frame_rate_controller.h"

namespace core {

float NanosecondsToSeconds(std::int64_t nanoseconds) {
  return static_cast<float>(nanoseconds) / 1000000.0f / 1000.0f;
}

FrameRateController::FrameRateController(float targetRate, float minimumRate, Clock& clock, Pacing pacing)
    : targetRate_(targetRate), minimumRate_(minimumRate), clock_(clock), pacing_(pacing) {}

float FrameRateController::TargetPeriod() const { return targetRate_ == 0.0f ? 0.0f : 1.0f / targetRate_; }

float FrameRateController::MaximumFrameTime() const {
  return minimumRate_ == 0.0f ? 1.0f : 1.0f / minimumRate_;
}

float FrameRateController::FrameTime() const { return NanosecondsToSeconds(frameEnd_ - frameStart_); }

float FrameRateController::RealFrameTime() const { return NanosecondsToSeconds(frameEnd_ - uncappedStart_); }

void FrameRateController::WaitForFrame() {
  if (firstFrame_) {
    firstFrame_ = false;
    frameStart_ = frameEnd_ = uncappedStart_ = clock_.NowNanoseconds();
    return;
  }

  frameStart_ = uncappedStart_ = frameEnd_;
  frameEnd_ = clock_.NowNanoseconds();
  float elapsed = FrameTime();

  const float maximum = MaximumFrameTime();
  if (elapsed > maximum) {
    frameStart_ = frameEnd_ - static_cast<std::int64_t>(static_cast<double>(maximum) * 1e9);
    return;
  }
  if (targetRate_ == 0.0f) return;

  const float period = TargetPeriod();
  if (!(period > elapsed)) return;

  const float remaining = period - elapsed;
  if (pacing_.sleepToDeadline) {
    const auto deadline = frameStart_ + static_cast<std::int64_t>(static_cast<double>(period) * 1e9);
    const auto margin = static_cast<std::int64_t>(static_cast<double>(pacing_.sleepMargin) * 1e9);
    if (remaining > pacing_.sleepMargin) clock_.SleepUntilNanoseconds(deadline - margin);
    // No early end: the frame is over when its whole period has passed.
    do {
      frameEnd_ = clock_.NowNanoseconds();
    } while (frameEnd_ < deadline);
    return;
  }
  if (remaining > pacing_.sleepMargin) {
    clock_.SleepMilliseconds(static_cast<int>((remaining - pacing_.sleepMargin) * 1000.0f));
  }
  do {
    frameEnd_ = clock_.NowNanoseconds();
    elapsed = FrameTime();
  } while (period - elapsed > pacing_.spinTolerance);
}

}  // namespace core
