// Notices on screen: what a screenshot or a recording that was saved, or could not
// be, tells the player, and how long it stays.
#include "game/menus/notice.h"

#include <cstdlib>
#include <fstream>
#include <optional>

#include <gmock/gmock.h>
#include <unistd.h>

#include "game/menus/label.h"
#include "game_fixture.h"

namespace {

using game_testing::GameTest;
using testing::ElementsAre;
using testing::HasSubstr;
namespace fs = std::filesystem;

class NoticeTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    if (const char* data = std::getenv("XDG_DATA_HOME")) savedDataHome_ = data;
    scratch_ = fs::path(testing::TempDir()) / ("notice-" + std::to_string(::getpid()));
    fs::create_directories(scratch_);
    Enter(game::kLevel1);
  }
  void TearDown() override {
    if (savedDataHome_) ::setenv("XDG_DATA_HOME", savedDataHome_->c_str(), 1);
    std::error_code ignored;
    fs::remove_all(scratch_, ignored);
    GameTest::TearDown();
  }

  // The player's data folder (screenshots, recordings) at `folder`.
  static void DataHomeAt(const fs::path& folder) { ::setenv("XDG_DATA_HOME", folder.c_str(), 1); }

  // A plain file where the data folder should be: no folder can be made under it.
  fs::path FileAsDataHome() {
    const fs::path file = scratch_ / "not-a-folder";
    std::ofstream(file) << "x";
    DataHomeAt(file);
    return file;
  }

  // The notice's lines after the frame that saw the key.
  std::vector<std::string> LinesAfterTapping(int key) {
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    Tap(key);
    stdout_ = testing::internal::GetCapturedStdout();
    stderr_ = testing::internal::GetCapturedStderr();
    return game::NoticeLinesShown();
  }

  // The lines below the headline as one text, the line breaks as spaces.
  static std::string Detail(const std::vector<std::string>& lines) {
    std::string detail;
    for (std::size_t i = 1; i < lines.size(); ++i) detail += (i > 1 ? " " : "") + lines[i];
    return detail;
  }

  fs::path scratch_;
  std::string stdout_;
  std::string stderr_;

 private:
  std::optional<std::string> savedDataHome_;
};

TEST_F(NoticeTest, ScreenshotThatCannotBeSavedShowsWhyAsStandardErrorDoes) {
  struct Case {
    const char* what;
    bool fileAsDataHome;
    const char* reason;
  };
  const Case cases[] = {
      {"the data folder is a file", true, "Not a directory"},
      // The headless renderer of the tests has no pixels to read back.
      {"the renderer cannot read back", false, "this renderer cannot read back its frames"},
  };
  for (const Case& c : cases) {
    if (c.fileAsDataHome) {
      FileAsDataHome();
    } else {
      DataHomeAt(scratch_ / "data");
    }
    const std::vector<std::string> lines = LinesAfterTapping(platform::kVkF12);
    ASSERT_FALSE(lines.empty()) << c.what;
    EXPECT_EQ(lines[0], "Screenshot not saved") << c.what;
    EXPECT_THAT(Detail(lines), HasSubstr(c.reason)) << c.what;
    EXPECT_THAT(stderr_, HasSubstr(c.reason)) << c.what;
  }
}

TEST_F(NoticeTest, RecordingShowsWhereItGoesAndWhereItWasSaved) {
  Loop().KeepRecordableHistory(scratch_ / "cache");
  DataHomeAt(scratch_ / "data");
  const std::vector<std::string> started = LinesAfterTapping(platform::kVkF9);
  ASSERT_TRUE(Loop().Recorder()->Recording());
  const std::string path = Loop().Recorder()->Path();
  EXPECT_THAT(started, ElementsAre("Recording (F9 stops)", testing::_));
  EXPECT_EQ(Detail(started), path);
  RunFrames(10);
  const std::vector<std::string> saved = LinesAfterTapping(platform::kVkF9);
  EXPECT_THAT(saved, testing::Contains("Recording saved"));
  EXPECT_EQ(Detail(saved), path);
  EXPECT_TRUE(fs::is_regular_file(path));
  EXPECT_THAT(stdout_, HasSubstr("recording saved: " + path));
}

TEST_F(NoticeTest, RecordingThatCannotStartShowsWhy) {
  Loop().KeepRecordableHistory(scratch_ / "cache");
  const fs::path file = FileAsDataHome();
  const std::vector<std::string> lines = LinesAfterTapping(platform::kVkF9);
  EXPECT_FALSE(Loop().Recorder()->Recording());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "Recording not started");
  EXPECT_THAT(Detail(lines), HasSubstr(file.string()));
  EXPECT_THAT(Detail(lines), HasSubstr("Not a directory"));
}

TEST_F(NoticeTest, StaysThreeSecondsThenFadesAndGoes) {
  game::ShowNotice({"Screenshot saved", "/somewhere/shot.png", false});
  RunFrames(1);
  EXPECT_THAT(game::NoticeLinesShown(), ElementsAre("Screenshot saved", "/somewhere/shot.png"));
  RunFrames(170);  // 2.85 s in
  EXPECT_EQ(game::NoticeOpacity(), 1.0f);
  RunFrames(20);  // 3.2 s: fading
  EXPECT_GT(game::NoticeOpacity(), 0.0f);
  EXPECT_LT(game::NoticeOpacity(), 1.0f);
  EXPECT_FALSE(game::NoticeLinesShown().empty());
  RunFrames(22);  // past 3.5 s
  EXPECT_EQ(game::NoticeOpacity(), 0.0f);
  EXPECT_TRUE(game::NoticeLinesShown().empty());
}

TEST_F(NoticeTest, ANewNoticeTakesThePlaceOfTheOneShowingAndAPauseDoesNotHoldIt) {
  game::ShowNotice({"First", "one", false});
  RunFrames(120);
  Tap(platform::kVkEscape);  // the pause menu stops the level, not the notice
  ASSERT_TRUE(game::Session().menuOpen);
  game::ShowNotice({"Second", "a much longer detail than the first", true});
  RunFrames(1);
  EXPECT_THAT(game::NoticeLinesShown(), ElementsAre("Second", "a much longer detail than the first"));
  RunFrames(3 * 60 + 33);
  EXPECT_TRUE(game::NoticeLinesShown().empty());
}

TEST(WrapTextTest, BreaksAtSpacesOrAfterSlashesAndTheLastLineTakesTheRest) {
  struct Case {
    std::string text;
    std::size_t width;
    std::size_t lines;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"short", 10, 2, {"short"}},
      {"two words here", 9, 2, {"two words", "here"}},
      {"/home/player/Pictures/Velmaris/shot.png", 22, 2, {"/home/player/Pictures/", "Velmaris/shot.png"}},
      {"abcdefghij", 4, 2, {"abcd", "efghij"}},  // nowhere to break: cut, the rest below
      {"a b c d e f", 3, 2, {"a b", "c d e f"}},
      {"", 5, 2, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(game::WrapText(c.text, c.width, c.lines), c.expected) << c.text;
}

}  // namespace
