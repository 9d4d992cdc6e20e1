// The settings file: what a broken or foreign file gives, what is kept when it is
// written back, and the options page reading and writing it.
#include "game/settings.h"

#include <filesystem>

#include <gmock/gmock.h>

#include "game/names.h"
#include "game_fixture.h"
#include "working_directory.h"

namespace {

namespace fs = std::filesystem;
namespace names = game::names;
using testing::HasSubstr;

fs::path Scratch(const std::string& name) { return testing_support::ScratchFile("settings", name); }
using testing_support::ReadText;
using testing_support::WriteText;

struct BrokenFile {
  const char* what;
  const char* text;  // null: no file at all
  game::Settings expected;
  const char* reported;  // a part of the one line on standard error; null: nothing said
};

TEST(SettingsFileTest, ABrokenFileGivesTheDefaultsForWhatItGetsWrongAndSaysSoOnce) {
  const BrokenFile cases[] = {
      {"missing", nullptr, {}, nullptr},
      {"empty", "", {}, "the default settings are used"},
      {"truncated", "{\"music\": fal", {}, "the default settings are used"},
      {"not an object", "[true, false]", {}, "holds no JSON object"},
      {"wrong type",
       "{\"music\": \"off\", \"soundEffects\": false}",
       {true, false, true},
       "\"music\" should be"},
      {"a number", "{\"fullScreen\": 0}", {}, "\"fullScreen\" should be"},
      {"all set",
       "{\"music\": false, \"soundEffects\": false, \"fullScreen\": false}",
       {false, false, false},
       nullptr},
  };
  for (const BrokenFile& c : cases) {
    const fs::path path = Scratch("settings");
    if (c.text != nullptr) WriteText(path, c.text);
    testing::internal::CaptureStderr();
    const game::Settings read = game::SettingsFile(path).Load();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(read.music, c.expected.music) << c.what;
    EXPECT_EQ(read.sfx, c.expected.sfx) << c.what;
    EXPECT_EQ(read.fullScreen, c.expected.fullScreen) << c.what;
    if (c.reported == nullptr) {
      EXPECT_EQ(log, "") << c.what;
    } else {
      EXPECT_THAT(log, HasSubstr(path.string())) << c.what;
      EXPECT_THAT(log, HasSubstr(c.reported)) << c.what;
      EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << c.what << ": " << log;
    }
  }
}

TEST(SettingsFileTest, WritingBackKeepsWhatANewerVersionStoredBesideTheSwitches) {
  const fs::path path = Scratch("settings");
  WriteText(path, R"({"music": true, "language": "nl", "controls": {"invert": true}})");
  game::SettingsFile file(path);
  game::Settings settings = file.Load();
  settings.music = false;
  settings.fullScreen = false;
  ASSERT_TRUE(file.Save(settings));
  const std::string text = ReadText(path);
  EXPECT_THAT(text, HasSubstr("\"language\": \"nl\""));
  EXPECT_THAT(text, HasSubstr("\"invert\": true"));

  const game::Settings again = game::SettingsFile(path).Load();
  EXPECT_FALSE(again.music);
  EXPECT_TRUE(again.sfx);
  EXPECT_FALSE(again.fullScreen);
  EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()), 1)
      << "no temporary file is left beside it";
}

TEST(SettingsFileTest, AFolderThatCannotBeMadeIsReportedAndTheSwitchesStillWork) {
  const fs::path blocker = Scratch("a-file-not-a-folder");
  WriteText(blocker, "x");
  game::SettingsFile file(blocker / "velmaris" / "settings");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(file.Save({}));
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_THAT(log, HasSubstr(blocker.string()));
  EXPECT_THAT(log, HasSubstr("kept for this run only"));
}

class OptionsSettingsTest : public game_testing::GameTest {
 protected:
  int SwitchFrame(const char* object) { return SpriteOf(names::kPauseOptions, object).frameIndex; }
};

TEST_F(OptionsSettingsTest, TheOptionsPageShowsTheStoredSwitchesAndStoresWhatThePlayerChanges) {
  const fs::path path = Scratch("settings");
  WriteText(path, R"({"music": false, "soundEffects": true, "fullScreen": true, "future": 1})");
  const game::Settings loaded = game::LoadSettings(path);
  EXPECT_FALSE(loaded.music);
  EXPECT_FALSE(audio::Audio().musicOn) << "applied to the sound switches at start-up";
  PlayLevel1PastItsIntro();
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonOption");
  EXPECT_EQ(SwitchFrame("c_ButtonMusicToggle"), 1) << "shown off, as stored";
  EXPECT_EQ(SwitchFrame("c_ButtonSFXToggle"), 0);

  Click(names::kPauseOptions, "c_ButtonMusicToggle");
  Click(names::kPauseOptions, "c_ButtonSFXToggle");
  const game::Settings stored = game::SettingsFile(path).Load();
  EXPECT_TRUE(stored.music);
  EXPECT_FALSE(stored.sfx);
  EXPECT_TRUE(stored.fullScreen);
  EXPECT_THAT(ReadText(path), HasSubstr("\"future\": 1"));

  Click(names::kPauseOptions, "c_ButtonScreenToggle");
  EXPECT_FALSE(game::SettingsFile(path).Load().fullScreen);
}

TEST_F(OptionsSettingsTest, WithoutASettingsFileNothingIsWritten) {
  PlayLevel1PastItsIntro();
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonOption");
  Click(names::kPauseOptions, "c_ButtonMusicToggle");
  EXPECT_FALSE(audio::Audio().musicOn);
  EXPECT_FALSE(fs::exists(game::SettingsFile::DefaultPath())) << "the runner and the tests store nothing";
}

}  // namespace
