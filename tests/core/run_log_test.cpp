// The log of the last runs: what is copied into it and how many runs are kept.
#include "core/run_log.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include <gmock/gmock.h>

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

TEST(RunLogTest, EachRunCopiesBothStreamsAndTheLastFiveRunsAreKept) {
  const fs::path folder = fs::path(testing::TempDir()) / "velmaris-run-log" / "state";
  fs::remove_all(folder.parent_path());
  for (int run = 1; run <= 7; ++run) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    {
      core::RunLog log(folder);
      ASSERT_TRUE(log.IsOpen());
      std::cout << "run " << run << std::endl;
      std::cerr << "problem " << run << std::endl;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "run " + std::to_string(run) + "\n")
        << "still on the console";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "problem " + std::to_string(run) + "\n");
  }
  EXPECT_EQ(Read(folder / "velmaris.log"), "run 7\nproblem 7\n");
  EXPECT_EQ(Read(folder / "velmaris.log.1"), "run 6\nproblem 6\n");
  EXPECT_EQ(Read(folder / "velmaris.log.4"), "run 3\nproblem 3\n");
  EXPECT_FALSE(fs::exists(folder / "velmaris.log.5"));
}

TEST(RunLogTest, AFolderThatCannotBeMadeIsSaidOnceAndTheStreamsGoOn) {
  const fs::path blocker = fs::path(testing::TempDir()) / "velmaris-run-log-blocker";
  std::ofstream(blocker) << "a file where the folder should be";
  testing::internal::CaptureStderr();
  {
    core::RunLog log(blocker / "state");
    EXPECT_FALSE(log.IsOpen());
    std::cerr << "after" << std::endl;
  }
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_THAT(
      said, testing::StartsWith("log: " + (blocker / "state" / "velmaris.log").string() + ": cannot write"));
  EXPECT_THAT(said, testing::EndsWith("after\n"));
  fs::remove(blocker);
}

}  // namespace
