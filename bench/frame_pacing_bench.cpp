// Frame pacing on the real clock: how far each paced frame period is from 1/60 s,
// and how much of a core the sleep-and-spin wait burns.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "core/clock.h"
#include "core/frame_rate_controller.h"

namespace {

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void PacedFrames(benchmark::State& state, core::FrameRateController::Pacing pacing) {
  constexpr int kFrames = 600;  // 10 s at 60 frames per second
  for (auto _ : state) {
    core::SteadyClock clock;
    core::FrameRateController controller(60.0f, 40.0f, clock, pacing);
    std::vector<double> errors;
    errors.reserve(kFrames);
    const double cpuStart = ProcessCpuSeconds();
    const auto wallStart = clock.NowNanoseconds();
    controller.WaitForFrame();
    for (int i = 0; i < kFrames; ++i) {
      controller.WaitForFrame();
      const double period = static_cast<double>(controller.FrameEnd() - controller.FrameStart()) * 1e-9;
      errors.push_back(std::abs(period - 1.0 / 60.0) * 1e3);
    }
    const double wall = static_cast<double>(clock.NowNanoseconds() - wallStart) * 1e-9;
    const double cpu = ProcessCpuSeconds() - cpuStart;
    std::sort(errors.begin(), errors.end());
    state.counters["median_error_ms"] = errors[errors.size() / 2];
    state.counters["p99_error_ms"] = errors[errors.size() * 99 / 100];
    state.counters["cpu_share_of_core"] = cpu / wall;
  }
}

void BM_PacedFramesFine(benchmark::State& state) {
  PacedFrames(state, core::FrameRateController::kFinePacing);
}
void BM_PacedFramesCoarse(benchmark::State& state) {
  PacedFrames(state, core::FrameRateController::kCoarsePacing);
}

BENCHMARK(BM_PacedFramesFine)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_PacedFramesCoarse)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
