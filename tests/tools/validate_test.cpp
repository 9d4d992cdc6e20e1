// velmaris-sim --validate as level makers and the build use it: over the real data
// folder (which must stay clean), over a broken copy of a level, over copies of the
// data folder that lack what the game looks up by name, and over a custom level in a
// folder of its own, broken one thing at a time.
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
  // Outside the data folder the copy is a custom level, which may not take the
  // game's space name.
  ReplaceFirst(text, "\"Level1\": {", "\"Copy\": {");
  const std::string copy = testing::TempDir() + "Level1_broken.txt";
  WriteText(copy, text);

  const Result result = RunSim("--validate " + copy);
  EXPECT_EQ(result.status, 1) << result.output;
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"\"left\"",
       "Transform member x_position expects a number in the 32-bit float range, but the file gives a string"},
      {"\"Trasnform\"", "unknown component type \"Trasnform\" (did you mean \"Transform\"?)"},
      {"\"Prefabs/Missing.txt\"",
       "prefab file \"Prefabs/Missing.txt\" does not exist beside the level or under the data folder"},
      {"\"images/missing.png\"",
       "picture \"images/missing.png\" does not exist beside the level or under the data folder"},
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
    // The keys the problems point at, and the problems.
    std::vector<std::pair<std::string, std::string>> problems;
  } cases[] = {
      // The renamed button is also one the game gives no action.
      {"Menu/MenuPause.txt",
       "\"c_ButtonHTP\"",
       "\"c_ButtonHowTo\"",
       {{"\"X_PauseMenu\"",
         "space \"X_PauseMenu\" has no object \"c_ButtonHTP\" (with Button), which the game needs"},
        {"\"c_ButtonHowTo\"",
         "object \"c_ButtonHowTo\" has a Button the game gives no action: clicking it does nothing"}}},
      {"Prefabs/LevelTimer.txt",
       "\"b_Max\"",
       "\"b_Maximum\"",
       {{"\"U_LevelTimer\"",
         "space \"U_LevelTimer\" has no object \"b_Max\" (with Sprite), which the game needs"}}},
      {"Menu/GameLogos.txt",
       "\"b_LogoCorvaneT\"",
       "\"b_LogoOther\"",
       {{"\"V_GameLogos\"",
         "space \"V_GameLogos\" has no object \"b_LogoCorvaneT\" (with Sprite and Transform), which the game "
         "needs"}}},
      {"Levels/Level2.txt",
       "\"c_UI\": {",
       "\"c_UIx\": {",
       {{"\"Level2\"",
         "space \"Level2\" has no object \"c_UI\" (with PlayerUI and Pool), which the game needs"}}},
      // The exit's handler comes from its prefab; the object's own entry overrides it.
      {"Levels/Level3.txt",
       "\"C_exit\": {",
       "\"C_exit\": {\"CircleCollider\": {\"handler\": \"stopMovement\"}, ",
       {{"\"Level3\"",
         "space \"Level3\" has no exit: no object in it has a CircleCollider or BoxCollider with handler "
         "\"nextLevelTrigger\", so the level never ends"}}},
  };
  for (const auto& c : cases) {
    const fs::path path = copy / c.file;
    const std::string original = ReadFile(path.string());
    std::string text = original;
    ReplaceFirst(text, c.from, c.to);
    WriteText(path, text);
    const Result result = RunSim("--data " + copy.string() + " --validate");
    EXPECT_EQ(result.status, 1) << result.output;
    for (const auto& [at, message] : c.problems) {
      const std::string line = path.string() + ":" + LineColumn(text, at) + ": " + message + "\n";
      EXPECT_NE(result.output.find(line), std::string::npos) << line << result.output;
    }
    const std::string summary =
        std::to_string(c.problems.size()) + " problem" + (c.problems.size() == 1 ? "" : "s") + " in 1 file\n";
    EXPECT_NE(result.output.find("\n" + summary), std::string::npos) << result.output;
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

// A custom level in a folder of its own: a level file, a prefab, a picture and a
// script beside it, and the game's prefabs from the data folder.
class ValidateCustomLevelTest : public ::testing::Test {
 protected:
  static constexpr const char* kLevel = R"({
  "level": {"name": "Windy Cave", "starGoal": 3},
  "Cave": {
    "A_Background": {"prefab": "Prefabs/Background.txt", "SpriteSource": {"numrows": 1, "numcols": 1, "image": "images/cave.png"}},
    "C_exit": {"prefab": "Prefabs/Exit.txt", "Transform": {"x_position": 20.0}},
    "Player": {"prefab": "Prefabs/Player.txt"},
    "c_UI": {"prefab": "Prefabs/StarCounter.txt"},
    "d_Star1": {"prefab": "Prefabs/Star.txt", "Transform": {"x_position": 4.0}},
    "d_Star2": {"prefab": "Prefabs/Glow.txt", "Transform": {"x_position": 8.0}},
    "d_Star3": {"prefab": "Prefabs/Star.txt", "Script": {"filename": "LuaScripts/bob.lua"}}
  }
}
)";

  void SetUp() override {
    folder = fs::temp_directory_path() / ("velmaris_" + std::to_string(::getpid()) + "_custom_level");
    fs::remove_all(folder);
    for (const char* sub : {"Prefabs", "images", "LuaScripts"}) fs::create_directories(folder / sub);
    // The star prefab of the data folder, under a glow of the level's own.
    WriteText(folder / "Prefabs/Glow.txt",
              R"({"Glow": {"Sprite": {"frame_index": 1}}, "prefab": "Prefabs/Star.txt"})");
    WriteText(folder / "images/cave.png", "only its presence counts");
    WriteText(folder / "LuaScripts/bob.lua", "function Init() end\nfunction Update(dt) end\n");
    level = (folder / "level.txt").string();
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path folder;
  std::string level;
};

TEST_F(ValidateCustomLevelTest, AGoodLevelHasNoProblems) {
  WriteText(level, kLevel);
  const Result result = RunSim("--validate " + level);
  EXPECT_EQ(result.status, 0) << result.output;
  // The level and its own prefab, the five prefabs of the data folder.
  EXPECT_EQ(result.output, "no problems in 7 files\n");
}

TEST_F(ValidateCustomLevelTest, EachBrokenThingIsReportedAtItsLineAndColumn) {
  const struct {
    std::string from;  // in the good level
    std::string to;
    std::string at;  // where the problem points, in the broken level
    std::string message;
  } cases[] = {
      {"\"Player\": {", "\"Plyer\": {", "\"Cave\"",
       "space \"Cave\" has no object \"Player\" (with Transform), which the game needs"},
      {"\"Player\": {\"prefab\": \"Prefabs/Player.txt\"},", "\"Plyer\": {}},\n  \"Cave2\": {", "{",
       "no space holds an object \"Player\" (with Transform): a playable level needs one, and the space "
       "holding it is the level"},
      {"  }\n}", "  },\n  \"D_Front\": {\"Player\": {\"Transform\": {}}}\n}", "\"Player\": {\"Transform",
       "object \"Player\" is in space \"D_Front\" as well as in \"Cave\": a playable level has one level "
       "space"},
      {"\"c_UI\": {\"prefab\": \"Prefabs/StarCounter.txt\"}",
       "\"c_UI\": {\"Transform\": {}, \"Sprite\": {}, \"SpriteSource\": {}, \"PlayerUI\": {}}", "\"c_UI\"",
       "object \"c_UI\" has no Pool, which the game needs"},
      {"\"Transform\": {\"x_position\": 20.0}", "\"CircleCollider\": {\"handler\": \"stopMovement\"}",
       "\"Cave\"",
       "space \"Cave\" has no exit: no object in it has a CircleCollider or BoxCollider with handler "
       "\"nextLevelTrigger\", so the level never ends"},
      {", \"starGoal\": 3", "", "\"Cave\"",
       "space \"Cave\" has 3 stars (objects with a Star), fewer than the star goal of 25 (\"starGoal\" in "
       "the level header sets it): the star objective cannot be met"},
      {"\"Transform\": {\"x_position\": 4.0}", "\"CircleCollider\": {\"handler\": \"starColect\"}",
       "\"starColect\"", "unknown collision handler \"starColect\" (did you mean \"starCollect\"?)"},
      {"\"Transform\": {\"x_position\": 4.0}", "\"CircleCollider\": {\"handler\": \"stop\"}", "\"stop\"",
       "unknown collision handler \"stop\"; the names are bounceBack, nextLevelTrigger, starCollect, "
       "stopMovement"},
      {"\"c_UI\": {\"prefab\": \"Prefabs/StarCounter.txt\"}",
       "\"c_UI\": {\"prefab\": \"Prefabs/StarCounter.txt\", \"UI\": {\"gmHolder\": 13}}", "13",
       "UI member gmHolder asks for state 13, but the game's states are 0 (Empty) to 12 (MenuTestSpace)"},
      {"\"Player\": {", "\"e_Sign\": {\"Transform\": {}, \"Button\": {}},\n    \"Player\": {", "\"e_Sign\"",
       "object \"e_Sign\" has a Button, but the game gives the buttons of a playable level no action: "
       "clicking it does nothing"},
      {"\"Player\": {", "\"e_Cloud\": {\"Transform\": {}, \"Sprite\": {}},\n    \"Player\": {", "\"e_Cloud\"",
       "object \"e_Cloud\": Sprite needs a SpriteSource on its object (in its prefab or its own entry); "
       "without it the Sprite does nothing"},
      {"\"Cave\": {", "\"Level2\": {", "\"Level2\"",
       "space \"Level2\" is one of the game's own spaces: a custom level must name its spaces otherwise"},
      {"\"Cave\": {", "\"a_Cave\": {", "\"a_Cave\"",
       "space \"a_Cave\" sorts at or after \"U_LevelTimer\", where the game's screens and menus start: a "
       "level's spaces must sort before it (byte-wise: digits and capitals before \"U_\", small letters "
       "after)"},
      {"images/cave.png", "images/lake.png", "\"images/lake.png\"",
       "picture \"images/lake.png\" does not exist beside the level or under the data folder"},
      {"images/cave.png", "../cave.png", "\"../cave.png\"",
       "object \"A_Background\", SpriteSource member image: picture \"../cave.png\" climbs out of the data "
       "folder with \"..\"; the loader refuses it"},
  };
  for (const auto& c : cases) {
    std::string text = kLevel;
    ReplaceFirst(text, c.from, c.to);
    WriteText(level, text);
    const Result result = RunSim("--validate " + level);
    EXPECT_EQ(result.status, 1) << result.output;
    const std::string line = level + ":" + LineColumn(text, c.at) + ": " + c.message + "\n";
    EXPECT_EQ(result.output, line + "1 problem in 1 file\n") << c.to;
  }
}

// A first level as a new player may write it: every fault is reported, not only
// the first.
TEST_F(ValidateCustomLevelTest, ANewLevelMakersFirstTryGetsEveryProblem) {
  std::string text = R"({"Meadow": {
  "Playr": {"prefab": "Prefabs/Player.txt"},
  "c_UI": {"prefab": "Prefabs/StarCounter.txt"},
  "d_Mover": {"Transform": {}, "Script": {"filename": "LuaScripts/bob.lua"}},
  "d_Gate": {"Transform": {}, "BoxCollider": {"handler": "nextLevelTriger"}},
)";
  for (int star = 1; star <= 9; ++star)
    text +=
        "  \"s" + std::to_string(star) + "\": {\"prefab\": \"Prefabs/Star.txt\"}" + (star < 9 ? ",\n" : "\n");
  text += "}}\n";
  WriteText(level, text);
  WriteText(folder / "LuaScripts/bob.lua", "function Update(dt)\n  x = = 1\nend\n");
  const Result result = RunSim("--validate " + level);
  EXPECT_EQ(result.status, 1) << result.output;
  const std::string space = level + ":" + LineColumn(text, "\"Meadow\"") + ": space \"Meadow\" ";
  for (const std::string& line : {
           space + "has no object \"Player\" (with Transform), which the game needs",
           space + "has no exit: no object in it has a CircleCollider or BoxCollider with handler "
                   "\"nextLevelTrigger\", so the level never ends",
           space + "has 9 stars (objects with a Star), fewer than the star goal of 25 (\"starGoal\" in the "
                   "level header sets it): the star objective cannot be met",
           level + ":" + LineColumn(text, "\"nextLevelTriger\"") +
               ": unknown collision handler \"nextLevelTriger\" (did you mean \"nextLevelTrigger\"?)",
           level + ":" + LineColumn(text, "\"LuaScripts/bob.lua\"") +
               ": script \"LuaScripts/bob.lua\" does not compile: LuaScripts/bob.lua:2: unexpected symbol "
               "near "
               "'='",
       }) {
    EXPECT_NE(result.output.find(line + "\n"), std::string::npos) << line << "\n" << result.output;
  }
  EXPECT_NE(result.output.find("\n5 problems in 1 file\n"), std::string::npos) << result.output;
}

TEST_F(ValidateCustomLevelTest, AScriptThatDoesNotCompileIsReportedWithItsOwnLine) {
  WriteText(level, kLevel);
  WriteText(folder / "LuaScripts/bob.lua", "function Init()\n  local = 1\nend\n");
  const Result result = RunSim("--validate " + level);
  EXPECT_EQ(result.status, 1) << result.output;
  const std::string line = level + ":" + LineColumn(kLevel, "\"LuaScripts/bob.lua\"") +
                           ": script \"LuaScripts/bob.lua\" does not compile: LuaScripts/bob.lua:2: <name> "
                           "expected near '='\n";
  EXPECT_EQ(result.output, line + "1 problem in 1 file\n");
}

TEST(ValidateTest, ValidateRunsNothingElse) {
  const Result result = RunSim("--validate --load Levels/Level1.txt");
  EXPECT_EQ(result.status, 2) << result.output;
  EXPECT_NE(result.output.find("--validate runs nothing"), std::string::npos) << result.output;
}

}  // namespace
