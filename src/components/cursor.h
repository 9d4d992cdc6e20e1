// Cursor: lets the keyboard walk through the buttons of its space and press the
// selected one, moving the cursor's object onto the selection. Not registered:
// code creates it.
#pragma once

#include <memory>
#include <vector>

#include "objects/base_component.h"
#include "objects/game_object.h"
#include "platform/window.h"

namespace components {

class Cursor : public objects::BaseComponent {
 public:
  Cursor();

  // Takes the objects of the owner's space that carry a "Button", in name order,
  // selects buttons[index] (0 when index lies outside) and moves onto it. False
  // without an object, outside a space, or in a space without buttons.
  bool Initialize() override;
  // nextKey (or one of moreNextKeys) selects the next button, previousKey (or one
  // of morePreviousKeys) the previous one (both wrap
  // around), selectKey calls the selected button's action (no sound, canClick not
  // consulted). Each key counts once per press. dt is not used.
  void Update(float dt) override;

  // The button objects, taken once at Initialize. Weak: the space owns them, and the
  // cursor's own object may be among them.
  std::vector<std::weak_ptr<objects::GameObject>> buttons;
  std::weak_ptr<objects::GameObject> selected;
  int index = 0;
  int selectKey = platform::kVkReturn;
  int nextKey = 'S';
  int previousKey = 'W';
  // Further keys that act as nextKey / previousKey (the menus add the arrow keys
  // and Tab, so that either hand finds them).
  std::vector<int> moreNextKeys;
  std::vector<int> morePreviousKeys;
  std::vector<int> moreSelectKeys;  // further keys that act as selectKey
  // When set, the cursor only ever rests on and presses buttons whose canClick is
  // set (the game's menus, where a greyed-out button must stay out of reach); off,
  // as the engine's default, Enter presses whatever is selected.
  bool skipUnclickable = false;
  int offsetX = 0;  // added to the cursor's x after it moves onto a button
  int offsetY = 0;  // added to the cursor's y

  // Selects buttons[newIndex] (which must be in range) and moves onto it.
  void Select(int newIndex);

 private:
  // From `start`, stepping by `step` (1 or -1) with wrap-around, the first button
  // the cursor may rest on; -1 when there is none.
  int FindSelectable(int start, int step) const;
  bool IsSelectable(int at) const;
  void MoveOntoSelection();
};

}  // namespace components
