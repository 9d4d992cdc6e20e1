// The logo intro: its length without input, the skip keys, and a second entry.
#include "game/game_states.h"
#include "game/names.h"
#include "game_fixture.h"

namespace {

using game_testing::GameTest;
namespace names = game::names;

class LogosTest : public GameTest {
 protected:
  // Frames until the state manager changes state, at most `limit`.
  int FramesUntilTheStateChanges(int limit) {
    const int start = base::States().current;
    for (int frame = 1; frame <= limit; ++frame) {
      RunFrames(1);
      if (base::States().current != start) return frame;
    }
    return -1;
  }
};

TEST_F(LogosTest, WithoutInputTheLogosTakeAboutTwentySecondsThenLevelOneStarts) {
  Enter(game::kGameLogos);
  const int frames = FramesUntilTheStateChanges(1400) + 1;  // and the entering frame
  EXPECT_GE(frames, 1150);
  EXPECT_LE(frames, 1300);
  EXPECT_EQ(base::States().current, game::kLevel1);
  EXPECT_EQ(SpriteOf(names::kLogosSpace, names::kBlackScreen).colour.w, 1.0f);
  EXPECT_EQ(SpriteOf(names::kLogosSpace, names::kWhiteScreen).colour.w, 0.0f);
  EXPECT_TRUE(SpaceNamed(names::kLogosSpace).IsActive()) << "Level1's intro fades its text";
}

TEST_F(LogosTest, EverySkipKeyStartsLevelOneInTheSameFrameOverABlackScreen) {
  for (int key : {platform::kVkSpace, platform::kVkReturn, platform::kVkEscape, platform::kVkLeftButton,
                  platform::kVkRightButton}) {
    game::ResetGame();
    game::InstallGameHooks();
    objects::ResetSpaces();
    base::States().Reset();
    Enter(game::kGameLogos);
    RunFrames(30);
    window_.PostKey(key, true);
    RunFrames(1);  // the skip frame asks for Level1 and leaves the logos at its end
    window_.PostKey(key, false);
    EXPECT_EQ(base::States().next, game::kLevel1) << "key " << key;
    EXPECT_EQ(SpriteOf(names::kLogosSpace, names::kBlackScreen).colour.w, 1.0f);
    EXPECT_EQ(SpriteOf(names::kLogosSpace, names::kLogoPellmar).colour.w, 0.0f);
  }
}

TEST_F(LogosTest, LosingTheFocusDuringTheLogosLeavesLevelOneUnpaused) {
  Enter(game::kGameLogos);
  window_.PostSystemCommand(platform::SystemCommand::kFocusLost);
  RunFrames(2);
  EXPECT_FALSE(game::Session().pauseRequested) << "nothing to pause before a level";
  Tap(platform::kVkSpace);
  RunFrames(2);
  ASSERT_EQ(base::States().current, game::kLevel1);
  EXPECT_FALSE(game::Session().menuOpen);
}

TEST_F(LogosTest, EnteringTheFinishedSequenceAgainAsksForLevelOneAtOnce) {
  Enter(game::kGameLogos);
  Tap(platform::kVkSpace);
  RunFrames(2);
  ASSERT_EQ(base::States().current, game::kLevel1);
  Enter(game::kGameLogos);
  EXPECT_EQ(base::States().next, game::kLevel1);
  RunFrames(1);
  EXPECT_EQ(base::States().current, game::kLevel1);
  EXPECT_EQ(Level().introStage, 6) << "Level1 was loaded before: no intro the second time";
}

TEST(GameStateNameTest, NamesTheTableAndTheSpecialValues) {
  EXPECT_EQ(game::GameStateName(0), "Empty");
  EXPECT_EQ(game::GameStateName(7), "GameLogos");
  EXPECT_EQ(game::GameStateName(12), "MenuTestSpace");
  EXPECT_EQ(game::GameStateName(-2), "Quit");
  EXPECT_EQ(game::GameStateName(-3), "None");
  EXPECT_EQ(game::GameStateName(13), "CustomLevel");
  EXPECT_EQ(game::GameStateName(14), "Invalid");
}

}  // namespace
