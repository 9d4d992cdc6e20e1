#include "core/clock.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <time.h>

namespace core {

std::int64_t SteadyClock::NowNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void SteadyClock::SleepUntilNanoseconds(std::int64_t deadline) {
  const timespec until{static_cast<time_t>(deadline / 1'000'000'000),
                       static_cast<long>(deadline % 1'000'000'000)};
  // A signal cuts the sleep short; the deadline is absolute, so sleeping again is exact.
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

void SteadyClock::SleepMilliseconds(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::int64_t ManualClock::NowNanoseconds() {
  ++reads_;
  const std::int64_t reading = now_;
  now_ += step_;
  return reading;
}

void ManualClock::SleepMilliseconds(int milliseconds) {
  ++sleeps_;
  if (milliseconds <= 0) return;
  sleptMilliseconds_ += milliseconds;
  now_ += static_cast<std::int64_t>(milliseconds) * 1'000'000;
}

void ManualClock::SleepUntilNanoseconds(std::int64_t deadline) {
  ++sleeps_;
  lastDeadline_ = deadline;
  if (deadline > now_) now_ = deadline;
}

}  // namespace core
