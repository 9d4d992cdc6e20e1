#include "game/states/win_level.h"

#include "game/level_logic.h"
#include "game/names.h"
#include "game/session.h"
#include "game/space_lookup.h"
#include "game/states/end_screen.h"
#include "game/states/levels.h"
#include "objects/space_registry.h"

namespace game {
namespace {

constexpr int kWinStarGoal = 7;
constexpr float kWinTimeGoal = 600.0f;  // seconds

}  // namespace

void WinLoad() {
  LoadSpaceOnce(names::kLevelWin, names::kLevelWinFile).SetActive(true);
  LoadEndScreen();
}

void WinInit() {
  SetUpLevelTimer(0.0f, 1.0f);
  LevelState& level = Session().level;
  level.timerVisible = !level.timerVisible;
  SetUpVictory(kWinStarGoal, names::kLevelWin, kWinTimeGoal);
  ShowEndScreen();
}

void WinUpdate(float dt) {
  ClearToLevelColour();
  UpdateLevelTimer();
  UpdateEndScreen();
  RunSpaces(dt);
}

void WinUnload() {
  // Level1's unload, and the win level's own space too: left active it would go on
  // updating under the next state, its camera taking over that state's view.
  for (const char* name : {names::kLevel1, names::kLevelWin}) {
    if (objects::Space* space = objects::FindSpace(name)) space->SetActive(false);
  }
  HideEndScreen();
}

}  // namespace game
