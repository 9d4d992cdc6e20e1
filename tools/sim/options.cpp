#include "options.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace sim {
namespace {

using base::UsageError;

template <typename Number>
Number ParseNumber(std::string_view option, std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw UsageError{std::string(option) + " needs a number, not \"" + std::string(text) + "\""};
  }
  return value;
}

Screenshot ParseScreenshot(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos || colon + 1 == text.size()) {
    throw UsageError{"--screenshot needs FRAME:FILE.png, not \"" + std::string(text) + "\""};
  }
  Screenshot shot;
  shot.frame = ParseNumber<long long>("--screenshot", text.substr(0, colon));
  shot.path = std::string(text.substr(colon + 1));
  if (shot.frame < 1) throw UsageError{"--screenshot frames count from 1"};
  return shot;
}

// The runner's command line, filling `options`. Its usage lines and help come from it.
base::CommandLine Declare(Options& o) {
  base::CommandLine line("velmaris-sim",
                         {"[OPTION]...", "[--data DIR] --validate [FILE]...",
                          "--schema [FILE] | --reference DIR", "--help | --version"},
                         "Runs Velmaris without a screen, at a fixed frame time, with scripted input;\n"
                         "or checks data files (--validate); or describes them (--schema, --reference).");
  base::AddCommonOptions(line, o.common);
  line.Add({"--state", "N", "start in game state N (1, 3, 5 the levels, 7 the logos)",
            [&o](std::string_view v) { o.startState = ParseNumber<int>("--state", v); }});
  line.Add({"--frames", "N", "run N frames (1 when not given)", [&o](std::string_view v) {
              o.frames = ParseNumber<long long>("--frames", v);
              if (o.frames < 0) throw UsageError{"--frames must not be negative"};
            }});
  line.Add({"--dt", "SECONDS", "the time of each frame (1/60 when not given)", [&o](std::string_view v) {
              o.dt = ParseNumber<float>("--dt", v);
              if (!std::isfinite(o.dt) || o.dt < 0.0f) {
                throw UsageError{"--dt must be a finite number of seconds, 0 or more"};
              }
            }});
  line.Add({"--input", "FILE", "feed the scripted events of FILE (one JSON object a line)",
            [&o](std::string_view v) { o.inputScript = v; }});
  line.Add({"--steer", "ROUTE.json", "fly the player along a route of waypoints (several in turn)",
            [&o](std::string_view v) { o.steerRoutes.emplace_back(v); }});
  line.Add({"--record", "FILE.jsonl", "write the input the --steer planner made",
            [&o](std::string_view v) { o.recordPath = v; }});
  line.Add({"--load", "LEVELFILE", "load a level file before the first frame (several in turn)",
            [&o](std::string_view v) { o.levels.emplace_back(v); }});
  line.Add({"--dump", "FILE", "write every space, object and component as JSON at the end",
            [&o](std::string_view v) { o.dumpPath = v; }});
  line.Add({"--screenshot", "FRAME:FILE.png", "save the picture of a frame (needs --real-window)",
            [&o](std::string_view v) { o.screenshots.push_back(ParseScreenshot(v)); }});
  line.Add({"--audio-log", "FILE", "write every call into the sound system",
            [&o](std::string_view v) { o.audioLogPath = v; }});
  line.Add({"--real-window", "", "draw in a real window with OpenGL",
            [&o](std::string_view) { o.realWindow = true; }});
  line.Add(
      {"--overview", "FILE.png",
       "draw the whole loaded level (or the custom level of --level) into one picture, as a custom level's "
       "preview.png is made (needs --real-window)",
       [&o](std::string_view v) { o.overviewPath = v; }});
  line.Add({"--stats", "FILE.json",
            "write each frame's wall time in ms, when the first was presented and the resident memory",
            [&o](std::string_view v) { o.statsPath = v; }});
  line.Add({"--hash-every", "N", "print a hash of the whole state every N frames", [&o](std::string_view v) {
              o.hashEvery = ParseNumber<long long>("--hash-every", v);
              if (o.hashEvery < 1) throw UsageError{"--hash-every needs a number of frames from 1"};
            }});
  line.Add({"--validate", "FILE",
            "check data files (every one under data/ when none is named) and run nothing",
            [&o](std::string_view v) {
              o.validate = true;
              if (!v.empty()) o.validateFiles.emplace_back(v);
            },
            /*takesList=*/true});
  line.Add({"--schema", "FILE", "write the JSON Schema of level and prefab files (to standard output)",
            [&o](std::string_view v) {
              if (!v.empty() && !o.schemaPath.empty()) throw UsageError{"--schema writes one file"};
              o.schema = true;
              o.schemaPath = v;
            },
            /*takesList=*/true});
  line.Add({"--reference", "DIR", "write the level makers' reference (Markdown) into DIR",
            [&o](std::string_view v) { o.referenceDir = v; }});
  return line;
}

}  // namespace

Options ParseOptions(int argc, const char* const* argv) {
  Options options;
  Declare(options).Parse(argc, argv);
  if (!options.recordPath.empty() && options.steerRoutes.empty()) throw UsageError{"--record needs --steer"};
  if (!options.steerRoutes.empty() && !options.inputScript.empty()) {
    throw UsageError{"--steer and --input cannot be used together: the planner makes the input"};
  }
  return options;
}

std::string Help() {
  Options unused;
  return Declare(unused).Help();
}

std::string Usage() {
  Options unused;
  return Declare(unused).Usage();
}

}  // namespace sim
