// The data file validator on broken files, one problem each, with the exact line and
// column it points at; and on whole data folders.
#include "serialization/validator.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/component_registration.h"
#include "core/data_file_rules.h"
#include "objects/type_registry.h"

namespace {

namespace fs = std::filesystem;

// Marks a file that is made as a FIFO instead of written.
constexpr const char* kFifo = "<fifo>";

class ValidatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    objects::ResetTypeRegistry();
    core::RegisterComponents();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    data =
        fs::temp_directory_path() / ("velmaris_" + std::to_string(::getpid()) + "_validator_" + test->name());
    fs::remove_all(data);
    // What the files below may name. Of the handlers' sounds only the star's is here.
    Write("images/star.png", "not decoded: only its presence counts");
    Write("LuaScripts/move.lua", "function Init() end");
    Write("Audio/ButtonClick.ogg", "");
    Write("Audio/Alt2StarCollect.ogg", "");
    Write("Prefabs/Star.txt",
          R"({"Star": {"SpriteSource": {"numrows": 2, "numcols": 4, "image": "images/star.png"},
                                           "Sprite": {"frame_index": 0}}})");
  }
  void TearDown() override {
    fs::remove_all(data);
    objects::ResetTypeRegistry();
  }

  void Write(const std::string& relative, const std::string& text) {
    const fs::path path = data / relative;
    fs::create_directories(path.parent_path());
    if (text == kFifo) {
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    } else {
      std::ofstream(path, std::ios::binary) << text;
    }
  }

  // The engine's rules (but siblings), and a game that loads "Levels/Main.txt" (space "Main" with a
  // "Player" that has a Transform) and a level file kept under Prefabs/.
  static serialization::ValidationRules Rules() {
    serialization::ValidationRules rules = core::EngineValidationRules();
    rules.required = {{"Levels/Main.txt", "Main", "Player", {"Transform"}}};
    rules.loadedFiles = {"Levels/Main.txt", "Prefabs/Timer.txt"};
    // The objects here are a component or two, each file about one member; the
    // components' siblings are checked over a whole level elsewhere.
    rules.siblings.clear();
    return rules;
  }

  std::vector<std::string> Lines(const serialization::Validator& validator) const {
    std::vector<std::string> lines;
    for (const serialization::Problem& problem : validator.Problems()) {
      lines.push_back(serialization::FormatProblem(problem));
    }
    return lines;
  }

  fs::path data;
};

// An object "o" in space "S" whose entry is `entry`, the entry on its own lines.
std::string Level(const std::string& entry) { return "{\"S\": {\n  \"o\": " + entry + "\n}}"; }

TEST_F(ValidatorTest, EachBrokenFileGivesItsOneProblemWhereItIs) {
  const struct {
    std::map<std::string, std::string> files;  // relative path -> text
    std::string checked;
    std::string problem;
  } cases[] = {
      {{{"Levels/Malformed.txt", "{\n  \"S\": {\n    \"o\": {}\n    \"p\": {}\n  }\n}"}},
       "Levels/Malformed.txt",
       "Levels/Malformed.txt:4:5: not well-formed JSON: Missing a comma or '}' after an object member."},
      {{{"Levels/L.txt", "[1, 2]"}},
       "Levels/L.txt",
       "Levels/L.txt:1:1: a level file is a JSON object of spaces"},
      {{{"Levels/L.txt", Level("{\"Transform\": {},\n    \"Sprit\": {}}")}},
       "Levels/L.txt",
       "Levels/L.txt:3:5: unknown component type \"Sprit\" (did you mean \"Sprite\"?)"},
      {{{"Levels/L.txt", Level("{\"Transform\": {\"x_positon\": 1.0}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:23: Transform has no member \"x_positon\" (did you mean \"x_position\"?)"},
      {{{"Levels/L.txt", Level("{\"Transform\": {\"x_position\": \"left\"}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:37: Transform member x_position expects a number in the 32-bit float range, but the "
       "file "
       "gives a string"},
      {{{"Levels/L.txt", Level("{\"Transform\": {\"rotation\": 1e39}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:35: Transform member rotation expects a number in the 32-bit float range, but the "
       "file "
       "gives a number out of range"},
      {{{"Levels/L.txt", Level("{\"SpriteSource\": {\"numrows\": 2.0}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:37: SpriteSource member numrows expects an integer in the 32-bit range, but the file "
       "gives "
       "a number with a fraction or exponent"},
      {{{"Levels/L.txt", Level("{\"Sprite\": {\"frame_index\": 3000000000}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:35: Sprite member frame_index expects an integer in the 32-bit range, but the file "
       "gives an "
       "integer outside the 32-bit range"},
      {{{"Levels/L.txt", Level("{\"Animation\": {\"AnimationFrames\": [0, 1.5]}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:46: Animation member AnimationFrames expects an array of integers in the 32-bit "
       "range, but "
       "element 1 is a number with a fraction or exponent"},
      {{{"Levels/L.txt", Level("{\"prefab\": \"Prefabs/Missing.txt\"}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:19: prefab file \"Prefabs/Missing.txt\" does not exist under the data folder"},
      {{{"Levels/L.txt", Level("{\"prefab\": 5}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:19: \"prefab\" must be a string: the path of a prefab file"},
      {{{"Levels/L.txt", Level("{\"prefab\": \"Prefabs/Empty.txt\"}")}, {"Prefabs/Empty.txt", " {}"}},
       "Levels/L.txt",
       "Prefabs/Empty.txt:1:2: the prefab file is empty: it has no component table"},
      {{{"Prefabs/Loop.txt", "{\"Loop\": {\"Transform\": {}},\n \"prefab\": \"Prefabs/./Loop.txt\"}"}},
       "Prefabs/Loop.txt",
       "Prefabs/Loop.txt:2:12: prefab chain comes back to this file: Prefabs/Loop.txt -> Prefabs/Loop.txt"},
      {{{"Prefabs/Two.txt", "{\"Two\": {},\n \"Other\": {}}"}},
       "Prefabs/Two.txt",
       "Prefabs/Two.txt:2:2: only the first member is the component table; \"Other\" is ignored"},
      // Read as a level because the game loads it by name: as a prefab, "a" would be
      // an unknown component type.
      {{{"Prefabs/Timer.txt", "{\"U_Timer\": {\"a\": {\"Sprit\": {}}}}"}},
       "Prefabs/Timer.txt",
       "Prefabs/Timer.txt:1:20: unknown component type \"Sprit\" (did you mean \"Sprite\"?)"},
      {{{"Levels/L.txt", Level("{\"SpriteSource\": {\"image\": \"images/missing.png\"}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:35: picture \"images/missing.png\" does not exist under the data folder"},
      {{{"Levels/L.txt", Level("{\"Script\": {\"filename\": \"LuaScripts/missing.lua\"}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:32: script \"LuaScripts/missing.lua\" does not exist under the data folder"},
      {{{"Levels/L.txt", Level("{\"BoxCollider\": {\"handler\": \"bounceBack\"}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:36: sound \"Audio/BirdSmack.ogg\", which BoxCollider with handler \"bounceBack\" "
       "needs, "
       "does not exist under the data folder"},
      {{{"Levels/L.txt", Level("{\"BoxCollider\": {\"handler\": \"bounceBak\"}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:36: unknown collision handler \"bounceBak\" (did you mean \"bounceBack\"?)"},
      // A binary chunk is refused as the game refuses it.
      {{{"Levels/L.txt", Level("{\"Script\": {\"filename\": \"LuaScripts/x.lua\"}}")},
        {"LuaScripts/x.lua", "\x1bLua"}},
       "Levels/L.txt",
       "Levels/L.txt:2:32: script \"LuaScripts/x.lua\" does not compile: LuaScripts/x.lua: attempt to load a "
       "binary chunk (mode is 't')"},
      {{{"Levels/L.txt", Level("{\"Script\": {\"filename\": \"LuaScripts/x.lua\"}}")},
        {"LuaScripts/x.lua", "x ="}},
       "Levels/L.txt",
       "Levels/L.txt:2:32: script \"LuaScripts/x.lua\" does not compile: LuaScripts/x.lua:1: unexpected "
       "symbol near <eof>"},
      {{{"Levels/L.txt", Level("{\"SpriteSource\": {\"numrows\": 0, \"numcols\": 4}}")}},
       "Levels/L.txt",
       "Levels/L.txt:2:37: SpriteSource numrows is 0: a sprite sheet needs at least one row and one column"},
      // The sheet comes from the prefab, the frame from the object's own entry.
      {{{"Levels/L.txt", Level("{\"prefab\": \"Prefabs/Star.txt\",\n    \"Sprite\": {\"frame_index\": 8}}")}},
       "Levels/L.txt",
       "Levels/L.txt:3:31: Sprite frame_index 8 is outside its sprite sheet: 2 x 4 gives frames 0 to 7"},
      {{{"Levels/L.txt", "{\"S\": {\n  \"o\": {},\n  \"o\": {}\n}}"}},
       "Levels/L.txt",
       "Levels/L.txt:3:3: object \"o\" appears twice (first at line 2, column 3); the loader refuses the "
       "file"},
      {{{"Levels/Main.txt", "{\"Other\": {}}"}},
       "Levels/Main.txt",
       "Levels/Main.txt:1:1: the game loads the space \"Main\" from this file, but the file has no such "
       "space"},
      {{{"Levels/Main.txt", "{\"Main\": {\n  \"Camera\": {}\n}}"}},
       "Levels/Main.txt",
       "Levels/Main.txt:1:2: space \"Main\" has no object \"Player\" (with Transform), which the game needs"},
      // The Transform may come from the prefab: here it comes from nowhere.
      {{{"Levels/Main.txt", "{\"Main\": {\n  \"Player\": {\"Physics\": {}}\n}}"}},
       "Levels/Main.txt",
       "Levels/Main.txt:2:3: object \"Player\" has no Transform, which the game needs"},
      {{{"Levels/Pipe.txt", kFifo}},
       "Levels/Pipe.txt",
       "Levels/Pipe.txt:1:1: the file is a FIFO (named pipe), not a plain file"},
      {{}, "Levels/Absent.txt", "Levels/Absent.txt:1:1: no such file"},
  };
  for (const auto& c : cases) {
    for (const auto& [relative, text] : c.files) Write(relative, text);
    serialization::Validator validator(data, "", Rules());
    validator.CheckFile(data / c.checked, c.checked);
    EXPECT_EQ(Lines(validator), std::vector<std::string>{c.problem}) << c.checked;
    for (const auto& [relative, text] : c.files) fs::remove(data / relative);
  }
}

// What the game would refuse to read is named with what it is, where it is named.
TEST_F(ValidatorTest, PicturesScriptsAndSoundsTheGameWouldNotReadSayWhatTheyAre) {
  fs::create_directories(data / "images/folder.png");
  Write("LuaScripts/pipe.lua", kFifo);
  fs::remove(data / "Audio/ButtonClick.ogg");
  fs::create_directories(data / "Audio/ButtonClick.ogg");
  const struct {
    std::string entry;
    std::string problem;
  } cases[] = {
      {"{\"SpriteSource\": {\"image\": \"images/folder.png\"}}",
       "Levels/L.txt:2:35: picture \"images/folder.png\" is a directory"},
      {"{\"Script\": {\"filename\": \"LuaScripts/pipe.lua\"}}",
       "Levels/L.txt:2:32: script \"LuaScripts/pipe.lua\" is a FIFO (named pipe), not a plain file"},
      {"{\"Button\": {}}",
       "Levels/L.txt:2:9: sound \"Audio/ButtonClick.ogg\", which a Button needs, is a directory"},
  };
  for (const auto& c : cases) {
    Write("Levels/L.txt", Level(c.entry));
    serialization::Validator validator(data, "", Rules());
    validator.CheckFile(data / "Levels/L.txt", "Levels/L.txt");
    EXPECT_EQ(Lines(validator), std::vector<std::string>{c.problem}) << c.entry;
  }
}

TEST_F(ValidatorTest, GoodFilesHaveNoProblemAndPrefabsCountOnce) {
  Write("Levels/Main.txt", R"({"Main": {
    "Player": {"prefab": "Prefabs/Star.txt", "Transform": {"x_position": 0.0}, "Script": {"filename": "LuaScripts/move.lua"}},
    "a": {"prefab": "Prefabs/Star.txt", "Sprite": {"frame_index": 7}, "CircleCollider": {"handler": "starCollect"}},
    "b": {"Button": {"buttonName": "go"}, "Transform": {}, "Sprite": {"frame_index": null}}}})");
  serialization::Validator validator(data, "data", Rules());
  validator.CheckFile(data / "Levels/Main.txt", "data/Levels/Main.txt");
  EXPECT_EQ(Lines(validator), std::vector<std::string>{});
  EXPECT_EQ(validator.FilesChecked(), 2u);
  EXPECT_EQ(serialization::FormatSummary(validator), "no problems in 2 files");
}

TEST_F(ValidatorTest, EveryProblemOfEveryFileIsReportedInFileAndPositionOrder) {
  Write("Levels/B.txt",
        "{\"S\": {\"o\": {\"Sprit\": {},\n \"Transform\": {\"rotation\": \"x\"}, \"prefab\": "
        "\"Prefabs/Bad.txt\"}}}");
  Write("Levels/A.txt", "{\"S\": 5}");
  Write("Prefabs/Bad.txt", "{\"Bad\": {\"SpriteSource\": {}, \"Sprite\": {\"frame_index\": -1}}}");
  Write("Menu/Ok.txt", "{\"M\": {}}");
  serialization::Validator validator(data, "data", Rules());
  validator.CheckDataFolder();
  EXPECT_EQ(Lines(validator),
            (std::vector<std::string>{
                "data/Levels/A.txt:1:7: space \"S\" is not a JSON object of objects",
                "data/Levels/B.txt:1:14: unknown component type \"Sprit\" (did you mean \"Sprite\"?)",
                "data/Levels/B.txt:2:28: Transform member rotation expects a number in the 32-bit "
                "float range, but the file gives a string",
                "data/Levels/Main.txt:1:1: the game loads this file by name, but it does not exist",
                "data/Prefabs/Bad.txt:1:56: Sprite frame_index -1 is outside its sprite sheet: 1 x 1 "
                "gives frames 0 to 0",
                "data/Prefabs/Timer.txt:1:1: the game loads this file by name, but it does not exist",
            }));
  // Levels A and B, the menu, the two prefabs.
  EXPECT_EQ(validator.FilesChecked(), 5u);
  EXPECT_EQ(serialization::FormatSummary(validator), "6 problems in 5 files");
}

// Buttons get actions by object name, states by number: what the game does not know
// is reported, with the nearest name it does know.
TEST_F(ValidatorTest, ButtonsAndStatesTheGameDoesNotKnowAreReported) {
  serialization::ValidationRules rules = Rules();
  rules.buttons = {{"Menu/Pause.txt", "X_Pause", {"c_ButtonResume", "c_ButtonExit"}}};
  rules.buttonType = "Button";
  rules.states = {{"UI", "gmHolder", {"Empty", "Level1", "Level2"}}};
  Write("Menu/Pause.txt", R"({"X_Pause": {
  "c_ButtonResume": {"Transform": {}, "Button": {}},
  "c_ButtonResme": {"Transform": {}, "Button": {}},
  "d_Title": {"Transform": {}, "UI": {"gmHolder": 2}},
  "d_None": {"Transform": {}, "UI": {"gmHolder": -1}},
  "d_Far": {"Transform": {}, "UI": {"gmHolder": 3}}},
 "Other": {"e_Button": {"Transform": {}, "Button": {}}}})");
  serialization::Validator validator(data, "", rules);
  validator.CheckFile(data / "Menu/Pause.txt", "Menu/Pause.txt");
  EXPECT_EQ(
      Lines(validator),
      (std::vector<std::string>{
          "Menu/Pause.txt:3:3: object \"c_ButtonResme\" has a Button the game gives no action (did you "
          "mean \"c_ButtonResume\"?): clicking it does nothing",
          "Menu/Pause.txt:6:49: UI member gmHolder asks for state 3, but the game's states are 0 (Empty) "
          "to 2 (Level2)",
      }));
}

TEST_F(ValidatorTest, SummaryCountsInWords) {
  Write("Levels/One.txt", "{\"S\": 1}");
  serialization::Validator validator(data, "", Rules());
  validator.CheckFile(data / "Levels/One.txt", "Levels/One.txt");
  EXPECT_EQ(serialization::FormatSummary(validator), "1 problem in 1 file");
}

}  // namespace
