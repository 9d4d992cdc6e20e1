// Paces the frame loop to a target rate with a sleep and a short busy wait, and caps
// the frame time so that a stall never becomes one huge simulation step.
#pragma once

#include <cstdint>

#include "core/clock.h"

namespace core {

class FrameRateController {
 public:
  // How close to the deadline the controller sleeps and spins, in seconds.
  struct Pacing {
    // The sleep stops this long before the end of the period, to cover the
    // coarseness of the platform's sleep.
    float sleepMargin;
    // The busy wait stops once no more than this much of the period is left.
    float spinTolerance;
    // Sleep to an absolute deadline with sub-millisecond precision, instead of a
    // whole number of milliseconds rounded down.
    bool sleepToDeadline;
  };
  // A coarse-sleep platform: whole milliseconds, a 15 ms margin and 1 ms tolerance.
  static constexpr Pacing kCoarsePacing{0.015f, 0.001f, false};
  // Linux: an absolute sleep wakes within the timer slack (tens of microseconds), so
  // the busy wait covers only a quarter millisecond (about 1.5% of a core at 60
  // frames per second) and ends exactly on the period. See bench/frame_pacing_bench.cpp.
  static constexpr Pacing kFinePacing{0.00025f, 0.0f, true};

  // Rates in frames per second; a rate of 0 disables pacing (target) or the cap
  // (minimum, which then caps at 1 s). The clock is not owned and must outlive this.
  FrameRateController(float targetRate, float minimumRate, Clock& clock, Pacing pacing = kFinePacing);

  // Called at the start of every frame: measures the frame since the previous call
  // and waits until the target period has passed. The first call only takes the time.
  void WaitForFrame();

  // The frame just measured, in clock nanoseconds.
  std::int64_t FrameStart() const { return frameStart_; }
  std::int64_t FrameEnd() const { return frameEnd_; }

  // (frame end - frame start) in seconds, at most the maximum frame time.
  float FrameTime() const;
  // The frame as the clock measured it, in seconds, before the cap: what a clock on
  // the wall saw pass.
  float RealFrameTime() const;

  // Seconds per frame at the target rate; 0 when the target rate is 0.
  float TargetPeriod() const;
  // The cap on a reported frame time, in seconds: 1 / minimum rate (1 when 0).
  float MaximumFrameTime() const;

 private:
  float targetRate_;
  float minimumRate_;
  Clock& clock_;
  Pacing pacing_;
  std::int64_t frameStart_ = 0;
  std::int64_t frameEnd_ = 0;
  std::int64_t uncappedStart_ = 0;  // the previous frame's end, which the cap moves frameStart_ past
  bool firstFrame_ = true;
};

// Seconds between two clock readings, as the frame loop computes its dt:
// nanoseconds to float, then / 1,000,000 and / 1000.
float NanosecondsToSeconds(std::int64_t nanoseconds);

}  // namespace core
