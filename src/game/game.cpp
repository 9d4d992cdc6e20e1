#include "game/game.h"

#include "base/player_notice.h"
#include "components/hooks.h"
#include "core/frame_loop.h"
#include "core/window_procedure.h"
#include "game/blocks.h"
#include "game/level_logic.h"
#include "game/menus/notice.h"
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
  base::SetPlayerNoticeHook(&ShowNotice);
  core::SetFrameOverlay(&DrawNotice);
}

void ResetGame() { ResetGameBlocks(); }

}  // namespace game
