// The headless runner as people use it: a separate process with arguments.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Result {
  int status = -1;
  std::string output;  // standard output and standard error
};

Result RunSim(const std::string& arguments) {
  const std::string command = std::string(VELMARIS_SIM_PATH) + " " + arguments + " 2>&1";
  Result result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 512> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) result.output += buffer.data();
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(SimRunnerTest, RunsTheGameFromItsFirstState) {
  const Result result = RunSim("--frames 600");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("frame 1: state -3 -> 7\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("frames: 600, state: 7\n"), std::string::npos) << result.output;
}

TEST(SimRunnerTest, StateOutsideTheTableRunsOnCallingNothing) {
  const Result result = RunSim("--frames 2 --state 13");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("frame 1: state -3 -> 13\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("frames: 2, state: 13\n"), std::string::npos) << result.output;
}

TEST(SimRunnerTest, SandboxStatesPrintAndReturnToEmptyOnKeyZero) {
  const std::string script = testing::TempDir() + "key0.jsonl";
  FILE* file = std::fopen(script.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("{\"frame\":3,\"key\":\"0\",\"down\":true}\n", file);
  std::fclose(file);
  const Result result = RunSim("--state 10 --frames 5 --input " + script);
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("SBZorbel: init\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("SBZorbel: exit\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("frame 4: state 10 -> 0\n"), std::string::npos) << result.output;
}

TEST(SimRunnerTest, ClosingTheWindowEndsTheRun) {
  const std::string script = testing::TempDir() + "close.jsonl";
  FILE* file = std::fopen(script.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("{\"frame\":5,\"close\":true}\n", file);
  std::fclose(file);
  const Result result = RunSim("--frames 100 --input " + script);
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("frames: 4, state: 7\n"), std::string::npos) << result.output;
}

TEST(SimRunnerTest, BadArgumentsExitTwoWithUsage) {
  for (const char* arguments : {"--frames", "--frames ten", "--dt -1", "--bogus 1", "--screenshot 2"}) {
    const Result result = RunSim(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_NE(result.output.find("usage: velmaris-sim"), std::string::npos) << arguments;
  }
}

TEST(SimRunnerTest, BrokenInputScriptIsAnErrorNamingTheLine) {
  const std::string script = testing::TempDir() + "broken.jsonl";
  FILE* file = std::fopen(script.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("{\"frame\":1,\"close\":true}\n{\"frame\":2,\n", file);
  std::fclose(file);
  const Result result = RunSim("--input " + script);
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find("broken.jsonl:2: not JSON"), std::string::npos) << result.output;
}

}  // namespace
