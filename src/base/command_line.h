// Command lines in the manner of other Linux programs: a table of options from which
// both the parsing and the --help text are made, so the two cannot drift apart.
// The game and the headless runner share it and the options common to both.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// An argument the program cannot take; the text says which and why. Programs print
// it with their usage on standard error and exit with 2.
struct UsageError {
  std::string message;
};

struct CommandOption {
  std::string name;       // "--data"
  std::string valueName;  // "DIR"; empty: a switch without a value
  std::string help;       // one line for --help
  // Called for each use, with the value (empty for a switch); may throw UsageError.
  std::function<void(std::string_view value)> take;
  // Takes every following argument up to the next option, each through `take`
  // ("--validate [FILE]..."); `valueName` then names one of them.
  bool takesList = false;
};

class CommandLine {
 public:
  // `synopsis`: the usage lines after the program's name, e.g. "[OPTION]...".
  CommandLine(std::string program, std::vector<std::string> synopsis, std::string summary);

  void Add(CommandOption option);
  // Runs each option's `take` in command-line order. Throws UsageError for an
  // unknown option, a missing value or an argument that is no option.
  void Parse(int argc, const char* const* argv) const;
  // The usage lines, the summary and one line per option, in the order added.
  std::string Help() const;
  // The usage lines alone, for a message about a wrong argument.
  std::string Usage() const;

 private:
  const CommandOption* Find(std::string_view name) const;

  std::string program_;
  std::vector<std::string> synopsis_;
  std::string summary_;
  std::vector<CommandOption> options_;
};

// What both programs take: --help, --version, --data DIR, --dev.
struct CommonOptions {
  bool help = false;
  bool version = false;
  bool dev = false;     // reload data files when they change on disk
  std::string dataDir;  // empty: found from where the program is
  // A level file to play instead of the game's levels, made absolute as given (the
  // program then enters its data folder); empty: none.
  std::string levelFile;
};
void AddCommonOptions(CommandLine& line, CommonOptions& options);

// "<program> <version>", the one line of --version.
std::string VersionLine(std::string_view program);

}  // namespace base
