// velmaris-sim --validate as level makers and the build use it: over the real data
// folder (which must stay clean), over a broken copy of a level, and over copies of
// the data folder that lack what the game looks up by name.
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "run_sim.h"

namespace {

namespace fs = std::filesystem;

using sim_testing::ReadFile;
using sim_testing::Result;
using sim_testing::RunSim;

const fs::path kData = fs::path(VELMARIS_SOURCE_DIR) / "data";

// "L:C" of the first occurrence of `snippet` in `text`; the column counts bytes.
std::string LineColumn(const std::string& text, const std::string& snippet) {
  const std::size_t offset = text.find(snippet);
  if (offset == std::string::npos) return "(not found: " + snippet + ")";
  const std::size_t lineStart =
      text.rfind('\n', offset) == std::string::npos ? 0 : text.rfind('\n', offset) + 1;
  const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
  return std::to_string(line) + ":" + std::to_string(offset - lineStart + 1);
}

// Replaces the first occurrence; fails the test when there is none.
void ReplaceFirst(std::string& text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A broken data file fails the build here, with its problems in the output.
TEST(ValidateTest, TheGamesDataFolderHasNoProblems) {
  const Result result = RunSim("--validate");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output.rfind("no problems in ", 0), 0u) << result.output;
}

TEST(ValidateTest, BrokenCopyOfALevelShowsEachProblemWithItsLineAndColumn) {
  std::string text = ReadFile((kData / "Levels/Level1.txt").string());
  ASSERT_FALSE(text.empty());
  // A string for a float member, an unknown component, a missing prefab, a missing picture.
  const std::size_t x = text.find("\"x_position\": ");
  ASSERT_NE(x, std::string::npos);
  const std::size_t numberEnd = text.find_first_of(",}", x);
  text.replace(x, numberEnd - x, "\"x_position\": \"left\"");
  ReplaceFirst(text, "{\"prefab\": ", "{\"Trasnform\": {}, \"prefab\": ");
  const std::size_t prefab = text.find("\"prefab\": \"") + 11;
  text.replace(prefab, text.find('"', prefab) - prefab, "Prefabs/Missing.txt");
  const std::size_t image = text.find("\"image\": \"") + 10;
  text.replace(image, text.find('"', image) - image, "images/missing.png");
  const std::string copy = testing::TempDir() + "Level1_broken.txt";
  WriteText(copy, text);

  const Result result = RunSim("--validate " + copy);
  EXPECT_EQ(result.status, 1) << result.output;
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"\"left\"",
       "Transform member x_position expects a number in the 32-bit float range, but the file gives a string"},
      {"\"Trasnform\"", "unknown component type \"Trasnform\" (did you mean \"Transform\"?)"},
      {"\"Prefabs/Missing.txt\"", "prefab file \"Prefabs/Missing.txt\" does not exist under the data folder"},
      {"\"images/missing.png\"", "picture \"images/missing.png\" does not exist under the data folder"},
  };
  for (const auto& [snippet, message] : expected) {
    const std::string line = copy + ":" + LineColumn(text, snippet) + ": " + message + "\n";
    EXPECT_NE(result.output.find(line), std::string::npos) << line << result.output;
  }
  EXPECT_NE(result.output.find("\n4 problems in 1 file\n"), std::string::npos) << result.output;
}

// A copy of the data folder whose level, menu and prefab files can be broken one at
// a time.
class ValidateDataCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    copy = fs::temp_directory_path() / ("velmaris_" + std::to_string(::getpid()) + "_validate_data");
    fs::remove_all(copy);
    fs::create_directories(copy);
    // Copies, not links: a link leading out of the data folder is refused.
    for (const char* folder : {"Levels", "Menu", "Prefabs", "images", "Audio", "LuaScripts"})
      fs::copy(kData / folder, copy / folder, fs::copy_options::recursive);
    copy = fs::canonical(copy);
  }
  void TearDown() override { fs::remove_all(copy); }

  fs::path copy;
};

TEST_F(ValidateDataCopyTest, WhatTheGameLooksUpByNameIsReportedWhereItShouldBe) {
  const struct {
    std::string file;
    std::string from;  // renamed away
    std::string to;
    std::string at;  // the key the problem points at
    std::string message;
  } cases[] = {
      {"Menu/MenuPause.txt", "\"c_ButtonHTP\"", "\"c_ButtonHowTo\"", "\"X_PauseMenu\"",
       "space \"X_PauseMenu\" has no object \"c_ButtonHTP\" (with Button), which the game needs"},
      {"Prefabs/LevelTimer.txt", "\"b_Max\"", "\"b_Maximum\"", "\"U_LevelTimer\"",
       "space \"U_LevelTimer\" has no object \"b_Max\" (with Sprite), which the game needs"},
      {"Menu/GameLogos.txt", "\"b_LogoCorvaneT\"", "\"b_LogoOther\"", "\"V_GameLogos\"",
       "space \"V_GameLogos\" has no object \"b_LogoCorvaneT\" (with Sprite and Transform), which the game "
       "needs"},
      {"Levels/Level2.txt", "\"c_UI\": {", "\"c_UIx\": {", "\"Level2\"",
       "space \"Level2\" has no object \"c_UI\" (with PlayerUI and Pool), which the game needs"},
  };
  for (const auto& c : cases) {
    const fs::path path = copy / c.file;
    const std::string original = ReadFile(path.string());
    std::string text = original;
    ReplaceFirst(text, c.from, c.to);
    WriteText(path, text);
    const Result result = RunSim("--data " + copy.string() + " --validate");
    EXPECT_EQ(result.status, 1) << result.output;
    const std::string line = path.string() + ":" + LineColumn(text, c.at) + ": " + c.message + "\n";
    EXPECT_NE(result.output.find(line), std::string::npos) << line << result.output;
    EXPECT_NE(result.output.find("\n1 problem in 1 file\n"), std::string::npos) << result.output;
    WriteText(path, original);
  }
}

// A Star prefab the game cannot read leaves every star without its collider: the
// validator points at each star that uses it, and loading the level says how many
// stars are left against the goal and which prefab file is to blame.
TEST_F(ValidateDataCopyTest, AStarPrefabThatCannotBeReadIsNamedByTheValidatorAndTheLevelLoad) {
  const fs::path star = copy / "Prefabs/Star.txt";
  const std::string original = ReadFile(star.string());
  const struct {
    const char* what;
    std::function<void()> spoil;
    std::string reason;
  } cases[] = {
      {"a directory", [&] { fs::create_directory(star); }, "is a directory"},
      {"a FIFO", [&] { ::mkfifo(star.c_str(), 0600); }, "is a FIFO (named pipe), not a plain file"},
      {"malformed", [&] { WriteText(star, "{\"Star\": "); }, "is not well-formed JSON"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(star);
    c.spoil();
    const Result validated =
        RunSim("--data " + copy.string() + " --validate " + (copy / "Levels/Level1.txt").string());
    EXPECT_EQ(validated.status, 1) << validated.output;
    EXPECT_NE(validated.output.find("Prefabs/Star.txt"), std::string::npos) << validated.output;
    EXPECT_NE(validated.output.find(std::string(c.what) == std::string("malformed") ? "not well-formed JSON"
                                                                                    : c.reason),
              std::string::npos)
        << validated.output;

    const Result played = RunSim("--data " + copy.string() + " --state 1 --frames 2");
    EXPECT_EQ(played.status, 0) << played.output;
    EXPECT_NE(
        played.output.find("level: Levels/Level1.txt: only 0 stars can be collected, fewer than the star "
                           "goal of 25; prefab files that could not be read: Prefabs/Star.txt (" +
                           c.reason),
        std::string::npos)
        << played.output;
  }
  fs::remove_all(star);
  WriteText(star, original);
  const Result whole = RunSim("--data " + copy.string() + " --state 1 --frames 2");
  EXPECT_EQ(whole.output.find("stars can be collected"), std::string::npos) << whole.output;
}

TEST(ValidateTest, ValidateRunsNothingElse) {
  const Result result = RunSim("--validate --load Levels/Level1.txt");
  EXPECT_EQ(result.status, 2) << result.output;
  EXPECT_NE(result.output.find("--validate runs nothing"), std::string::npos) << result.output;
}

}  // namespace
