// The end of the game: Level3's victory leads to the end screen with the run's
// ratings and times, Play again starts a new run at Level1, Quit asks first; and
// the numbers every victory screen writes against its goals.
#include <gmock/gmock.h>

#include "components/pool.h"
#include "game/level_logic.h"
#include "game/names.h"
#include "game/records.h"
#include "game_fixture.h"

namespace {

using game_testing::GameTest;
namespace names = game::names;

class EndScreenTest : public GameTest {
 protected:
  // Ends the level being played with `stars` collected at `seconds` on its timer.
  void EndWith(int stars, float seconds) {
    Level().collectedStars = stars;
    Level().elapsedTime = seconds;
    game::UpdateVictory();  // the end time follows the timer until the end
    game::EndLevel();
    RunFrames(1);
  }

  // The three levels played one after the other, Level3 left through its Next.
  void PlayTheGame() {
    PlayLevel1PastItsIntro();
    EndWith(30, 44.5f);
    Enter(game::kLevel2);
    EndWith(20, 130.25f);
    Enter(game::kLevel3);
    EndWith(25, 61.0f);
    Click(names::kVictorySpace, names::kButtonNext);
    RunFrames(1);
    ASSERT_EQ(base::States().current, game::kLevelWin);
  }

  static objects::Space* Question() { return objects::FindSpace(names::kWindowExit); }
};

TEST_F(EndScreenTest, WinningLevelThreeShowsTheRunsRatingsTimesAndTotal) {
  PlayTheGame();
  ASSERT_TRUE(SpaceNamed(names::kEndSpace).IsActive());
  EXPECT_FALSE(SpaceNamed(names::kVictorySpace).IsActive());
  EXPECT_FALSE(SpaceNamed(names::kLevel3).IsActive());
  EXPECT_TRUE(SpaceNamed(names::kLevelWin).IsPaused()) << "the win level stands still behind the screen";
  const struct {
    const char* time;
    int rating;
  } rows[] = {{"0:44", 2}, {"2:10", 0}, {"1:01", 2}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(LabelShown(names::kEndSpace, "time" + std::to_string(i + 1)), rows[i].time)
        << "level " << i + 1;
    EXPECT_EQ(SpriteOf(names::kEndSpace, names::kEndRatings[i]).frameIndex, rows[i].rating) << i + 1;
    EXPECT_EQ(SpriteOf(names::kEndSpace, names::kEndRatings[i]).colour.w, 1.0f) << i + 1;
  }
  EXPECT_EQ(LabelShown(names::kEndSpace, "total"), "3:55") << "44.5 + 130.25 + 61 seconds";
  RunFrames(30);
  EXPECT_EQ(base::States().current, game::kLevelWin) << "the screen waits for the player";
}

TEST_F(EndScreenTest, ALevelNotFinishedInThisRunShowsNoRatingOrTime) {
  Enter(game::kLevel3);  // the debug keys' way: straight to Level3
  EndWith(25, 80.0f);
  Click(names::kVictorySpace, names::kButtonNext);
  RunFrames(1);
  ASSERT_EQ(base::States().current, game::kLevelWin);
  EXPECT_EQ(LabelShown(names::kEndSpace, "time1"), "--:--");
  EXPECT_EQ(SpriteOf(names::kEndSpace, names::kEndRatings[0]).colour.w, 0.0f);
  EXPECT_EQ(LabelShown(names::kEndSpace, "time3"), "1:20");
  EXPECT_EQ(LabelShown(names::kEndSpace, "total"), "1:20");
}

TEST_F(EndScreenTest, PlayAgainStartsANewRunAtLevelOneWithTimerAndStarsAfresh) {
  PlayTheGame();
  Click(names::kEndSpace, names::kButtonPlayAgain);
  RunFrames(1);
  ASSERT_EQ(base::States().current, game::kLevel1);
  EXPECT_FALSE(SpaceNamed(names::kEndSpace).IsActive());
  EXPECT_FALSE(SpaceNamed(names::kLevelWin).IsActive());
  EXPECT_FALSE(Level().levelEnded);
  EXPECT_EQ(Level().collectedStars, 0);
  EXPECT_EQ(ComponentOf<components::Pool>(names::kLevel1, names::kUi, "Pool").amount, 0);
  EXPECT_LT(Level().elapsedTime, 0.1f);
  EXPECT_FALSE(SpaceNamed(names::kLevel1).IsPaused());
  for (const auto& result : game::StoredRecords().thisRun) EXPECT_FALSE(result.has_value());
  EXPECT_EQ(game::StoredRecords().best[1].bestTime, 130.25f) << "the best outlives the run";
  const float start = Level().elapsedTime;
  RunFrames(60);
  EXPECT_NEAR(Level().elapsedTime - start, 1.0f, 0.01f) << "the timer runs again";
}

TEST_F(EndScreenTest, QuitAsksTheExitQuestionWhoseNoComesBackAndWhoseYesQuits) {
  PlayTheGame();
  Click(names::kEndSpace, names::kButtonQuit);
  RunFrames(1);
  ASSERT_NE(Question(), nullptr);
  EXPECT_TRUE(Question()->IsActive());
  EXPECT_TRUE(SpaceNamed(names::kEndSpace).IsActive());
  EXPECT_FALSE(ButtonOf(names::kEndSpace, names::kButtonPlayAgain).canClick) << "the question is on top";
  EXPECT_EQ(base::States().current, game::kLevelWin);

  Click(names::kWindowExit, "c_WButtonNo");
  RunFrames(1);
  EXPECT_FALSE(Question()->IsActive());
  EXPECT_TRUE(ButtonOf(names::kEndSpace, names::kButtonQuit).canClick);
  EXPECT_TRUE(SpaceNamed(names::kLevelWin).IsPaused());

  Click(names::kEndSpace, names::kButtonQuit);
  RunFrames(1);
  ASSERT_TRUE(Question()->IsActive());
  window_.PostMouseMove(400, 450);  // away from Yes, then on it
  Click(names::kWindowExit, "c_WButtonYes");
  EXPECT_EQ(base::States().next, base::kQuitState);
}

TEST_F(EndScreenTest, KeyboardAndControllerWorkTheScreenAndTheQuestion) {
  struct Case {
    const char* what;
    int right, press, back;
  };
  const Case cases[] = {
      {"keyboard", platform::kVkRight, platform::kVkReturn, platform::kVkEscape},
      {"controller", platform::kVkPadRight, platform::kVkPadA, platform::kVkPadB},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlayTheGame();
    Tap(c.right);  // from Play again to Quit
    Tap(c.press);
    RunFrames(1);
    ASSERT_TRUE(Question()->IsActive());
    EXPECT_EQ(base::States().current, game::kLevelWin) << "the press that opened it did not answer it";
    Tap(c.back);
    EXPECT_FALSE(Question()->IsActive());
    EXPECT_FALSE(game::Session().menuOpen);
    Tap(c.press);  // back on Play again, the first choice
    RunFrames(1);
    EXPECT_EQ(base::States().current, game::kLevel1);
  }
}

TEST_F(EndScreenTest, EveryVictoryScreenWritesStarsAndTimeAgainstTheGoalsAndTheBest) {
  struct Case {
    int stars;
    float seconds;
    const char* starsText;
    const char* timeText;
    const char* bestText;  // after this end, the earlier cases' ends included
    bool starsGreyed, timeGreyed;
  };
  const Case cases[] = {
      {3, 75.0f, "3 / 25", "1:15 / 2:00", "Best 1:15   rating 2 / 3", true, false},
      {34, 130.0f, "34 / 25", "2:10 / 2:00", "Best 1:15   rating 2 / 3", false, true},
      {34, 58.9f, "34 / 25", "0:58 / 2:00", "Best 0:58   rating 3 / 3", false, false},
      {25, 6000.0f, "25 / 25", "100:00 / 2:00", "Best 0:58   rating 3 / 3", false, true},
  };
  // The panel's ink is dark; a missed objective's grey is light.
  const auto greyed = [](const char* label) {
    return SpriteOf(names::kVictorySpace, (std::string("z_") + label + "_000").c_str()).colour.x > 0.5f;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.stars << " stars, " << c.seconds << " s");
    Enter(game::kLevel2);
    EndWith(c.stars, c.seconds);
    EXPECT_EQ(LabelShown(names::kVictorySpace, "stars"), c.starsText);
    EXPECT_EQ(LabelShown(names::kVictorySpace, "time"), c.timeText);
    EXPECT_EQ(LabelShown(names::kVictorySpace, "best"), c.bestText);
    EXPECT_EQ(greyed("stars"), c.starsGreyed);
    EXPECT_EQ(greyed("time"), c.timeGreyed);
    Enter(game::kLevel1);
  }
}

TEST_F(EndScreenTest, ClockTextShowsWholeSecondsAsTheTimerDoes) {
  const std::pair<float, const char*> cases[] = {
      {0.0f, "0:00"},      {59.99f, "0:59"}, {60.0f, "1:00"},         {725.5f, "12:05"},
      {6000.0f, "100:00"}, {-3.0f, "0:00"},  {std::nanf(""), "0:00"}, {1e12f, "99999:59"},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(game::ClockText(seconds), text) << seconds;
}

}  // namespace
