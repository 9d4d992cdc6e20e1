// The logo intro: its length in seconds at several frame rates, the skip keys, and a
// second entry.
#include <utility>

#include "game/game_states.h"
#include "game/names.h"
#include "game_fixture.h"

namespace {

using game_testing::GameTest;
namespace names = game::names;

class LogosTest : public GameTest {};

// The logos at a frame rate: when each logo is on screen, and when Level1 starts.
// Parameters: the frame's dt and its real time (a slow machine's frames are capped
// for the simulation, while the logos keep to the wall clock).
class LogoTimingTest : public GameTest, public testing::WithParamInterface<std::pair<float, float>> {
 protected:
  struct Span {
    float first = -1.0f;  // seconds from the start of the logos; -1: never seen
    float last = -1.0f;
    float Length() const { return last - first; }
    void See(float now) {
      if (first < 0.0f) first = now;
      last = now;
    }
  };
};

TEST_P(LogoTimingTest, EachLogoShowsUnderTwoSecondsAndLevelOneFollowsWhateverTheFrameRate) {
  const auto [dt, real] = GetParam();
  timer_.dt = dt;
  timer_.real = real;
  Enter(game::kGameLogos);
  Span logos[3];
  const char* objects[3] = {names::kLogoPellmar, names::kLogoLibraries, names::kLogoCorvaneT};
  float now = real;  // the entering frame ran
  for (int frame = 0; frame < 2000 && base::States().current == game::kGameLogos; ++frame) {
    for (int i = 0; i < 3; ++i) {
      const float y =
          ComponentOf<objects::Transform>(names::kLogosSpace, objects[i], "Transform").translation.y;
      // The third logo waits above the screen until it drops in.
      if (SpriteOf(names::kLogosSpace, objects[i]).colour.w > 0.0f && y < 15.0f) logos[i].See(now);
    }
    RunFrames(1);
    now += real;
  }
  timer_.real.reset();
  ASSERT_EQ(base::States().current, game::kLevel1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(logos[i].first, 0.0f) << objects[i] << " never showed";
    EXPECT_LE(logos[i].Length(), 2.0f) << objects[i];
    EXPECT_GE(logos[i].Length(), 1.0f) << objects[i] << " hardly seen";
  }
  EXPECT_LT(logos[0].last, logos[1].first) << "one logo after the other";
  EXPECT_LT(logos[1].last, logos[2].first);
  EXPECT_GE(now, 5.5f);
  EXPECT_LE(now, 7.0f) << "the logos last about 6 s in all";
  EXPECT_EQ(SpriteOf(names::kLogosSpace, names::kBlackScreen).colour.w, 1.0f);
  EXPECT_EQ(SpriteOf(names::kLogosSpace, names::kWhiteScreen).colour.w, 0.0f);
  EXPECT_TRUE(SpaceNamed(names::kLogosSpace).IsActive()) << "Level1's intro fades its text";
}

INSTANTIATE_TEST_SUITE_P(FrameRates, LogoTimingTest,
                         testing::Values(std::pair{1.0f / 60.0f, 1.0f / 60.0f}, std::pair{0.025f, 0.05f},
                                         std::pair{1.0f / 144.0f, 1.0f / 144.0f}));

TEST_F(LogosTest, AnyKeyButtonOrControllerButtonStartsLevelOneInTheSameFrameOverABlackScreen) {
  for (const int key : std::initializer_list<int>{
           platform::kVkSpace, platform::kVkReturn, platform::kVkEscape, platform::kVkLeftButton,
           platform::kVkRightButton, platform::kVkMiddleButton, int{'A'}, int{'7'}, platform::kVkShift,
           platform::kVkPadA, platform::kVkPadB, platform::kVkPadStart, platform::kVkPadUp}) {
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

TEST_F(LogosTest, TheStickAndTheCaptureKeysDoNotSkip) {
  Enter(game::kGameLogos);
  platform::Message stick;
  stick.type = platform::MessageType::kPadStick;
  stick.x = platform::kStickMax;  // well over to the right: its direction key goes down
  window_.Post(stick);
  RunFrames(2);
  Tap(platform::kVkF9);
  EXPECT_EQ(base::States().current, game::kGameLogos);
  EXPECT_EQ(base::States().next, game::kGameLogos);
  EXPECT_GT(SpriteOf(names::kLogosSpace, names::kLogoPellmar).colour.w, 0.0f) << "the first logo still shows";
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
