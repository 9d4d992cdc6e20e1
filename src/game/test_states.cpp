#include "game/test_states.h"

#include <iostream>

#include "core/game_state_manager.h"
#include "input/input.h"
#include "platform/window.h"

namespace game {

void ReturnToEmptyOnKeyZero() {
  if (input::IsKeyHeldNow(platform::kVk0)) core::g_NextState = core::kEmpty;
}

void SBPimrowUpdate(float) { ReturnToEmptyOnKeyZero(); }
void SBPimrowShutdown() { std::cout << "SBPimrow: exit" << std::endl; }

void SBZorbelInit() { std::cout << "SBZorbel: init" << std::endl; }
void SBZorbelUpdate(float) { ReturnToEmptyOnKeyZero(); }
void SBZorbelShutdown() { std::cout << "SBZorbel: exit" << std::endl; }

void SBQuentaInit() {}
void SBQuentaUpdate(float) { ReturnToEmptyOnKeyZero(); }
void SBQuentaShutdown() { std::cout << "SBQuenta: Exit" << std::endl; }

}  // namespace game
