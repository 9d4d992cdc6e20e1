// The game's entry point: one window, the engine's services, the frame loop.
// `velmaris --dev` also reloads the data files it loaded when they change on disk.
#include <exception>
#include <iostream>
#include <memory>
#include <string_view>

#include "core/clock.h"
#include "core/engine.h"
#include "core/frame_loop.h"
#include "core/game_state_manager.h"
#include "core/live_reload.h"
#include "game/game.h"
#include "game/held_objects.h"
#include "objects/space_registry.h"
#include "platform/sdl/sdl_window.h"

namespace {

constexpr const char* kUsage =
    "usage: velmaris [--dev]\n  --dev  reload level, menu and prefab files and pictures when they change";

struct Arguments {
  bool dev = false;
};

int RunGame(const Arguments& arguments) {
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
    // Declared after the engine: it ends first, while the graphics are up.
    std::unique_ptr<core::LiveReload> reload;
    if (arguments.dev) {
      reload = std::make_unique<core::LiveReload>(objects::GetSpaceRegistry(), clock);
      reload->SetHeldObjects(&game::IsHeldByGame);
      loop.SetBetweenFrames([&reload] { reload->Poll(); });
      std::cout << "dev mode: data files reload when they change" << std::endl;
    }
    return loop.Run();
  } catch (const std::exception& error) {
    window.ShowMessageBox("Velmaris", error.what());
    throw;
  }
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--dev") {
      arguments.dev = true;
    } else {
      std::cerr << "velmaris: unknown option " << argument << '\n' << kUsage << std::endl;
      return 2;
    }
  }
  try {
    return RunGame(arguments);
  } catch (const std::exception& error) {
    std::cerr << "velmaris: " << error.what() << std::endl;
    return 1;
  } catch (...) {
    std::cerr << "velmaris: unknown error" << std::endl;
    return 1;
  }
}
