// The game's entry point: one window, the engine's services, the frame loop.
#include <exception>
#include <iostream>

#include "core/clock.h"
#include "core/engine.h"
#include "core/frame_loop.h"
#include "core/game_state_manager.h"
#include "game/game.h"
#include "platform/sdl/sdl_window.h"

namespace {

int RunGame() {
  core::EnterDataDirectory();
  platform::sdl::SdlWindow window(/*fullScreen=*/true);
  try {
    core::Engine engine(window);
    game::InstallGameHooks();
    core::SteadyClock clock;
    core::FrameRateController frameRate(60.0f, 40.0f, clock, core::FrameRateController::kFinePacing);
    core::PacedFrameTimer timer(frameRate);
    core::GameStateManager states(game::GameStateTable());
    core::FrameLoop loop(window, states, timer);
    loop.KeepRecordableHistory();
    return loop.Run();
  } catch (const std::exception& error) {
    window.ShowMessageBox("Velmaris", error.what());
    throw;
  }
}

}  // namespace

int main() {
  try {
    return RunGame();
  } catch (const std::exception& error) {
    std::cerr << "velmaris: " << error.what() << std::endl;
    return 1;
  } catch (...) {
    std::cerr << "velmaris: unknown error" << std::endl;
    return 1;
  }
}
