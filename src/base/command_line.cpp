#include "base/command_line.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace base {

CommandLine::CommandLine(std::string program, std::vector<std::string> synopsis, std::string summary)
    : program_(std::move(program)), synopsis_(std::move(synopsis)), summary_(std::move(summary)) {}

void CommandLine::Add(CommandOption option) { options_.push_back(std::move(option)); }

const CommandOption* CommandLine::Find(std::string_view name) const {
  for (const CommandOption& option : options_) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

void CommandLine::Parse(int argc, const char* const* argv) const {
  auto isOption = [](std::string_view argument) { return argument.rfind("--", 0) == 0; };
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const CommandOption* option = Find(argument == "-h" ? "--help" : argument);
    if (option == nullptr) {
      throw UsageError{isOption(argument) || argument.rfind('-', 0) == 0
                           ? "unknown option " + std::string(argument)
                           : "unexpected argument \"" + std::string(argument) + "\""};
    }
    if (option->takesList) {
      option->take({});
      while (i + 1 < argc && !isOption(argv[i + 1])) option->take(argv[++i]);
    } else if (option->valueName.empty()) {
      option->take({});
    } else {
      if (i + 1 >= argc)
        throw UsageError{option->name + " needs a value: " + option->name + " " + option->valueName};
      option->take(argv[++i]);
    }
  }
}

std::string CommandLine::Usage() const {
  std::ostringstream text;
  for (std::size_t i = 0; i < synopsis_.size(); ++i) {
    text << (i == 0 ? "usage: " : "       ") << program_ << ' ' << synopsis_[i] << '\n';
  }
  return text.str();
}

std::string CommandLine::Help() const {
  std::ostringstream text;
  text << Usage() << '\n' << summary_ << "\n\noptions:\n";
  auto shown = [](const CommandOption& option) {
    if (option.valueName.empty()) return option.name;
    return option.name + " " + (option.takesList ? "[" + option.valueName + "]..." : option.valueName);
  };
  std::size_t width = 0;
  for (const CommandOption& option : options_) width = std::max(width, shown(option).size());
  for (const CommandOption& option : options_) {
    const std::string left = shown(option);
    text << "  " << left << std::string(width - left.size() + 2, ' ') << option.help << '\n';
  }
  return text.str();
}

void AddCommonOptions(CommandLine& line, CommonOptions& options) {
  line.Add({"--help", "", "print this help and exit", [&options](std::string_view) { options.help = true; }});
  line.Add({"--version", "", "print the version and exit",
            [&options](std::string_view) { options.version = true; }});
  line.Add({"--data", "DIR", "read the game's data from DIR instead of the installed data folder",
            [&options](std::string_view value) { options.dataDir = value; }});
  line.Add({"--level", "FILE",
            "play the level file FILE (its pictures, scripts and prefabs are looked up beside it first)",
            [&options](std::string_view value) {
              options.levelFile =
                  std::filesystem::absolute(std::filesystem::path(value)).lexically_normal().string();
            }});
  line.Add({"--dev", "", "reload level, menu and prefab files, pictures and scripts when they change",
            [&options](std::string_view) { options.dev = true; }});
}

std::string VersionLine(std::string_view program) { return std::string(program) + " " + VELMARIS_VERSION; }

}  // namespace base
