// The overlays over a level: pause menu, options, credits, exit questions, the
// window's close and minimise, the music volume they set, keyboard use.
#include "game/menus/menus.h"

#include <fstream>

#include <gmock/gmock.h>

#include "game/data_requirements.h"
#include "game/game_states.h"
#include "game/held_objects.h"
#include "game/level_logic.h"
#include "game/menus/menu_pages.h"
#include "game/names.h"
#include "game_fixture.h"
#include "working_directory.h"

namespace {

using game_testing::GameTest;
namespace names = game::names;

const float kMusicDown = audio::DecibelsToGain(-96.0f);
const float kMusicUp = audio::DecibelsToGain(1.0f);

class MenusTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    BeforeTheLevel();
    PlayLevel1PastItsIntro();
  }
  // What a test adds to the game before Level1 starts.
  virtual void BeforeTheLevel() {}

  bool Active(const char* space) { return SpaceNamed(space).IsActive(); }
  bool LevelPaused() { return SpaceNamed(names::kLevel1).IsPaused(); }

  // Every overlay that is showing.
  std::vector<std::string> OpenOverlays() {
    std::vector<std::string> open;
    for (const game::MenuPage& page : game::MenuPages()) {
      if (Active(page.space)) open.emplace_back(page.space);
    }
    return open;
  }
};

TEST_F(MenusTest, EscapePausesWithTheMusicDownAndResumesWithItUp) {
  Tap(platform::kVkEscape);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  EXPECT_TRUE(LevelPaused());
  EXPECT_TRUE(game::Session().menuOpen);
  EXPECT_FLOAT_EQ(MusicGain(), kMusicDown);
  const float timer = Level().elapsedTime;
  RunFrames(30);
  EXPECT_EQ(Level().elapsedTime, timer) << "the level timer stands while paused";
  Tap(platform::kVkEscape);
  EXPECT_TRUE(OpenOverlays().empty());
  EXPECT_FALSE(LevelPaused());
  EXPECT_FALSE(game::Session().gamePaused);
  EXPECT_FLOAT_EQ(MusicGain(), kMusicUp);
}

TEST_F(MenusTest, EscapeFromAnyPageResumesPlayInOneStep) {
  for (const char* page : {"c_ButtonOption", "c_ButtonCredits", "c_ButtonHTP", "c_ButtonExit"}) {
    Tap(platform::kVkEscape);
    Click(names::kPauseMenu, page);
    ASSERT_GE(OpenOverlays().size(), 1u) << page;
    Tap(platform::kVkEscape);
    EXPECT_TRUE(OpenOverlays().empty()) << page;
    EXPECT_FALSE(LevelPaused()) << page;
    EXPECT_FALSE(game::Session().menuOpen) << page;
  }
}

TEST_F(MenusTest, ClosingTheExitQuestionAnyWayGivesThePauseMenuItsButtonsBack) {
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonExit");
  EXPECT_FALSE(ButtonOf(names::kPauseMenu, "c_ButtonResume").canClick);
  EXPECT_TRUE(ButtonOf(names::kPauseMenu, "c_ButtonHTP").canClick);
  Tap(platform::kVkEscape);  // closes everything
  Tap(platform::kVkEscape);  // a new pause menu
  for (const char* button : {"c_ButtonResume", "c_ButtonExit", "c_ButtonOption", "c_ButtonCredits"}) {
    EXPECT_TRUE(ButtonOf(names::kPauseMenu, button).canClick) << button;
  }
  Click(names::kPauseMenu, "c_ButtonResume");
  EXPECT_TRUE(OpenOverlays().empty());
  EXPECT_FALSE(LevelPaused());
}

TEST_F(MenusTest, ExitQuestionNoGoesBackAndYesQuits) {
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonExit");
  EXPECT_EQ(OpenOverlays(), (std::vector<std::string>{names::kPauseMenu, names::kPauseExit}));
  Click(names::kPauseExit, "c_ButtonNo");
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  Click(names::kPauseMenu, "c_ButtonExit");
  Click(names::kPauseExit, "c_ButtonYes");
  EXPECT_EQ(base::States().next, base::kQuitState);
}

TEST_F(MenusTest, AnEndedLevelStaysPausedWhateverTheOverlaysDo) {
  game::EndLevel();
  RunFrames(1);
  Tap(platform::kVkEscape);
  EXPECT_TRUE(LevelPaused());
  EXPECT_FLOAT_EQ(MusicGain(), kMusicDown);
  Tap(platform::kVkEscape);
  EXPECT_TRUE(LevelPaused()) << "the level does not play on behind the victory screen";
  EXPECT_FLOAT_EQ(MusicGain(), kMusicUp);
  window_.PostSystemCommand(platform::SystemCommand::kClose);
  RunFrames(1);
  Click(names::kWindowExit, "c_WButtonNo");
  EXPECT_TRUE(LevelPaused());
  EXPECT_TRUE(Active(names::kVictorySpace));
}

TEST_F(MenusTest, MinimiseOpensThePauseMenuOnTheNextLevelFrameButNotOverAnOverlay) {
  window_.PostSystemCommand(platform::SystemCommand::kMinimize);
  RunFrames(1);
  EXPECT_TRUE(window_.IsMinimized());
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  EXPECT_TRUE(game::Session().pausedFromMinimize);
  window_.PostSystemCommand(platform::SystemCommand::kMinimize);
  RunFrames(1);
  EXPECT_FALSE(game::Session().pauseRequested) << "an open overlay is not paused again";
  Tap(platform::kVkEscape);
  EXPECT_TRUE(OpenOverlays().empty());
  EXPECT_FALSE(game::Session().pausedFromMinimize);
}

TEST_F(MenusTest, LosingTheFocusPausesAndReleasesWhatWasHeld) {
  window_.PostMouseButton(platform::kVkLeftButton, true, 900, 360);
  window_.PostKey('P', true);
  RunFrames(2);
  ASSERT_TRUE(input::IsKeyDown(platform::kVkLeftButton));
  window_.PostSystemCommand(platform::SystemCommand::kFocusLost);
  RunFrames(1);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  EXPECT_TRUE(LevelPaused());
  EXPECT_FALSE(window_.IsMinimized()) << "the window stays as it is";
  EXPECT_FALSE(input::IsKeyDown(platform::kVkLeftButton)) << "the release went to the other window";
  EXPECT_FALSE(input::IsKeyDown('P'));
  EXPECT_EQ(input::GetMousePosition().x, 900.0f) << "the button came up where the pointer was";
  // Coming back: the menu is still open, to be resumed on purpose.
  RunFrames(10);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  window_.PostSystemCommand(platform::SystemCommand::kFocusLost);
  RunFrames(1);
  EXPECT_FALSE(game::Session().pauseRequested) << "an open overlay is not paused again";
  Tap(platform::kVkEscape);
  EXPECT_TRUE(OpenOverlays().empty());
}

TEST_F(MenusTest, CreditsPageThroughEightPagesWithArrowsThatStopAtTheEnds) {
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonCredits");
  EXPECT_EQ(game::CreditsPage(), 0);
  EXPECT_FALSE(ButtonOf(names::kPauseCredits, "c_ButtonLeft").canClick);
  EXPECT_EQ(SpriteOf(names::kPauseCredits, "c_ButtonLeft").colour.w, 0.0f);
  for (int i = 0; i < 7; ++i) Click(names::kPauseCredits, "c_ButtonRight");
  EXPECT_EQ(game::CreditsPage(), 7);
  EXPECT_FALSE(ButtonOf(names::kPauseCredits, "c_ButtonRight").canClick);
  EXPECT_EQ(ComponentOf<graphics::SpriteSource>(names::kPauseCredits, "a_Credits", "SpriteSource").image,
            "images/PauseMenus/Credits/pause_credits_Page7.png");
  Click(names::kPauseCredits, "c_ButtonRight");  // unclickable: nothing happens
  EXPECT_EQ(game::CreditsPage(), 7);
  for (int i = 0; i < 6; ++i) Click(names::kPauseCredits, "c_ButtonLeft");
  EXPECT_EQ(game::CreditsPage(), 1);
  EXPECT_TRUE(ButtonOf(names::kPauseCredits, "c_ButtonLeft").canClick);
  Click(names::kPauseCredits, "c_ButtonLeft");
  EXPECT_EQ(game::CreditsPage(), 0);
  EXPECT_FALSE(ButtonOf(names::kPauseCredits, "c_ButtonLeft").canClick);
  ButtonOf(names::kPauseCredits, "c_ButtonLeft").action();  // whatever calls it, the page stays in the list
  EXPECT_EQ(game::CreditsPage(), 0);
  Click(names::kPauseCredits, "c_ButtonBack");
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
}

TEST_F(MenusTest, MusicSwitchedOffStaysSilentUntilSwitchedOnAgain) {
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonOption");
  Click(names::kPauseOptions, "c_ButtonMusicToggle");
  EXPECT_FALSE(audio::Audio().musicOn);
  EXPECT_EQ(SpriteOf(names::kPauseOptions, "c_ButtonMusicToggle").frameIndex, 1);
  Tap(platform::kVkEscape);
  EXPECT_FLOAT_EQ(MusicGain(), kMusicDown) << "resuming leaves the music off";
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonOption");
  Click(names::kPauseOptions, "c_ButtonMusicToggle");
  EXPECT_EQ(SpriteOf(names::kPauseOptions, "c_ButtonMusicToggle").frameIndex, 0);
  EXPECT_FLOAT_EQ(MusicGain(), kMusicDown) << "the music stays down while the menu is open";
  Tap(platform::kVkEscape);
  EXPECT_FLOAT_EQ(MusicGain(), kMusicUp);
}

TEST_F(MenusTest, SoundEffectsSwitchSilencesTheButtonClick) {
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonOption");
  Click(names::kPauseOptions, "c_ButtonSFXToggle");
  EXPECT_FALSE(audio::Audio().sfxOn);
  EXPECT_EQ(SpriteOf(names::kPauseOptions, "c_ButtonSFXToggle").frameIndex, 1);
  recorder_->ClearCalls();
  Click(names::kPauseOptions, "c_ButtonBack");
  EXPECT_TRUE(recorder_->CallsOf(audio::RecordingBackend::Op::kPlaySound).empty());
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
}

TEST_F(MenusTest, ScreenSwitchGoesToAWindowAndBack) {
  ASSERT_TRUE(game::Session().fullScreen);
  window_.SetFullScreen(true);
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonOption");
  Click(names::kPauseOptions, "c_ButtonScreenToggle");
  EXPECT_FALSE(window_.IsFullScreen());
  EXPECT_FALSE(game::Session().fullScreen);
  EXPECT_EQ(SpriteOf(names::kPauseOptions, "c_ButtonScreenToggle").frameIndex, 1);
  window_.PostSystemCommand(platform::SystemCommand::kNextWindow);
  RunFrames(1);
  EXPECT_TRUE(window_.IsFullScreen()) << "switching windows returns to full screen";
  EXPECT_EQ(SpriteOf(names::kPauseOptions, "c_ButtonScreenToggle").frameIndex, 0);
}

TEST_F(MenusTest, ClosingTheWindowDuringPlayAsksFirst) {
  window_.PostSystemCommand(platform::SystemCommand::kClose);
  RunFrames(1);
  EXPECT_FALSE(window_.IsDestroyed());
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kWindowExit});
  EXPECT_TRUE(LevelPaused());
  EXPECT_FLOAT_EQ(MusicGain(), kMusicDown);
  window_.PostSystemCommand(platform::SystemCommand::kClose);  // a second close asks nothing new
  RunFrames(1);
  Click(names::kWindowExit, "c_WButtonNo");
  EXPECT_TRUE(OpenOverlays().empty());
  EXPECT_FALSE(LevelPaused());
  EXPECT_FALSE(game::Session().gamePaused) << "play is not left paused";
  EXPECT_FLOAT_EQ(MusicGain(), kMusicUp);
  // Over the pause menu's own exit question a close does nothing.
  Tap(platform::kVkEscape);
  Click(names::kPauseMenu, "c_ButtonExit");
  window_.PostSystemCommand(platform::SystemCommand::kClose);
  RunFrames(1);
  EXPECT_FALSE(Active(names::kWindowExit));
  Tap(platform::kVkEscape);
  window_.PostSystemCommand(platform::SystemCommand::kClose);
  RunFrames(1);
  Click(names::kWindowExit, "c_WButtonYes");
  EXPECT_EQ(base::States().next, base::kQuitState);
}

TEST_F(MenusTest, TheKeyboardWorksTheTopmostOverlayOnly) {
  Tap(platform::kVkEscape);
  Tap(platform::kVkDown);  // Resume -> Options, in screen order
  Tap(platform::kVkReturn);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseOptions});
  Tap(platform::kVkUp);  // from Music to Back, wrapping round
  Tap(platform::kVkReturn);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  // Back on top, the pause menu starts on Resume again; Tab goes down to Exit.
  for (int i = 0; i < 5; ++i) Tap(platform::kVkTab);
  Tap(platform::kVkReturn);
  EXPECT_EQ(OpenOverlays(), (std::vector<std::string>{names::kPauseMenu, names::kPauseExit}));
  // Only the question reacts now, and it starts on No: Enter at once is safe.
  Tap(platform::kVkReturn);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  EXPECT_NE(base::States().next, base::kQuitState);
  Tap(platform::kVkDown);  // Options
  Tap(platform::kVkDown);  // Credits
  Tap(platform::kVkReturn);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseCredits});
  Tap(platform::kVkReturn);  // the credits start on Right; Left is greyed out on page 0
  EXPECT_EQ(game::CreditsPage(), 1);
  Tap(platform::kVkLeft);  // now Left can be reached
  Tap(platform::kVkReturn);
  EXPECT_EQ(game::CreditsPage(), 0);
  // The left arrow greys out again: Enter on it does nothing, the cursor moves on.
  Tap(platform::kVkReturn);
  EXPECT_EQ(game::CreditsPage(), 1);
}

TEST_F(MenusTest, KeysTappedWithinOneFrameStillCount) {
  auto tapWithinOneFrame = [this](int key) {
    window_.PostKey(key, true);
    window_.PostKey(key, false);
    RunFrames(1);
  };
  tapWithinOneFrame(platform::kVkEscape);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  RunFrames(2);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu}) << "one tap toggles once";
  tapWithinOneFrame(platform::kVkDown);  // Resume -> Options
  tapWithinOneFrame(platform::kVkReturn);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseOptions});
  tapWithinOneFrame(platform::kVkEscape);
  EXPECT_TRUE(OpenOverlays().empty());
  EXPECT_FALSE(LevelPaused());
}

// The pause menu opened during Level1's intro: the intro waits, the level stays
// paused, and the music (once started) goes down, never up.
class MenusDuringTheIntroTest : public GameTest {};

TEST_F(MenusDuringTheIntroTest, PausingDuringTheIntroKeepsTheLevelStillAndTheMusicDown) {
  Enter(game::kLevel1);
  while (Level().introStage < 4) RunFrames(1);  // the music has started
  Tap(platform::kVkEscape);
  EXPECT_TRUE(SpaceNamed(names::kLevel1).IsPaused());
  EXPECT_FLOAT_EQ(MusicGain(), kMusicDown);
  const float clock = Level().introClock;
  RunFrames(30);
  EXPECT_EQ(Level().introClock, clock) << "the intro waits";
  Tap(platform::kVkEscape);
  EXPECT_TRUE(SpaceNamed(names::kLevel1).IsPaused()) << "the intro still holds the level";
  EXPECT_FLOAT_EQ(MusicGain(), kMusicUp);
  while (Level().introStage < 6) RunFrames(1);
  EXPECT_FALSE(SpaceNamed(names::kLevel1).IsPaused());
}

// A data folder whose Menu/ lacks the window's exit question and the credits.
class MenusWithoutTheirFilesTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    namespace fs = std::filesystem;
    data_ = fs::current_path();
    folder_ = fs::path(testing::TempDir()) / "menus_without_files";
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "Menu");
    // Copies, not links: a link leading out of the data folder is refused.
    for (const char* entry : {"Levels", "Prefabs", "images", "Audio", "LuaScripts"}) {
      fs::copy(data_ / entry, folder_ / entry, fs::copy_options::recursive);
    }
    for (const auto& file : fs::directory_iterator(data_ / "Menu")) {
      const std::string name = file.path().filename().string();
      if (name != "MenuWindowExit.txt" && name != "MenuPauseCredits.txt") {
        fs::copy_file(file.path(), folder_ / "Menu" / name);
      }
    }
    fs::current_path(folder_);
  }
  void TearDown() override {
    std::filesystem::current_path(data_);
    std::filesystem::remove_all(folder_);
    GameTest::TearDown();
  }
  std::filesystem::path data_, folder_;
};

TEST_F(MenusWithoutTheirFilesTest, MissingOverlaysAreReportedAndTheirActionsDoNothing) {
  testing::internal::CaptureStderr();
  Enter(game::kLevel2);
  const std::string loading = testing::internal::GetCapturedStderr();
  EXPECT_THAT(loading, testing::HasSubstr("Menu/MenuWindowExit.txt: cannot open the menu file"));
  EXPECT_THAT(loading, testing::HasSubstr("Menu/MenuPauseCredits.txt: cannot open the menu file"));

  Tap(platform::kVkEscape);
  testing::internal::CaptureStderr();
  Click(names::kPauseMenu, "c_ButtonCredits");
  Click(names::kPauseMenu, "c_ButtonCredits");
  const std::string clicks = testing::internal::GetCapturedStderr();
  EXPECT_THAT(clicks, testing::HasSubstr("Y_PauseCredits"));
  EXPECT_EQ(clicks.find("Y_PauseCredits"), clicks.rfind("Y_PauseCredits")) << "said once: " << clicks;
  EXPECT_TRUE(SpaceNamed(names::kPauseMenu).IsActive()) << "nothing happened";

  // Without the window's exit question, a close quits as it does before the first level.
  game::Session().closeWithoutPrompt = false;
  window_.PostSystemCommand(platform::SystemCommand::kClose);
  EXPECT_FALSE(RunOneFrame()) << "the run ends";
  EXPECT_TRUE(window_.IsDestroyed());
}

// A page added as a new page is: its data file (here in a folder of the test's
// own), one row of the page table and its action.
int g_demoPings = 0;
void OnDemoPing() { ++g_demoPings; }

class MenuPageAddedTest : public MenusTest {
 protected:
  static constexpr const char* kSpace = "Y_PauseDemo";

  void BeforeTheLevel() override {
    root_ = testing_support::ScratchFolder("menu-page");
    std::filesystem::create_directories(root_);
    file_ = (root_ / "MenuDemo.txt").string();
    std::ofstream(file_) << R"({"Y_PauseDemo": {
        "c_ButtonPing": {"Transform": {"x_position": 0.0, "y_position": 2.0, "x_scale": 5.0, "y_scale": 1.667},
                         "SpriteSource": {"image": "images/PauseMenus/button_back.png"}, "Sprite": {},
                         "Button": {"buttonName": "Ping", "_canClick": true}},
        "c_ButtonBack": {"Transform": {"x_position": 0.0, "y_position": -2.0, "x_scale": 5.0, "y_scale": 1.667},
                         "SpriteSource": {"image": "images/PauseMenus/button_back.png"}, "Sprite": {},
                         "Button": {"buttonName": "Back", "_canClick": true}}}})";
    g_demoPings = 0;
    game::MenuPages().push_back(
        {kSpace,
         file_.c_str(),
         game::PageRole::kPausePage,
         "c_ButtonPing",
         "c_ButtonBack",
         {{"c_ButtonPing", &OnDemoPing, "pings"}, {"c_ButtonBack", &game::BackToPauseMenu, "back"}},
         {}});
  }

  void TearDown() override {
    MenusTest::TearDown();  // the game's own rows come back
    std::filesystem::remove_all(root_);
  }

  std::filesystem::path root_;
  std::string file_;
};

TEST_F(MenuPageAddedTest, IsLoadedWiredHeldValidatedAndClosedLikeTheGamesOwnPages) {
  ASSERT_FALSE(Active(kSpace)) << "loaded with the others, hidden";
  EXPECT_TRUE(game::IsHeldByGame(kSpace, "c_ButtonPing"));
  const std::vector<std::string> files = game::FilesLoadedByName();
  EXPECT_THAT(files, testing::Contains(file_));
  bool required = false;
  for (const serialization::RequiredObject& object : game::RequiredObjects())
    required |= object.file == file_ && object.object == "c_ButtonBack";
  EXPECT_TRUE(required) << "the validator checks the page's buttons";

  Tap(platform::kVkEscape);
  game::OpenPausePage(kSpace);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{kSpace});
  Tap(platform::kVkReturn);  // the keyboard starts on its first choice
  EXPECT_EQ(g_demoPings, 1);
  window_.PostKey(platform::kVkPadB, true);  // B presses its Back
  RunFrames(1);
  window_.PostKey(platform::kVkPadB, false);
  RunFrames(1);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  game::OpenPausePage(kSpace);
  Tap(platform::kVkEscape);  // Escape closes it as any page
  EXPECT_TRUE(OpenOverlays().empty());
  EXPECT_FALSE(LevelPaused());
}

}  // namespace
