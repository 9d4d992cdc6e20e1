#include "game/window_events.h"

#include "base/game_states.h"
#include "game/game_states.h"
#include "game/menus/menus.h"
#include "game/session.h"

namespace game {

bool OnWindowClose() {
  if (Session().closeWithoutPrompt) return true;
  return ShowWindowExitPrompt() == CloseAnswer::kQuit;
}

void OnWindowMinimize() {
  GameSession& session = Session();
  if (!session.pausedFromMinimize && !session.menuOpen) session.pauseRequested = true;
}

void OnWindowFocusLost() {
  // Outside the levels (logos, transitions) there is nothing to pause, and a
  // request kept until the next level would open its pause menu unasked.
  const int state = base::States().current;
  if (state == game::kLevel1 || state == game::kLevel2 || state == game::kLevel3) OnWindowMinimize();
}

void OnWindowSwitch() {
  // The toggle, seeing the flag clear, goes (back) to full screen.
  Session().fullScreen = false;
  ToggleFullScreen();
}

}  // namespace game
