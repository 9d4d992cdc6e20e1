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
};

// std::chrono::steady_clock and std::this_thread::sleep_for.
class SteadyClock final : public Clock {
 public:
  std::int64_t NowNanoseconds() override;
  void SleepMilliseconds(int milliseconds) override;
};

// A clock that moves only when told to: each reading advances it by a fixed
// step (so that a busy wait ends), each sleep by the time slept.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::int64_t stepPerReadNanoseconds = 0) : step_(stepPerReadNanoseconds) {}

  std::int64_t NowNanoseconds() override;
  void SleepMilliseconds(int milliseconds) override;

  void Advance(std::int64_t nanoseconds) { now_ += nanoseconds; }
  void SetStepPerRead(std::int64_t nanoseconds) { step_ = nanoseconds; }
  int Reads() const { return reads_; }
  // Total of all sleeps asked for, and the number of sleep calls.
  std::int64_t SleptMilliseconds() const { return sleptMilliseconds_; }
  int Sleeps() const { return sleeps_; }

 private:
  std::int64_t now_ = 0;
  std::int64_t step_;
  int reads_ = 0;
  std::int64_t sleptMilliseconds_ = 0;
  int sleeps_ = 0;
};

}  // namespace core
