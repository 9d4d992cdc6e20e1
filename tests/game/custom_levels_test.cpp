// Levels played from folders of their own: started with a file or from the custom
// levels page, their files found beside them first, their goals from the header,
// Restart and Next on their victory screen, and the problem of a broken one shown.
#include <fstream>

#include <gmock/gmock.h>

#include "base/data_path.h"
#include "game/level_logic.h"
#include "game/menus/custom_levels_page.h"
#include "game/menus/menus.h"
#include "game/names.h"
#include "game/states/custom_level.h"
#include "game_fixture.h"
#include "objects/space_registry.h"
#include "working_directory.h"

namespace {

namespace fs = std::filesystem;
namespace names = game::names;
using game_testing::GameTest;

// Three stars under the player's start, the exit to its right, a picture and a
// script of the level's own beside the file.
constexpr const char* kMeadow = R"({
  "level": {"name": "First Flight", "starGoal": 3, "timeGoal": 30},
  "Meadow": {
    "A_Background": {"prefab": "Prefabs/Background.txt",
                     "SpriteSource": {"numrows": 1, "numcols": 1, "image": "sky.png"}},
    "B_drifter": {"Transform": {"x_position": -6.0}, "Script": {"filename": "drift.lua"}},
    "C_exit": {"prefab": "Prefabs/Exit.txt", "Transform": {"x_position": 8.0, "y_position": 0.0}},
    "D_star_1": {"prefab": "Prefabs/Star.txt", "Transform": {"x_position": 0.0, "y_position": 0.0}},
    "D_star_2": {"prefab": "Prefabs/Star.txt", "Transform": {"x_position": 0.5, "y_position": 0.0}},
    "D_star_3": {"prefab": "Prefabs/Star.txt", "Transform": {"x_position": -0.5, "y_position": 0.0}},
    "Player": {"prefab": "Prefabs/Player.txt"},
    "c_UI": {"prefab": "Prefabs/StarCounter.txt", "Pool": {"amount": 0}},
    "c_UI_StarIcon": {"prefab": "Prefabs/StarCounterIcon.txt"}
  }
})";

class CustomLevelTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    home_ = testing_support::ScratchFolder("custom-level");
    fs::remove_all(home_);
    levels_ = home_ / "velmaris" / "levels";
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    previousDataHome_ = dataHome ? dataHome : "";
    setenv("XDG_DATA_HOME", home_.c_str(), 1);
    meadow_ = MakeLevel("first-flight", kMeadow);
    fs::copy_file(fs::path(VELMARIS_DATA_DIR) / "images/Play/background_level1.png",
                  meadow_.parent_path() / "sky.png");
    std::ofstream(meadow_.parent_path() / "drift.lua")
        << "function Init()\nend\nfunction Update(dt)\n  myTransform:TransformAddY(0.01)\nend\n";
  }

  void TearDown() override {
    GameTest::TearDown();
    base::DataPaths().Reset();
    setenv("XDG_DATA_HOME", previousDataHome_.c_str(), 1);
    fs::remove_all(home_);
  }

  fs::path MakeLevel(const std::string& folder, const std::string& text) {
    fs::create_directories(levels_ / folder);
    const fs::path file = levels_ / folder / "level.json";
    std::ofstream(file) << text;
    return file;
  }

  // Holds the left button down with the pointer right of the player until the level
  // ends (or `frames` have run).
  void FlyRight(int frames) {
    window_.PostMouseMove(1000, 360);
    window_.PostMouseButton(platform::kVkLeftButton, true, 1000, 360);
    for (int i = 0; i < frames && !Level().levelEnded; ++i) RunFrames(1);
    window_.PostMouseButton(platform::kVkLeftButton, false, 1000, 360);
    RunFrames(1);
  }

  void Play(const fs::path& file, game::AfterCustomLevel after) {
    ASSERT_EQ(game::StartCustomLevel(file, after), "");
    RunFrames(1);
    ASSERT_EQ(base::States().current, game::kCustomLevel);
  }

  fs::path home_, levels_, meadow_;
  std::string previousDataHome_;  // the sandbox's, put back after the test
};

TEST_F(CustomLevelTest, PlaysToItsVictoryWithItsOwnGoalsAndRestartsFromTheStart) {
  Play(meadow_, game::AfterCustomLevel::kQuit);
  ASSERT_NE(objects::FindSpace("Meadow"), nullptr);
  EXPECT_EQ(game::Session().currentLevelSpace, "Meadow");
  EXPECT_EQ(ComponentOf<graphics::SpriteSource>("Meadow", "A_Background", "SpriteSource").texture != nullptr,
            true)
      << "its own picture, beside the level file";
  const float drifterY = ComponentOf<objects::Transform>("Meadow", "B_drifter", "Transform").translation.y;
  FlyRight(600);
  EXPECT_GT(ComponentOf<objects::Transform>("Meadow", "B_drifter", "Transform").translation.y, drifterY)
      << "its own script ran";
  ASSERT_TRUE(Level().levelEnded);
  EXPECT_EQ(Level().starGoal, 3);
  EXPECT_EQ(Level().timeGoal, 30.0f);
  EXPECT_EQ(Level().collectedStars, 3);
  EXPECT_EQ(Level().rating, 2);
  // Its own goals on the victory screen, and no best: only the game's levels keep one.
  EXPECT_EQ(LabelShown(names::kVictorySpace, "stars"), "3 / 3");
  EXPECT_EQ(LabelShown(names::kVictorySpace, "time"), game::ClockText(Level().endTime) + " / 0:30");
  EXPECT_EQ(LabelShown(names::kVictorySpace, "best"), "");
  EXPECT_TRUE(ButtonOf(names::kVictorySpace, names::kButtonRestart).canClick);
  EXPECT_TRUE(ButtonOf(names::kVictorySpace, names::kButtonNext).canClick);

  Click(names::kVictorySpace, names::kButtonRestart);
  RunFrames(1);
  EXPECT_EQ(base::States().current, game::kCustomLevel);
  EXPECT_FALSE(Level().levelEnded) << "played again from its start";
  EXPECT_EQ(Level().elapsedTime < 1.0f, true);
  EXPECT_EQ(ComponentOf<objects::Transform>("Meadow", "Player", "Transform").translation.x, 0.0f);

  FlyRight(600);
  ASSERT_TRUE(Level().levelEnded);
  Click(names::kVictorySpace, names::kButtonNext);
  EXPECT_EQ(base::States().next, base::kQuitState) << "a level given on the command line ends the game";
}

TEST_F(CustomLevelTest, TheLevelsSpacesGoWhenItEndsAndTheGamesOwnNamesAreRefused) {
  Enter(game::kLevel2);
  Play(meadow_, game::AfterCustomLevel::kPageBack);
  Enter(game::kLevel2);
  EXPECT_EQ(objects::FindSpace("Meadow"), nullptr);
  EXPECT_TRUE(base::DataPaths().roots == std::vector<fs::path>{fs::path()}) << "the data folder alone again";

  // A level that could be played but for the one thing each case changes.
  const auto level = [](const std::string& space, const std::string& player = "Player") {
    return R"({"level": {"starGoal": 1}, ")" + space + R"(": {")" + player +
           R"(": {"prefab": "Prefabs/Player.txt"}, "c_UI": {"prefab": "Prefabs/StarCounter.txt"},
             "d_exit": {"prefab": "Prefabs/Exit.txt"}, "d_star": {"prefab": "Prefabs/Star.txt"}}})";
  };
  struct Case {
    std::string text;
    const char* problem;
  };
  const Case cases[] = {
      {level("Level2"), "level.json:1:28: space \"Level2\" is one of the game's own spaces"},
      {level("my level"), "level.json:1:28: space \"my level\" sorts at or after \"U_LevelTimer\""},
      {level("Meadow", "Ball"), "level.json:1:28: space \"Meadow\" has no object \"Player\""},
      {R"({"level": {"starGoal": -1}, "Meadow": {"Player": {}}})",
       "level.json:1:24: the level's \"starGoal\""},
      {R"({"Meadow": {"Player": {})", "level.json:1:25: not well-formed JSON"},
  };
  for (const Case& c : cases) {
    const fs::path file = MakeLevel("bad", c.text);
    EXPECT_THAT(game::StartCustomLevel(file, game::AfterCustomLevel::kQuit), testing::HasSubstr(c.problem))
        << c.text;
    EXPECT_EQ(base::States().next, base::States().current) << "nothing starts: " << c.text;
  }
}

TEST_F(CustomLevelTest, ThePageListsTheFoldersShowsAProblemAndPlaysTheChosenOne) {
  MakeLevel("a-broken", R"({"Bridge": {"Player": {} "c_UI": {}}})");
  const std::vector<game::CustomLevelFolder> found = game::FindCustomLevels(levels_);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, "a-broken") << "a level without a name goes by its folder's";
  EXPECT_EQ(found[1].name, "First Flight");

  Enter(game::kLevel2);
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonCustom");
  ASSERT_TRUE(SpaceNamed(names::kPauseCustomLevels).IsActive());
  testing::internal::CaptureStderr();
  Click(names::kPauseCustomLevels, "c_ButtonPlay");
  RunFrames(1);
  EXPECT_THAT(testing::internal::GetCapturedStderr(), testing::HasSubstr("a-broken/level.json:1:26"));
  EXPECT_EQ(base::States().current, game::kLevel2) << "a broken level does not start";
  EXPECT_TRUE(SpaceNamed(names::kPauseCustomLevels).IsActive()) << "the page stays, with the problem";

  Click(names::kPauseCustomLevels, "c_ButtonRight");
  Click(names::kPauseCustomLevels, "c_ButtonPlay");
  RunFrames(1);
  ASSERT_EQ(base::States().current, game::kCustomLevel);
  EXPECT_FALSE(game::Session().menuOpen) << "the menus close as the level starts";
  FlyRight(600);
  ASSERT_TRUE(Level().levelEnded);
  Click(names::kVictorySpace, names::kButtonNext);
  RunFrames(1);
  EXPECT_TRUE(SpaceNamed(names::kPauseCustomLevels).IsActive()) << "Next goes back to the page";
  EXPECT_TRUE(game::Session().menuOpen);
}

TEST(CustomLevelLookupTest, BesideTheLevelFirstThenTheDataFolderAndNeverOutside) {
  const fs::path root = testing_support::ScratchFolder("lookup");
  fs::remove_all(root);
  fs::create_directories(root / "level" / "Prefabs");
  fs::create_directories(root / "data" / "Prefabs");
  for (const fs::path& file :
       {root / "level" / "Prefabs" / "Star.txt", root / "data" / "Prefabs" / "Star.txt",
        root / "data" / "Prefabs" / "Exit.txt", root / "secret.txt"}) {
    std::ofstream(file) << "{}";
  }
  const std::vector<fs::path> roots{root / "level", root / "data"};
  struct Case {
    std::string written;
    std::string served;  // empty: refused
  };
  const Case cases[] = {
      {"Prefabs/Star.txt", (root / "level" / "Prefabs" / "Star.txt").string()},
      {"Prefabs/Exit.txt", (root / "data" / "Prefabs" / "Exit.txt").string()},
      {"../secret.txt", ""},
      {"Prefabs/../../secret.txt", ""},
      {(root / "secret.txt").string(), ""},
  };
  for (const Case& c : cases) {
    const base::ResolvedPath resolved = base::ResolveDataPath(c.written, roots);
    EXPECT_EQ(resolved.Inside() ? fs::path(resolved.path).lexically_normal().string() : std::string(),
              c.served)
        << c.written;
  }
  fs::remove_all(root);
}

}  // namespace
