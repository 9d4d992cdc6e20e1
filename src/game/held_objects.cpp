#include "game/held_objects.h"

#include "game/menus/menu_pages.h"
#include "game/names.h"

namespace game {

bool IsHeldByGame(std::string_view space, std::string_view object) {
  if (object == names::kPlayer || object == names::kUi) return true;
  for (const char* screen :
       {names::kTimerSpace, names::kVictorySpace, names::kEndSpace, names::kLogosSpace}) {
    if (space == screen) return true;
  }
  return FindMenuPage(space) != nullptr;
}

}  // namespace game
