// Which objects dev mode's live reload must leave in their spaces.
#include "game/held_objects.h"

#include <gtest/gtest.h>

namespace {

TEST(HeldObjectsTest, ThePlayerTheCounterAndTheGamesOwnScreensAreHeldOtherLevelObjectsAreNot) {
  struct Case {
    const char* space;
    const char* object;
    bool held;
  };
  const Case cases[] = {
      {"Level1", "Player", true},
      {"Level3", "c_UI", true},
      {"LevelWin", "Player", true},
      {"Level1", "Star12", false},
      {"Level2", "nextLevelTrigger", false},
      {"Level1", "player", false},
      {"U_LevelTimer", "a_Digit0", true},
      {"W_VictoryUI", "anything", true},
      {"W_EndScreen", "b_Rating2", true},
      {"V_GameLogos", "e_Welcome0", true},
      {"X_PauseMenu", "c_ButtonResume", true},
      {"Y_PauseCredits", "a_Credits", true},
      {"Z_WindowExit", "c_WButtonNo", true},
      {"Level1Transition", "a_Text", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(game::IsHeldByGame(c.space, c.object), c.held) << c.space << " / " << c.object;
  }
}

}  // namespace
