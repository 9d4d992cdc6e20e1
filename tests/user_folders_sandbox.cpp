// Every test process writes what the game writes for a player (settings, screenshots,
// recordings, self-test outputs, logs) into a folder of the test run, never into the
// home folder of whoever runs the tests: set before main, inherited by the programs
// the tests start.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace {

const bool kSandboxed = [] {
  const std::filesystem::path home = std::filesystem::path(testing::TempDir()) / "velmaris-test-home";
  for (const auto& [variable, folder] :
       {std::pair{"XDG_CONFIG_HOME", "config"}, std::pair{"XDG_DATA_HOME", "data"},
        std::pair{"XDG_CACHE_HOME", "cache"}, std::pair{"XDG_STATE_HOME", "state"}}) {
    ::setenv(variable, (home / folder).c_str(), 1);
  }
  ::unsetenv("XDG_PICTURES_DIR");
  return true;
}();

}  // namespace
