// The level states and their shared logic: timer, level end and rating, victory
// buttons, transitions, debug keys, and the refusal of level files that lack what
// the game needs.
#include <fstream>

#include <gmock/gmock.h>

#include "components/pool.h"
#include "game/game_states.h"
#include "game/level_logic.h"
#include "game/names.h"
#include "game/states/sequence.h"
#include "game_fixture.h"

namespace {

using game_testing::GameTest;
namespace names = game::names;

class LevelsTest : public GameTest {};

TEST_F(LevelsTest, RatingCountsTheStarAndTimeObjectives) {
  struct Case {
    int stars;
    float seconds;
    int rating;
    int starsMark, timeMark;  // frame 0 achieved, 1 missed
  };
  const Case cases[] = {
      {25, 119.5f, 2, 0, 0},
      {24, 121.0f, 0, 1, 1},
      {30, 150.0f, 1, 0, 1},
      {3, 60.0f, 1, 1, 0},
  };
  for (const Case& c : cases) {
    Enter(game::kLevel2);
    Level().collectedStars = c.stars;
    Level().elapsedTime = c.seconds;
    game::UpdateVictory();  // the end time follows the timer until the end
    game::EndLevel();
    EXPECT_EQ(Level().rating, c.rating) << c.stars << " stars, " << c.seconds << " s";
    EXPECT_EQ(SpriteOf(names::kVictorySpace, names::kShrine).frameIndex, c.rating);
    EXPECT_EQ(SpriteOf(names::kVictorySpace, names::kMarkLevel).frameIndex, 0);
    EXPECT_EQ(SpriteOf(names::kVictorySpace, names::kMarkStars).frameIndex, c.starsMark);
    EXPECT_EQ(SpriteOf(names::kVictorySpace, names::kMarkTime).frameIndex, c.timeMark);
    EXPECT_TRUE(SpaceNamed(names::kLevel2).IsPaused());
    Enter(game::kLevel3);  // leave, so that the next case enters Level2 afresh
  }
}

TEST_F(LevelsTest, TheLevelEndsOnceAndItsVictoryScreenFollows) {
  Enter(game::kLevel2);
  RunFrames(10);
  EXPECT_FALSE(SpaceNamed(names::kVictorySpace).IsActive());
  Level().collectedStars = 25;
  game::EndLevel();
  const float endTime = Level().endTime;
  RunFrames(1);
  EXPECT_TRUE(SpaceNamed(names::kVictorySpace).IsActive());
  EXPECT_FALSE(Level().timerVisible);
  EXPECT_EQ(SpriteOf(names::kTimerSpace, "a_Digit0").frameIndex, 11) << "the digits go empty";
  // A second touch of the exit changes nothing.
  Level().collectedStars = 0;
  game::EndLevel();
  RunFrames(5);
  EXPECT_EQ(Level().rating, 2);
  EXPECT_EQ(Level().endTime, endTime);
  EXPECT_FALSE(Level().timerVisible);
}

TEST_F(LevelsTest, TimerStopsAtOneHundredMinutesUntilKeyFourBringsItBack) {
  Enter(game::kLevel2);
  Level().elapsedTime = 5999.99f;
  RunFrames(10);
  EXPECT_TRUE(Level().maxShown);
  EXPECT_FLOAT_EQ(Level().elapsedTime, 5999.99f) << "not advanced past the limit";
  EXPECT_EQ(SpriteOf(names::kTimerSpace, names::kTimerMax).colour.w, 1.0f);
  for (const char* cell : names::kTimerCells) EXPECT_EQ(SpriteOf(names::kTimerSpace, cell).frameIndex, 11);

  Chord({'D', 'E', 'B', 'G'});
  Tap('4');
  EXPECT_FALSE(Level().maxShown);
  EXPECT_EQ(SpriteOf(names::kTimerSpace, names::kTimerMax).colour.w, 0.0f);
  RunFrames(1);
  // 5989.99 s and the frames since: 99 minutes 50 seconds.
  const int expected[5] = {9, 9, 10, 5, 0};
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(SpriteOf(names::kTimerSpace, names::kTimerCells[i]).frameIndex, expected[i]);
}

// On a slow machine the simulation's steps are capped, but the timer keeps to the
// clock on the wall; only a stall (a dragged window) is cut short.
TEST_F(LevelsTest, TimerCountsRealTimeWhenFramesAreCappedButNotAWholeStall) {
  Enter(game::kLevel2);
  timer_.dt = 0.025f;
  timer_.real = 0.05f;
  float before = Level().elapsedTime;
  RunFrames(40);
  EXPECT_NEAR(Level().elapsedTime - before, 2.0f, 0.01f) << "real time, not 40 capped steps of 0.025 s";
  timer_.real = 30.0f;
  before = Level().elapsedTime;
  RunFrames(1);
  EXPECT_FLOAT_EQ(Level().elapsedTime - before, game::kLongestTimedFrame);
  timer_.real.reset();
}

TEST_F(LevelsTest, TimerRateTwentyAddsTwentySecondsPerSecond) {
  Enter(game::kLevel2);
  Chord({'D', 'E', 'B', 'G'});
  Tap('9');
  const float before = Level().elapsedTime;
  RunFrames(60);
  EXPECT_NEAR(Level().elapsedTime - before, 20.0f, 0.01f);
  Tap('6');
  const float stopped = Level().elapsedTime;
  RunFrames(30);
  EXPECT_EQ(Level().elapsedTime, stopped);
}

TEST_F(LevelsTest, DebugKeysNeedTheWholeChordAndJumpBetweenLevels) {
  Enter(game::kLevel2);
  Chord({'D', 'E', 'B'});
  Tap('1');
  RunFrames(1);
  EXPECT_EQ(base::States().current, game::kLevel2) << "three letters of the chord unlock nothing";
  Chord({'D', 'E', 'B', 'G'});
  EXPECT_TRUE(Level().debugKeysEnabled);
  Tap('3');
  RunFrames(1);
  EXPECT_EQ(base::States().current, game::kLevel3);
  Chord({'H', 'I', 'D', 'E'});
  EXPECT_FALSE(Level().debugKeysEnabled);
  Tap('1');
  RunFrames(1);
  EXPECT_EQ(base::States().current, game::kLevel3);
}

TEST_F(LevelsTest, KeyZeroEndsTheLevelAndNextGoesOnToLevelTwo) {
  Enter(game::kLevel1);
  Enter(game::kLevel2);
  Enter(game::kLevel1);  // Level1 again: no intro
  ASSERT_EQ(Level().introStage, 6);
  Chord({'D', 'E', 'B', 'G'});
  Tap('0');
  RunFrames(1);
  ASSERT_TRUE(Level().levelEnded);
  EXPECT_TRUE(ButtonOf(names::kVictorySpace, names::kButtonNext).canClick);
  EXPECT_FALSE(ButtonOf(names::kVictorySpace, names::kButtonRestart).canClick);
  EXPECT_EQ(SpriteOf(names::kVictorySpace, names::kButtonRestart).colour.w, 0.0f);
  Click(names::kVictorySpace, names::kButtonNext);
  RunFrames(1);
  EXPECT_EQ(base::States().current, game::kLevel2);
  EXPECT_FALSE(SpaceNamed(names::kVictorySpace).IsActive());
  EXPECT_FALSE(SpaceNamed(names::kLevel1).IsActive());
  EXPECT_TRUE(SpaceNamed(names::kLevel2).IsActive());
  EXPECT_FALSE(SpaceNamed(names::kLevel2).IsPaused());
}

TEST_F(LevelsTest, LevelThreeOffersOnlyNextWhichLeadsToTheEndScreen) {
  Enter(game::kLevel3);
  game::EndLevel();
  RunFrames(1);
  EXPECT_TRUE(ButtonOf(names::kVictorySpace, names::kButtonNext).canClick);
  EXPECT_FALSE(ButtonOf(names::kVictorySpace, names::kButtonRestart).canClick);
  EXPECT_EQ(SpriteOf(names::kVictorySpace, names::kButtonNext).colour.w, 1.0f);
  EXPECT_EQ(SpriteOf(names::kVictorySpace, names::kButtonRestart).colour.w, 0.0f);
  Click(names::kVictorySpace, names::kButtonNext);
  RunFrames(1);
  EXPECT_EQ(base::States().current, game::kLevelWin);
  EXPECT_TRUE(SpaceNamed(names::kEndSpace).IsActive());
}

TEST_F(LevelsTest, EnterPressesTheVictoryButtonTheLevelArms) {
  for (const int level : {game::kLevel2, game::kLevel3}) {
    Enter(level);
    game::EndLevel();
    RunFrames(2);
    ASSERT_TRUE(SpaceNamed(names::kVictorySpace).IsActive());
    Tap(platform::kVkReturn);
    RunFrames(1);
    EXPECT_EQ(base::States().current, level == game::kLevel2 ? game::kLevel3 : game::kLevelWin)
        << "from state " << level;
  }
}

TEST_F(LevelsTest, ReenteringALevelResetsPlayerStarsAndObjects) {
  Enter(game::kLevel2);
  objects::Space& level = SpaceNamed(names::kLevel2);
  auto& player = ComponentOf<objects::Transform>(names::kLevel2, names::kPlayer, "Transform");
  auto& stars = ComponentOf<components::Pool>(names::kLevel2, names::kUi, "Pool");
  player.translation = {7.0f, 3.0f, 0.0f, 1.0f};
  stars.amount = 12;
  std::shared_ptr<objects::GameObject> someObject = level.GetObjects().rbegin()->second;
  someObject->SetActive(false);
  Enter(game::kLevel3);
  EXPECT_FALSE(level.IsActive());
  Enter(game::kLevel2);
  EXPECT_TRUE(level.IsActive());
  EXPECT_EQ(player.translation.x, 0.0f);
  EXPECT_EQ(player.translation.y, 0.0f);
  EXPECT_EQ(stars.amount, 0u);
  EXPECT_TRUE(someObject->IsActive());
  EXPECT_EQ(Level().collectedStars, 0);
}

TEST_F(LevelsTest, TransitionLastsExactlyTwoHundredFortyFramesWhateverTheFrameTime) {
  for (int state : {game::kLevel1Transition, game::kLevel2Transition}) {
    timer_.dt = state == game::kLevel1Transition ? 0.1f : 0.001f;
    Enter(state);
    RunFrames(238);
    EXPECT_EQ(base::States().current, state);
    RunFrames(1);  // frame 240 asks for the level
    RunFrames(1);
    EXPECT_EQ(base::States().current, state == game::kLevel1Transition ? game::kLevel2 : game::kLevel3);
  }
}

// Level1's intro at a frame rate.
class IntroTimingTest : public GameTest, public testing::WithParamInterface<float> {};

TEST_P(IntroTimingTest, WelcomeFadesInStartsTheMusicAndFadesOutWithinTwoSeconds) {
  const float dt = GetParam();
  timer_.dt = dt;
  Enter(game::kLevel1);
  EXPECT_TRUE(SpaceNamed(names::kLevel1).IsPaused());
  EXPECT_EQ(SpriteOf(names::kLogosSpace, names::kBlackScreen).colour.w, 1.0f)
      << "the black screen is there even when the logos did not run";
  float now = dt;  // seconds since Level1 began, the entering frame included
  float welcomeShown = -1.0f;
  float musicStarted = -1.0f;
  while (Level().introStage < 6 && now < 5.0f) {
    RunFrames(1);
    now += dt;
    const float welcome = SpriteOf(names::kLogosSpace, names::kWelcome0).colour.w;
    if (welcomeShown < 0.0f && welcome == 1.0f) welcomeShown = now;
    if (musicStarted < 0.0f && MusicGain() > 0.0f) musicStarted = now;
  }
  EXPECT_LE(now, 2.0f) << "from Level1's first frame to play";
  EXPECT_GE(now, 1.2f) << "time to read the welcome";
  EXPECT_GT(welcomeShown, 0.2f) << "faded in, not shown at once";
  EXPECT_LT(welcomeShown, 0.7f);
  EXPECT_GT(musicStarted, welcomeShown) << "the music starts while the welcome shows";
  EXPECT_LT(musicStarted, now);
  EXPECT_FALSE(SpaceNamed(names::kLevel1).IsPaused());
  EXPECT_FALSE(SpaceNamed(names::kLogosSpace).IsActive());
  EXPECT_EQ(SpriteOf(names::kLogosSpace, names::kBlackScreen).colour.w, 0.0f);
  const float start = Level().elapsedTime;
  RunFrames(static_cast<int>(1.0f / dt + 0.5f));
  EXPECT_NEAR(Level().elapsedTime - start, 1.0f, 0.01f) << "the timer runs once play begins";
}

INSTANTIATE_TEST_SUITE_P(FrameRates, IntroTimingTest,
                         testing::Values(1.0f / 60.0f, 1.0f / 20.0f, 1.0f / 144.0f));

TEST_F(LevelsTest, WinLevelHasItsOwnGoalsAndAHiddenTimer) {
  Enter(game::kLevelWin);
  EXPECT_EQ(Level().starGoal, 7);
  EXPECT_EQ(Level().timeGoal, 600.0f);
  EXPECT_FALSE(Level().timerVisible);
  RunFrames(2);
  EXPECT_EQ(SpriteOf(names::kTimerSpace, "a_Digit0").frameIndex, 11);
  Level().collectedStars = 7;
  game::EndLevel();
  EXPECT_EQ(Level().rating, 2);
  RunFrames(2);
  EXPECT_FALSE(SpaceNamed(names::kVictorySpace).IsActive()) << "the win level shows no victory screen";
  Enter(game::kLevel2);
  EXPECT_FALSE(SpaceNamed(names::kLevelWin).IsActive()) << "left behind, it would run under Level2";
}

TEST_F(LevelsTest, LevelFileWithoutWhatTheGameNeedsIsRefusedWithItsName) {
  struct Case {
    const char* content;  // null: no file at all
    const char* expected;
  };
  const Case cases[] = {
      {R"({"Level2": {"c_UI": {"Pool": {}, "PlayerUI": {}}}})",
       "Levels/Level2.txt: space \"Level2\" has no object \"Player\""},
      {R"({"Level2": {"Player": {"Transform": {}}}})",
       "Levels/Level2.txt: space \"Level2\" has no object \"c_UI\""},
      {R"({"Level2": {"Player": {"Transform": {}}, "c_UI": {"Pool": {}}}})",
       "Levels/Level2.txt: object \"c_UI\" of space \"Level2\" has no PlayerUI component"},
      {R"({"Other": {}})", "Levels/Level2.txt: no space \"Level2\" in the file"},
      {nullptr, "Levels/Level2.txt: cannot open the file"},
  };
  const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "broken_levels";
  const auto dataFolder = std::filesystem::current_path();
  for (const Case& c : cases) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "Levels");
    if (c.content != nullptr) std::ofstream(folder / "Levels" / "Level2.txt") << c.content;
    objects::ResetSpaces();
    base::States().Reset();
    std::filesystem::current_path(folder);
    base::States().next = game::kLevel2;
    testing::internal::CaptureStderr();
    try {
      RunFrames(1);
      ADD_FAILURE() << "loaded: " << (c.content != nullptr ? c.content : "no file");
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), c.expected);
    }
    testing::internal::GetCapturedStderr();
    std::filesystem::current_path(dataFolder);
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
