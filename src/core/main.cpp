// The game's entry point: the command line, the player's settings and run log, one
// window, the engine's services, the frame loop.
#include <cstring>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>

#include "base/command_line.h"
#include "base/game_states.h"
#include "base/stop_signal.h"
#include "base/user_folders.h"
#include "core/clock.h"
#include "core/component_registration.h"
#include "core/data_folder.h"
#include "core/engine.h"
#include "core/frame_loop.h"
#include "core/game_state_manager.h"
#include "core/live_reload.h"
#include "core/run_log.h"
#include "game/game.h"
#include "game/game_states.h"
#include "game/held_objects.h"
#include "game/records.h"
#include "game/session.h"
#include "game/settings.h"
#include "game/states/custom_level.h"
#include "objects/space_registry.h"
#include "platform/sdl/sdl_window.h"

namespace {

struct Arguments {
  base::CommonOptions common;
  std::optional<bool> fullScreen;  // this run only; unset: as the settings say
};

base::CommandLine Declare(Arguments& arguments) {
  base::CommandLine line("velmaris", {"[OPTION]..."},
                         "Plays Velmaris: fly through three levels, collect the stars, beat the clock.");
  base::AddCommonOptions(line, arguments.common);
  line.Add({"--windowed", "", "play in a window this time (the settings keep their choice)",
            [&arguments](std::string_view) { arguments.fullScreen = false; }});
  line.Add({"--fullscreen", "", "play full screen this time (the settings keep their choice)",
            [&arguments](std::string_view) { arguments.fullScreen = true; }});
  return line;
}

int RunGame(const Arguments& arguments) {
  // From the start: a signal during start-up ends the run at the loop's first turn.
  base::InstallStopSignals();
  core::RunLog log(base::UserFolderPath(base::UserFolder::kState));
  if (!core::EnterDataDirectory(arguments.common.dataDir)) return 1;
  const game::Settings settings = game::LoadSettings(game::SettingsFile::DefaultPath());
  game::LoadRecords(game::RecordsFile::DefaultPath());
  const bool fullScreen = arguments.fullScreen.value_or(settings.fullScreen);
  if (!arguments.common.levelFile.empty()) {
    // Checked before the window opens: a level that cannot be played says why at once.
    // The check knows the component types as the engine registers them (which it
    // does again, to the same effect).
    core::RegisterComponents();
    const std::string problem =
        game::StartCustomLevel(arguments.common.levelFile, game::AfterCustomLevel::kQuit);
    if (!problem.empty()) {
      std::cerr << "velmaris: " << problem << std::endl;
      return 1;
    }
  } else {
    base::States().next = game::kFirstState;
  }
  platform::sdl::SdlWindow window(fullScreen);
  try {
    core::Engine engine(window);
    game::InstallGameHooks();
    game::Session().fullScreen = fullScreen;
    core::SteadyClock clock;
    core::FrameRateController frameRate(60.0f, 40.0f, clock, core::FrameRateController::kFinePacing);
    core::PacedFrameTimer timer(frameRate);
    core::GameStateManager states(game::GameStateTable());
    core::FrameLoop loop(window, states, timer);
    loop.KeepRecordableHistory(base::UserFolderPath(base::UserFolder::kCache));
    // Declared after the engine: it ends first, while the graphics are up.
    std::unique_ptr<core::LiveReload> reload;
    if (arguments.common.dev) {
      reload = std::make_unique<core::LiveReload>(objects::GetSpaceRegistry(), clock);
      reload->SetHeldObjects(&game::IsHeldByGame);
      loop.SetBetweenFrames([&reload] { reload->Poll(); });
      std::cout << "dev mode: data files reload when they change" << std::endl;
    }
    const int exitCode = loop.Run();
    if (const int signal = base::StopSignal(); signal != 0) {
      std::cerr << "velmaris: ended by signal " << signal << " (" << sigabbrev_np(signal) << ")" << std::endl;
    }
    return exitCode;
  } catch (const std::exception& error) {
    std::cerr << "velmaris: " << error.what() << std::endl;
    window.ShowMessageBox("Velmaris", error.what());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  const base::CommandLine line = Declare(arguments);
  try {
    line.Parse(argc, argv);
  } catch (const base::UsageError& error) {
    std::cerr << "velmaris: " << error.message << '\n'
              << line.Usage() << "(velmaris --help lists every option)" << std::endl;
    return 2;
  }
  if (arguments.common.help) {
    std::cout << line.Help();
    return 0;
  }
  if (arguments.common.version) {
    std::cout << base::VersionLine("velmaris") << std::endl;
    return 0;
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
