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
  // nextKey selects the next button, previousKey the previous one (both wrap
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
  int offsetX = 0;         // added to the cursor's x after it moves onto a button
  int offsetY = 0;         // added to the cursor's y

 private:
  void Select(int newIndex);
  void MoveOntoSelection();
};

}  // namespace components
