#include "core/clock.h"

#include <chrono>
#include <thread>

namespace core {

std::int64_t SteadyClock::NowNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
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

}  // namespace core
