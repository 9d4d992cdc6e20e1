#include "game/test_states.h"

#include <iostream>

#include "core/game_state_manager.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "platform/window.h"

namespace game {
namespace {

constexpr float kGreen[4] = {0.133333f, 0.545098f, 0.133333f, 1.0f};
constexpr float kDarkBlue[4] = {0.0f, 0.0f, 0.545098f, 1.0f};

}  // namespace

void ReturnToEmptyOnKeyZero() {
  if (input::IsKeyHeldNow(platform::kVk0)) core::g_NextState = core::kEmpty;
}

void SBPimrowUpdate(float) {
  graphics::ClearScreen(kGreen);
  ReturnToEmptyOnKeyZero();
}
void SBPimrowShutdown() { std::cout << "SBPimrow: exit" << std::endl; }

void SBZorbelInit() { std::cout << "SBZorbel: init" << std::endl; }
void SBZorbelUpdate(float) { ReturnToEmptyOnKeyZero(); }
void SBZorbelShutdown() { std::cout << "SBZorbel: exit" << std::endl; }

void SBQuentaInit() { graphics::ClearScreen(kDarkBlue); }
void SBQuentaUpdate(float) {
  graphics::ClearScreen(kDarkBlue);
  ReturnToEmptyOnKeyZero();
}
void SBQuentaShutdown() { std::cout << "SBQuenta: Exit" << std::endl; }

}  // namespace game
