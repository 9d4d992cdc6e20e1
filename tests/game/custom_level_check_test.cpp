// The check the game runs on a custom level before playing it: the data file rules of
// the engine and the game, the level's own folder searched before the data folder.
#include "game/custom_level_check.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/component_registration.h"
#include "game/game.h"
#include "objects/type_registry.h"
#include "working_directory.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kLevel = R"({"level": {"starGoal": 1},
 "Hill": {
  "Player": {"prefab": "Prefabs/Player.txt"},
  "c_UI": {"prefab": "Prefabs/StarCounter.txt"},
  "d_Exit": {"prefab": "Prefabs/Exit.txt"},
  "d_Star": {"prefab": "Prefabs/Star.txt", "Script": {"filename": "LuaScripts/MoveRight.lua"}}
 }})";

class CustomLevelCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    objects::ResetTypeRegistry();
    core::RegisterComponents();
    game::ResetGame();
    folder_ = fs::temp_directory_path() / ("velmaris_" + std::to_string(::getpid()) + "_custom_check");
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "LuaScripts");
    level_ = folder_ / "hill.txt";
    std::ofstream(level_) << kLevel;
  }
  void TearDown() override {
    fs::remove_all(folder_);
    objects::ResetTypeRegistry();
  }

  std::vector<std::string> Check() {
    testing_support::ScopedWorkingDirectory inData(VELMARIS_DATA_DIR);
    std::vector<std::string> lines;
    for (const serialization::Problem& problem : game::CheckCustomLevel(level_, level_.generic_string()))
      lines.push_back(serialization::FormatProblem(problem));
    return lines;
  }

  fs::path folder_;
  fs::path level_;
};

TEST_F(CustomLevelCheckTest, ALevelUsingTheGamesPrefabsAndScriptsCanBePlayed) {
  EXPECT_EQ(Check(), std::vector<std::string>{});
}

// The level's own copy of a script comes first, so its syntax error counts, though
// the data folder's script of that name compiles. Lua places an unclosed block at the
// end of the file.
TEST_F(CustomLevelCheckTest, AScriptBesideTheLevelIsTheOneCompiled) {
  std::ofstream(folder_ / "LuaScripts/MoveRight.lua") << "function Update(dt)\n  if dt then\nend\n";
  EXPECT_EQ(Check(), std::vector<std::string>{
                         level_.generic_string() +
                         ":6:67: script \"LuaScripts/MoveRight.lua\" does not compile: "
                         "LuaScripts/MoveRight.lua:4: 'end' expected (to close 'function' at line 1) near "
                         "<eof>"});
}

TEST_F(CustomLevelCheckTest, NothingOutsideTheLevelsFolderAndTheDataFolderIsReached) {
  std::ofstream(folder_.parent_path() / "velmaris_outside.lua") << "function Init() end\n";
  std::string text = kLevel;
  text.replace(text.find("LuaScripts/MoveRight.lua"), 24, "../velmaris_outside.lua");
  std::ofstream(level_) << text;
  const std::vector<std::string> problems = Check();
  fs::remove(folder_.parent_path() / "velmaris_outside.lua");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("climbs out of the data folder"), std::string::npos) << problems[0];
}

}  // namespace
