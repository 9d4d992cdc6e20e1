// Running the built headless runner as people use it: a separate process with
// arguments, its standard output and error together.
#pragma once

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>

namespace sim_testing {

struct Result {
  int status = -1;
  std::string output;  // standard output and standard error
};

inline Result RunSim(const std::string& arguments) {
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

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A committed input script of tests/tools/scripts/.
inline std::string Script(const std::string& name) {
  return std::string(VELMARIS_SOURCE_DIR) + "/tests/tools/scripts/" + name;
}

}  // namespace sim_testing
