// The runner's --stats file: one wall time per frame run, the first present on the
// steady clock and the resident memory, read as a benchmark driver reads them.
#include <chrono>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <unistd.h>

#include "run_sim.h"

namespace {

using sim_testing::ReadFile;
using sim_testing::Result;
using sim_testing::RunSim;

std::string ScratchPath(const std::string& name) {
  return ::testing::TempDir() + "velmaris_run_stats_" + std::to_string(::getpid()) + "_" + name;
}

double SteadyNowSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

TEST(RunStatsTest, HoldsOneTimePerFrameTheFirstPresentAndTheMemory) {
  const std::string path = ScratchPath("stats.json");
  for (const long long frames : {1LL, 4LL}) {
    const double before = SteadyNowSeconds();
    const Result result = RunSim("--state 3 --frames " + std::to_string(frames) + " --stats " + path);
    const double after = SteadyNowSeconds();
    ASSERT_EQ(result.status, 0) << result.output;
    rapidjson::Document stats;
    stats.Parse(ReadFile(path).c_str());
    ASSERT_TRUE(stats.IsObject()) << ReadFile(path);
    EXPECT_EQ(stats["frames"].GetInt64(), frames);
    ASSERT_EQ(stats["frame_ms"].Size(), static_cast<rapidjson::SizeType>(frames));
    for (const rapidjson::Value& ms : stats["frame_ms"].GetArray()) EXPECT_GE(ms.GetDouble(), 0.0);
    // The first present happened inside this run, on the clock the driver reads.
    EXPECT_GT(stats["first_present_s"].GetDouble(), before);
    EXPECT_LT(stats["first_present_s"].GetDouble(), after);
    EXPECT_GT(stats["rss_kb"].GetInt64(), 1000);
    EXPECT_GE(stats["peak_rss_kb"].GetInt64(), stats["rss_kb"].GetInt64());
  }
  std::remove(path.c_str());
}

TEST(RunStatsTest, UnwritableFileExitsOneNamingIt) {
  const std::string path = ScratchPath("missing_folder/stats.json");
  const Result result = RunSim("--state 3 --frames 1 --stats " + path);
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find(path + ": cannot write the run statistics"), std::string::npos)
      << result.output;
}

}  // namespace
