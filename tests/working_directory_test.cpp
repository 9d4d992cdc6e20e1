// ScopedWorkingDirectory: back where it started however the scope ends, and a folder
// that cannot be entered changes nothing.
#include "working_directory.h"

#include <filesystem>
#include <stdexcept>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(ScopedWorkingDirectory, ReturnsWhenTheScopeEndsEarlyAndRefusesAMissingFolder) {
  const fs::path start = fs::current_path();
  const fs::path temp = fs::canonical(testing::TempDir());
  try {
    const testing_support::ScopedWorkingDirectory inTemp(temp);
    EXPECT_EQ(fs::current_path(), temp);
    throw std::runtime_error("test ends early");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(fs::current_path(), start);

  EXPECT_THROW(testing_support::ScopedWorkingDirectory(temp / "no-such-folder"), fs::filesystem_error);
  EXPECT_EQ(fs::current_path(), start);
}

}  // namespace
