// velmaris-sim: runs the game without a screen, at a fixed dt, with scripted input,
// for tests, for level makers and for checking behaviour on machines without a display.
#include <exception>
#include <filesystem>
#include <iostream>

#include "core/engine.h"
#include "core/frame_loop.h"
#include "core/game_state_manager.h"
#include "game/state_table.h"
#include "options.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/input_script.h"

namespace {

// Options whose engine parts have not landed in this build.
void RefuseUnavailable(const sim::Options& options) {
  auto refuse = [](const char* option) {
    throw sim::UsageError{std::string(option) + " is not available yet in this build"};
  };
  if (!options.levels.empty()) refuse("--load");
  if (!options.dumpPath.empty()) refuse("--dump");
  if (!options.screenshots.empty()) refuse("--screenshot");
  if (options.realWindow) refuse("--real-window");
}

int Run(const sim::Options& options) {
  if (!options.dataDir.empty()) {
    std::filesystem::current_path(options.dataDir);
  } else {
    core::EnterDataDirectory();
  }
  platform::headless::InputScript script;
  if (!options.inputScript.empty()) script = platform::headless::InputScript::Load(options.inputScript);

  platform::headless::HeadlessWindow window;
  core::StartEngine(window);
  core::ResetGameStates();
  if (options.startState) core::g_NextState = *options.startState;

  core::FixedFrameTimer timer(options.dt);
  core::GameStateManager states(game::GameStateTable());
  core::FrameLoop loop(window, states, timer);

  long long frame = 0;
  while (frame < options.frames) {
    for (const platform::Message& message : script.EventsOf(frame + 1)) window.Post(message);
    const int before = core::g_CurrentState;
    if (!loop.RunOneFrame()) break;
    ++frame;
    if (core::g_CurrentState != before) {
      std::cout << "frame " << frame << ": state " << before << " -> " << core::g_CurrentState << '\n';
    }
  }
  core::StopEngine();
  std::cout << "frames: " << frame << ", state: " << core::g_CurrentState << std::endl;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  sim::Options options;
  try {
    options = sim::ParseOptions(argc, argv);
    RefuseUnavailable(options);
  } catch (const sim::UsageError& error) {
    std::cerr << "velmaris-sim: " << error.message << '\n' << sim::kUsage << std::endl;
    return 2;
  }
  try {
    return Run(options);
  } catch (const std::exception& error) {
    std::cerr << "velmaris-sim: " << error.what() << std::endl;
    return 1;
  }
}
