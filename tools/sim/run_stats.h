// What a run cost: the wall time of each frame, when the first one was presented and
// the process's resident memory at the end, written as JSON for benchmark drivers.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// A kB figure of a /proc/<pid>/status text ("VmRSS", "VmHWM"); none when it is missing.
std::optional<long long> StatusKilobytes(std::string_view status, std::string_view field);

class RunStats {
 public:
  using Clock = std::chrono::steady_clock;

  // Call around each frame (its state step and its present).
  void FrameStarted() { frameStart_ = Clock::now(); }
  void FrameEnded();

  // Writes {"frames", "frame_ms": [...], "first_present_s", "rss_kb", "peak_rss_kb"};
  // first_present_s is the steady clock (CLOCK_MONOTONIC on Linux) in seconds when the
  // first frame had been presented, so that a driver can subtract its own start time.
  // False when the file cannot be written.
  bool Write(const std::string& path) const;

 private:
  Clock::time_point frameStart_;
  std::vector<double> frameMs_;
  double firstPresentS_ = 0.0;
};

}  // namespace sim
