// The game session: the process-wide state of the game itself (window and menu
// flags, the level being played, the state the levels share), in one object that
// the states, the menus and the button actions reach through Session().
#pragma once

#include <string>

namespace game {

// What every level state shares: the Level1 intro, the level timer, the level end
// and its rating, the debug keys. One instance for the whole run.
struct LevelState {
  int introStage = 0;        // step of the Level1 intro, 0..6 (6 = playing; there is no 2)
  float introFade = 0.0f;    // opacity of the welcome text and the black screen
  float introClock = 0.0f;   // seconds waited in the current intro step
  float elapsedTime = 0.0f;  // seconds shown by the level timer
  float timerRate = 1.0f;    // factor the level timer applies to dt
  bool timerVisible = true;  // the timer digits are shown
  bool maxShown = false;     // the timer reached its limit and shows "b_Max"
  bool levelEnded = false;   // the current level has ended
  float endTime = 0.0f;      // elapsedTime at the moment the level ended, seconds
  int collectedStars = 0;    // the star count PlayerUI publishes
  int starGoal = 25;         // stars needed for the star objective
  float timeGoal = 120.0f;   // seconds within which the level must end for the time objective
  int rating = 0;            // optional objectives reached, 0..2
  bool debugKeysEnabled = false;
};

struct GameSession {
  // Closing the window quits at once; cleared by the first level's Init, after
  // which a close shows the exit question.
  bool closeWithoutPrompt = true;
  bool menuOpen = false;            // an overlay (pause menu or exit question) is showing
  bool pauseRequested = false;      // the window was minimised; the pause menu opens next frame
  bool pausedFromMinimize = false;  // the pause menu was opened because of a minimise
  bool gamePaused = false;          // toggled each time an overlay opens or closes
  bool fullScreen = true;           // the picture fills the screen; the game starts so
  // Name of the space of the level being played ("BLANK" before the first level).
  std::string currentLevelSpace = "BLANK";
  LevelState level;
};

// The one game session of the process (a game block: ResetGame resets it).
GameSession& Session();

}  // namespace game
