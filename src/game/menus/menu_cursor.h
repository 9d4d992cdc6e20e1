// Keyboard and controller use of the overlays: each overlay space gets a Cursor
// (arrows, Tab, W and S, the D-pad and the stick move between its buttons in screen
// order, Enter or A presses the selected one) and a mark over the selected button.
// Only the overlay drawn on top reacts.
#pragma once

namespace objects {
class Space;
}

namespace game {

// Adds the cursor object to a freshly loaded overlay space; a space without
// buttons gets none. `firstChoice` names the button selected whenever the overlay
// comes to the top (an exit question starts on its No); empty: the first button in
// screen order. `backChoice` names the button that goes back a page (B on a
// controller); empty: none.
void AddMenuCursor(objects::Space& space, const char* firstChoice = "", const char* backChoice = "");

// Presses the back button of the overlay `top` when it has one that can be
// clicked; false otherwise (nothing happened).
bool PressMenuBack(const objects::Space* top);

// Makes the cursor of `top` the only one that reacts and shows its mark; null hides
// every mark. An overlay that has just come to the top starts on its first choice.
// Also fits the mark to the selected button.
void ShowMenuCursorOnly(const objects::Space* top);

}  // namespace game
