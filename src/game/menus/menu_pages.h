// The overlay pages of a level in one table: for each page its space, its file, how
// it opens and closes, its buttons' actions, its keyboard order and the other
// objects the game needs from it. Loading, wiring, showing, hiding, holding and the
// data validator all read this table, so a new page is its data file, one row and
// its action functions.
#pragma once

#include <string_view>
#include <vector>

namespace objects {
class Space;
}

namespace game {

// How a page relates to the pause menu; showing and hiding go by this.
enum class PageRole {
  kPauseMenu,       // the pause menu itself: Escape opens it, Back returns to it
  kPausePage,       // opened from the pause menu in its place; Back returns to it
  kPauseQuestion,   // shown over the pause menu, whose buttons it greys out
  kWindowQuestion,  // the question a close of the window asks; hides every other page
};

struct PageButton {
  const char* object;  // the object holding the Button
  void (*action)();
  const char* does;  // what the action does, in a few words

  // A pause menu button that stays clickable while a question is shown over it.
  bool clickableUnderQuestion = false;
};

// An object the game needs from the page besides its buttons, with the components
// it reads.
struct PagePiece {
  const char* object;
  std::vector<const char*> components;
};

struct MenuPage {
  const char* space;
  const char* file;  // relative to the data folder
  PageRole role;
  // The button the keyboard starts on (an exit question starts on No); empty: the
  // first in screen order.
  const char* firstChoice;
  // The button B on a controller presses to go back; empty: B closes the menu.
  const char* backChoice;
  std::vector<PageButton> buttons;
  std::vector<PagePiece> pieces;
  // What the page makes once its space is loaded (objects it shows text with); null:
  // nothing.
  void (*onLoad)(objects::Space& space) = nullptr;
};

// The pages in the order they are loaded (and the game's rows first). Tests may add
// a row before the first level starts; ResetGame brings back the game's rows.
std::vector<MenuPage>& MenuPages();

// The credits page showing, 0..7.
int CreditsPage();

// The row of the page whose space is `space`; null when no row has it.
const MenuPage* FindMenuPage(std::string_view space);

}  // namespace game
