// The command-line table: what it takes, what it refuses and the help it makes.
#include "base/command_line.h"

#include <filesystem>

#include <gmock/gmock.h>

namespace {

using testing::HasSubstr;

struct Taken {
  base::CommonOptions common;
  std::vector<std::string> files;
  std::string played;
};

base::CommandLine Declare(Taken& taken) {
  base::CommandLine line("tool", {"[OPTION]...", "--check [FILE]..."}, "Does a thing.");
  base::AddCommonOptions(line, taken.common);
  line.Add({"--play", "FILE", "play FILE", [&taken](std::string_view v) { taken.played = v; }});
  line.Add({"--check", "FILE", "check files",
            [&taken](std::string_view v) {
              if (!v.empty()) taken.files.emplace_back(v);
            },
            /*takesList=*/true});
  return line;
}

Taken Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "tool");
  Taken taken;
  Declare(taken).Parse(static_cast<int>(arguments.size()), arguments.data());
  return taken;
}

TEST(CommandLineTest, TakesSwitchesValuesAndListsInOrder) {
  const Taken taken = Parse({"--dev", "--data", "/srv/data", "--check", "a.txt", "b.txt", "--play", "x.txt",
                             "--level", "l/level.json", "-h"});
  EXPECT_TRUE(taken.common.dev);
  EXPECT_TRUE(taken.common.help) << "-h is --help";
  EXPECT_EQ(taken.common.dataDir, "/srv/data");
  EXPECT_EQ(taken.files, (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(taken.played, "x.txt");
  EXPECT_EQ(taken.common.levelFile, (std::filesystem::current_path() / "l/level.json").string())
      << "made absolute";
}

TEST(CommandLineTest, RefusalsSayWhatIsWrong) {
  const std::pair<std::vector<const char*>, const char*> cases[] = {
      {{"--frobnicate"}, "unknown option --frobnicate"},
      {{"-x"}, "unknown option -x"},
      {{"stray.txt"}, "unexpected argument \"stray.txt\""},
      {{"--play"}, "--play needs a value: --play FILE"},
  };
  for (const auto& [arguments, message] : cases) {
    try {
      Parse(arguments);
      ADD_FAILURE() << message << " was taken";
    } catch (const base::UsageError& error) {
      EXPECT_EQ(error.message, message);
    }
  }
}

TEST(CommandLineTest, HelpListsEveryOptionUnderTheUsageLines) {
  Taken taken;
  const std::string help = Declare(taken).Help();
  EXPECT_EQ(help.find("usage: tool [OPTION]...\n       tool --check [FILE]...\n\nDoes a thing.\n"), 0u)
      << help;
  for (const char* shown : {"--help ", "--version ", "--data DIR ", "--dev ", "--level FILE ", "--play FILE ",
                            "--check [FILE]... "}) {
    EXPECT_THAT(help, HasSubstr("\n  " + std::string(shown))) << help;
  }
  EXPECT_EQ(base::VersionLine("tool"), std::string("tool ") + VELMARIS_VERSION);
}

}  // namespace
