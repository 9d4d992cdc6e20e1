// Command line of the headless runner.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/command_line.h"

namespace sim {

struct Screenshot {
  long long frame = 0;
  std::string path;
};

struct Options {
  base::CommonOptions common;     // --help, --version, --data, --dev
  std::optional<int> startState;  // default: the game's first state
  long long frames = 1;
  float dt = 1.0f / 60.0f;
  std::string inputScript;               // empty: no scripted input
  std::vector<std::string> steerRoutes;  // route files the steering planner flies, in order
  std::string recordPath;                // where the planner writes the input it made
  std::vector<std::string> levels;       // loaded before the first frame, in order
  std::string dumpPath;                  // empty: no dump
  std::string audioLogPath;              // empty: no audio log
  std::vector<Screenshot> screenshots;
  bool realWindow = false;
  long long hashEvery = 0;                 // 0: no hashes; else a dump hash every N frames
  std::string overviewPath;                // empty: no overview picture
  std::string statsPath;                   // empty: no run statistics
  bool validate = false;                   // check data files instead of running
  std::vector<std::string> validateFiles;  // empty: every level, menu and prefab file
  bool schema = false;                     // write the level file schema instead of running
  std::string schemaPath;                  // empty: to standard output
  std::string referenceDir;                // empty: no reference; else write it there and run nothing
};

// Throws base::UsageError for arguments the runner cannot take.
Options ParseOptions(int argc, const char* const* argv);

// The --help text, made from the same table the parser reads.
std::string Help();
// The usage lines alone, shown under a wrong argument.
std::string Usage();

}  // namespace sim
