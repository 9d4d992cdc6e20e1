#include "game/game.h"

#include "components/collision_handlers.h"
#include "components/player_ui.h"
#include "core/window_procedure.h"
#include "game/level_logic.h"
#include "game/menus/menu_cursor.h"
#include "game/menus/menus.h"
#include "game/session.h"
#include "game/settings.h"
#include "game/states/levels.h"
#include "game/states/logos.h"
#include "game/states/test_states.h"
#include "game/window_events.h"

namespace game {

void InstallGameHooks() {
  components::SetLevelEndHandler(&EndLevel);
  components::SetStarCountHandler([](int count) { Session().level.collectedStars = count; });
  core::SetWindowEventHooks(
      {.onClose = &OnWindowClose, .onMinimize = &OnWindowMinimize, .onSwitchWindow = &OnWindowSwitch});
}

void ResetGame() {
  Session().Reset();
  ResetLevelLogic();
  ResetMenus();
  ResetMenuCursors();
  ResetLevels();
  ResetLogos();
  ResetTestStates();
  StoredSettings() = SettingsBlock{};
}

}  // namespace game
