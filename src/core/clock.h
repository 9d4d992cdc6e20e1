// Time sources for frame pacing: a monotonic nanosecond clock and a sleep.
// The steady clock measures real time; the manual clock lets tests and the
// headless runner decide what time it is.
#pragma once

#include <cstdint>

namespace core {

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic time in nanoseconds; only differences mean anything.
  virtual std::int64_t NowNanoseconds() = 0;
  // Blocks for about the given number of whole milliseconds.
  virtual void SleepMilliseconds(int milliseconds) = 0;
  // Blocks until the clock reads at least `deadline` nanoseconds (give or take the
  // platform's timer slack, tens of microseconds on Linux); returns at once when
  // the deadline has passed.
  virtual void SleepUntilNanoseconds(std::int64_t deadline) = 0;
};

// The monotonic clock (CLOCK_MONOTONIC, which std::chrono::steady_clock reads too)
// and clock_nanosleep to an absolute time on it.
class SteadyClock final : public Clock {
 public:
  std::int64_t NowNanoseconds() override;
  void SleepMilliseconds(int milliseconds) override;
  void SleepUntilNanoseconds(std::int64_t deadline) override;
};

// A clock that moves only when told to: each reading advances it by a fixed
// step (so that a busy wait ends), each sleep by the time slept.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::int64_t stepPerReadNanoseconds = 0) : step_(stepPerReadNanoseconds) {}

  std::int64_t NowNanoseconds() override;
  void SleepMilliseconds(int milliseconds) override;
  // Moves the clock on to the deadline (never back).
  void SleepUntilNanoseconds(std::int64_t deadline) override;

  void Advance(std::int64_t nanoseconds) { now_ += nanoseconds; }
  void SetStepPerRead(std::int64_t nanoseconds) { step_ = nanoseconds; }
  int Reads() const { return reads_; }
  // Total of all sleeps asked for, and the number of sleep calls.
  std::int64_t SleptMilliseconds() const { return sleptMilliseconds_; }
  int Sleeps() const { return sleeps_; }
  // The deadline of the last SleepUntilNanoseconds, or -1 before any.
  std::int64_t LastDeadline() const { return lastDeadline_; }

 private:
  std::int64_t now_ = 0;
  std::int64_t step_;
  int reads_ = 0;
  std::int64_t sleptMilliseconds_ = 0;
  int sleeps_ = 0;
  std::int64_t lastDeadline_ = -1;
};

}  // namespace core
