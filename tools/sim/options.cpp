#include "options.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace sim {

const char* const kUsage =
    "usage: velmaris-sim [--data DIR] [--state N] [--frames N] [--dt SECONDS]\n"
    "                    [--input FILE | --steer ROUTE.json... [--record FILE.jsonl]]\n"
    "                    [--load LEVELFILE]... [--dump FILE] [--screenshot FRAME:FILE.png]...\n"
    "                    [--audio-log FILE] [--real-window] [--overview FILE.png] [--hash-every N]\n"
    "                    [--dev]\n"
    "       velmaris-sim [--data DIR] --validate [FILE]...\n"
    "       velmaris-sim --help";

namespace {

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

}  // namespace

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--real-window") {
      options.realWindow = true;
      continue;
    }
    if (option == "--validate") {
      options.validate = true;
      while (i + 1 < argc && std::string_view(argv[i + 1]).rfind("--", 0) != 0) {
        options.validateFiles.emplace_back(argv[++i]);
      }
      continue;
    }
    if (option == "--dev") {
      options.dev = true;
      continue;
    }
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (i + 1 >= argc) throw UsageError{std::string(option) + " needs a value"};
    const std::string_view value = argv[++i];
    if (option == "--data") {
      options.dataDir = value;
    } else if (option == "--state") {
      options.startState = ParseNumber<int>(option, value);
    } else if (option == "--frames") {
      options.frames = ParseNumber<long long>(option, value);
      if (options.frames < 0) throw UsageError{"--frames must not be negative"};
    } else if (option == "--dt") {
      options.dt = ParseNumber<float>(option, value);
      if (!std::isfinite(options.dt) || options.dt < 0.0f) {
        throw UsageError{"--dt must be a finite number of seconds, 0 or more"};
      }
    } else if (option == "--input") {
      options.inputScript = value;
    } else if (option == "--steer") {
      options.steerRoutes.emplace_back(value);
    } else if (option == "--record") {
      options.recordPath = value;
    } else if (option == "--load") {
      options.levels.emplace_back(value);
    } else if (option == "--dump") {
      options.dumpPath = value;
    } else if (option == "--hash-every") {
      options.hashEvery = ParseNumber<long long>(option, value);
      if (options.hashEvery < 1) throw UsageError{"--hash-every needs a number of frames from 1"};
    } else if (option == "--overview") {
      options.overviewPath = value;
    } else if (option == "--audio-log") {
      options.audioLogPath = value;
    } else if (option == "--screenshot") {
      options.screenshots.push_back(ParseScreenshot(value));
    } else {
      throw UsageError{"unknown option " + std::string(option)};
    }
  }
  if (!options.recordPath.empty() && options.steerRoutes.empty()) throw UsageError{"--record needs --steer"};
  if (!options.steerRoutes.empty() && !options.inputScript.empty()) {
    throw UsageError{"--steer and --input cannot be used together: the planner makes the input"};
  }
  return options;
}

}  // namespace sim
