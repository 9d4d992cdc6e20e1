#include "game/game.h"

#include "components/hooks.h"
#include "core/window_procedure.h"
#include "game/blocks.h"
#include "game/level_logic.h"
#include "game/session.h"
#include "game/window_events.h"

namespace game {

void InstallGameHooks() {
  components::Hooks() = {.levelEnd = &EndLevel,
                         .starCount = [](int count) { Session().level.collectedStars = count; }};
  core::SetWindowEventHooks({.onClose = &OnWindowClose,
                             .onMinimize = &OnWindowMinimize,
                             .onSwitchWindow = &OnWindowSwitch,
                             .onFocusLost = &OnWindowFocusLost});
}

void ResetGame() { ResetGameBlocks(); }

}  // namespace game
