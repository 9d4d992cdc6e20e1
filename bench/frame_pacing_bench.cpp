// Frame pacing on the real clock: how far each paced frame period is from 1/60 s,
// and how much of a core the sleep-and-spin wait burns.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/clock.h"
#include "core/frame_rate_controller.h"

namespace {

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr int kFrames = 600;  // 10 s at 60 frames per second
constexpr double kPeriod = 1.0 / 60.0;

// Runs `waitForFrame` (which returns the frame's period in seconds) kFrames times
// and reports the median and p99 distance from 1/60 s and the CPU share used.
template <typename Wait>
void MeasurePacing(benchmark::State& state, Wait waitForFrame) {
  core::SteadyClock clock;
  std::vector<double> errors;
  errors.reserve(kFrames);
  const double cpuStart = ProcessCpuSeconds();
  const auto wallStart = clock.NowNanoseconds();
  for (int i = 0; i < kFrames; ++i) errors.push_back(std::abs(waitForFrame() - kPeriod) * 1e3);
  const double wall = static_cast<double>(clock.NowNanoseconds() - wallStart) * 1e-9;
  const double cpu = ProcessCpuSeconds() - cpuStart;
  std::sort(errors.begin(), errors.end());
  state.counters["median_error_ms"] = errors[errors.size() / 2];
  state.counters["p99_error_ms"] = errors[errors.size() * 99 / 100];
  state.counters["cpu_share_of_core"] = cpu / wall;
}

void PacedFrames(benchmark::State& state, core::FrameRateController::Pacing pacing) {
  for (auto _ : state) {
    core::SteadyClock clock;
    core::FrameRateController controller(60.0f, 40.0f, clock, pacing);
    controller.WaitForFrame();
    MeasurePacing(state, [&] {
      controller.WaitForFrame();
      return static_cast<double>(controller.FrameEnd() - controller.FrameStart()) * 1e-9;
    });
  }
}

void BM_PacedFramesFine(benchmark::State& state) {
  PacedFrames(state, core::FrameRateController::kFinePacing);
}
void BM_PacedFramesCoarse(benchmark::State& state) {
  PacedFrames(state, core::FrameRateController::kCoarsePacing);
}

// The yardstick measured beside them: sleep for 95% of what is left of the period
// with std::this_thread::sleep_for, then spin the last 5%.
void BM_PacedFramesSleepMostSpinFivePercent(benchmark::State& state) {
  for (auto _ : state) {
    core::SteadyClock clock;
    std::int64_t frameStart = clock.NowNanoseconds();
    MeasurePacing(state, [&] {
      const std::int64_t deadline = frameStart + static_cast<std::int64_t>(kPeriod * 1e9);
      const std::int64_t left = deadline - clock.NowNanoseconds();
      if (left > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(left * 95 / 100));
      std::int64_t now = clock.NowNanoseconds();
      while (now < deadline) now = clock.NowNanoseconds();
      const double period = static_cast<double>(now - frameStart) * 1e-9;
      frameStart = now;
      return period;
    });
  }
}

BENCHMARK(BM_PacedFramesFine)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_PacedFramesSleepMostSpinFivePercent)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_PacedFramesCoarse)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
