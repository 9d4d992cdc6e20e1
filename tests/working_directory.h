// Folders of a test's own: the working directory for the length of a scope (tests
// that load data files by relative path move into a folder and must leave the process
// where it was, also when a failed ASSERT ends the test early), a scratch folder no
// other test process shares, and whole-file text reads and writes in it.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include <gtest/gtest.h>
#include <unistd.h>

namespace testing_support {

// A path under the test temp folder named after `tag`, this process and the running
// test, so tests run in parallel never write into each other's files. Not created.
inline std::filesystem::path ScratchFolder(const std::string& tag) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  return std::filesystem::path(testing::TempDir()) /
         ("velmaris-" + tag + "-" + std::to_string(::getpid()) + "-" + (test ? test->name() : "setup"));
}

// The path of a file `name` in the scratch folder of `tag`: the folder made, no file
// there yet.
inline std::filesystem::path ScratchFile(const std::string& tag, const std::string& name) {
  const std::filesystem::path folder = ScratchFolder(tag);
  std::filesystem::create_directories(folder);
  const std::filesystem::path path = folder / name;
  std::filesystem::remove(path);
  return path;
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path) << text;
}

// The whole file; empty when it cannot be read.
inline std::string ReadText(const std::filesystem::path& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

class ScopedWorkingDirectory {
 public:
  // Remembers the current working directory and moves into `directory`; throws
  // std::filesystem::filesystem_error (and changes nothing) when it cannot.
  explicit ScopedWorkingDirectory(const std::filesystem::path& directory)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(directory);
  }

  // Moves back; a failure to do so fails the running test instead of throwing.
  ~ScopedWorkingDirectory() {
    std::error_code error;
    std::filesystem::current_path(previous_, error);
    if (error) ADD_FAILURE() << "cannot return to " << previous_ << ": " << error.message();
  }

  ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
  ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

}  // namespace testing_support
