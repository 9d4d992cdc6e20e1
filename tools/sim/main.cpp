// velmaris-sim: runs the game without a screen, at a fixed dt, with scripted input,
// for tests, for level makers and for checking behaviour on machines without a display.
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "audio/silent/silent_backend.h"
#include "audio_log.h"
#include "core/data_folder.h"
#include "core/engine.h"
#include "core/frame_loop.h"
#include "core/game_state_manager.h"
#include "core/live_reload.h"
#include "dump.h"
#include "game/game.h"
#include "game/game_states.h"
#include "game/held_objects.h"
#include "game/states/custom_level.h"
#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "graphics/screenshot.h"
#include "level_docs.h"
#include "objects/space_registry.h"
#include "options.h"
#include "overview.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/input_script.h"
#include "platform/scripted_window.h"
#include "platform/sdl/sdl_window.h"
#include "run_stats.h"
#include "serialization/serializer.h"
#include "steering.h"
#include "validate.h"

namespace {

namespace fs = std::filesystem;

// The scene viewer's one state (row 0 of its table): a plain level frame over every
// loaded space.
void ViewerUpdate(float dt) {
  const float cornflower[4] = {0.392157f, 0.584314f, 0.929412f, 1.0f};
  graphics::ClearScreen(cornflower);
  objects::UpdateSpaces(dt);
  objects::LateUpdateSpaces(dt);
  objects::DrawSpaces();
}

const core::StateTable& ViewerTable() {
  static const core::StateTable table{
      {core::EmptyOperation, core::EmptyOperation, ViewerUpdate, core::EmptyOperation, core::EmptyOperation}};
  return table;
}

// Each frame's time: the script's where it gives one (a recording of play), else --dt.
class ScriptFrameTimer final : public core::FrameTimer {
 public:
  ScriptFrameTimer(const platform::headless::InputScript& script, float dt) : script_(script), dt_(dt) {}
  core::FrameTimes WaitForFrame() override {
    const float dt = script_.FrameTimeOf(++frame_).value_or(dt_);
    return {dt, script_.RealTimeOf(frame_).value_or(dt)};
  }

 private:
  const platform::headless::InputScript& script_;
  float dt_;
  long long frame_ = 0;
};

// Paths given on the command line name files from where the runner was started;
// a level path that does not exist there is taken inside the data folder.
std::string FromStartFolder(const std::string& path) {
  if (path.empty() || fs::path(path).is_absolute()) return path;
  return fs::absolute(path).string();
}

std::string LevelPath(const std::string& path) {
  std::error_code error;
  return fs::exists(path, error) ? FromStartFolder(path) : path;
}

int Run(sim::Options options) {
  for (std::string& level : options.levels) level = LevelPath(level);
  options.dumpPath = FromStartFolder(options.dumpPath);
  options.audioLogPath = FromStartFolder(options.audioLogPath);
  options.inputScript = FromStartFolder(options.inputScript);
  for (std::string& route : options.steerRoutes) route = FromStartFolder(route);
  options.recordPath = FromStartFolder(options.recordPath);
  for (sim::Screenshot& shot : options.screenshots) shot.path = FromStartFolder(shot.path);
  options.overviewPath = FromStartFolder(options.overviewPath);
  options.statsPath = FromStartFolder(options.statsPath);

  if (!core::EnterDataDirectory(options.common.dataDir)) return 1;
  platform::headless::InputScript script;
  if (!options.inputScript.empty()) script = platform::headless::InputScript::Load(options.inputScript);
  std::unique_ptr<sim::Steering> steering;
  if (!options.steerRoutes.empty())
    steering = std::make_unique<sim::Steering>(options.steerRoutes, options.dt);

  // The real window is windowed so that its picture is exactly the client size.
  // Scripted events reach the game ahead of whatever the window itself reports.
  std::unique_ptr<platform::Window> device;
  if (options.realWindow) {
    device = std::make_unique<platform::sdl::SdlWindow>(/*fullScreen=*/false, platform::sdl::Dialogs::kNever);
  } else {
    device = std::make_unique<platform::headless::HeadlessWindow>();
  }
  platform::ScriptedWindow window(*device, /*scriptOwnsInput=*/!options.inputScript.empty() || steering);
  // Installed before the engine starts the sound system, so that the log shows the start-up loads.
  std::unique_ptr<sim::AudioLog> audioLog;
  if (!options.audioLogPath.empty()) audioLog = std::make_unique<sim::AudioLog>(options.audioLogPath);
  core::Engine engine(window,
                      audioLog ? sim::MakeAudioLogBackend() : std::make_unique<audio::SilentBackend>());
  // Nobody is there to answer a dialog, and a run that draws nothing proves nothing.
  if (!engine.GraphicsStarted()) {
    std::cerr << "velmaris-sim: the graphics did not start (see above); nothing is run" << std::endl;
    return 1;
  }
  game::InstallGameHooks();
  auto* recording = dynamic_cast<graphics::recording::RecordingRenderDevice*>(graphics::Block().device.get());
  // Started before the first load, so that it watches every file; it polls real time,
  // whatever dt the frames are given.
  core::SteadyClock reloadClock;
  std::unique_ptr<core::LiveReload> reload;
  if (options.common.dev) {
    reload = std::make_unique<core::LiveReload>(objects::GetSpaceRegistry(), reloadClock);
    reload->SetHeldObjects(&game::IsHeldByGame);
  }

  // A preview of a custom level: the level as loaded, its files found beside it.
  if (!options.overviewPath.empty() && !options.common.levelFile.empty()) {
    game::LookBesideTheLevel(options.common.levelFile);
    options.levels = {options.common.levelFile};
  }
  for (const std::string& level : options.levels) {
    serialization::Serializer serializer(&objects::GetSpaceRegistry());
    if (!serializer.LoadLevel(level)) throw std::runtime_error(level + ": cannot open the level file");
  }

  // The overview is drawn from the files as loaded, before any frame runs.
  if (!options.overviewPath.empty()) return sim::SaveLevelOverview(options.overviewPath) ? 0 : 1;

  const bool viewer = !options.levels.empty() && !options.startState;
  base::States().Reset();
  base::States().next = viewer ? 0 : options.startState.value_or(game::kFirstState);
  if (!options.common.levelFile.empty()) {
    const std::string problem =
        game::StartCustomLevel(options.common.levelFile, game::AfterCustomLevel::kQuit);
    if (!problem.empty()) throw std::runtime_error(problem);
  }

  ScriptFrameTimer timer(script, options.dt);
  core::GameStateManager states(viewer ? ViewerTable() : game::GameStateTable());
  core::FrameLoop loop(window, states, timer);

  if (reload) loop.SetBetweenFrames([&reload] { reload->Poll(); });

  sim::RunStats stats;
  long long frame = 0;
  bool screenshotsWritten = true;
  loop.SetBeforePresent([&] {
    for (const sim::Screenshot& shot : options.screenshots) {
      if (shot.frame == frame + 1)
        screenshotsWritten = graphics::SaveScreenshot(shot.path) && screenshotsWritten;
    }
  });
  while (frame < options.frames) {
    // A steered run ends with its route; its events go in as a replay's would.
    if (steering && steering->Finished()) break;
    if (steering) {
      for (const platform::Message& message : steering->Steer(frame + 1)) window.Post(message);
    }
    for (const platform::Message& message : script.EventsOf(frame + 1)) window.Post(message);
    const int before = base::States().current;
    if (audioLog) audioLog->SetFrame(frame + 1);
    stats.FrameStarted();
    if (!loop.RunOneFrame()) break;
    stats.FrameEnded();
    ++frame;
    if (base::States().current != before) {
      std::cout << "frame " << frame << ": state " << before << " -> " << base::States().current << '\n';
    }
    if (options.hashEvery > 0 && frame % options.hashEvery == 0) {
      std::cout << "frame " << frame << ": hash " << sim::DumpHash() << '\n';
    }
    // Only the last frame's draws matter to anyone; keep memory flat on long runs.
    if (recording != nullptr) recording->ForgetRecords();
  }

  if (audioLog) audioLog->Finish();
  if (!options.recordPath.empty()) {
    std::ofstream record(options.recordPath);
    steering->WriteRecording(record);
    if (!record) throw std::runtime_error(options.recordPath + ": cannot write the recording");
  }
  if (!options.dumpPath.empty()) {
    std::ofstream dump(options.dumpPath);
    if (!dump) throw std::runtime_error(options.dumpPath + ": cannot write the dump");
    sim::WriteDump(dump);
  }
  if (!options.statsPath.empty() && !stats.Write(options.statsPath)) {
    throw std::runtime_error(options.statsPath + ": cannot write the run statistics");
  }
  std::cout << "frames: " << frame << ", state: " << base::States().current << std::endl;
  return screenshotsWritten ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  sim::Options options;
  try {
    options = sim::ParseOptions(argc, argv);
    if (options.common.help) {
      std::cout << sim::Help();
      return 0;
    }
    if (options.common.version) {
      std::cout << base::VersionLine("velmaris-sim") << std::endl;
      return 0;
    }
    if ((!options.screenshots.empty() || !options.overviewPath.empty()) && !options.realWindow) {
      throw base::UsageError{
          "--screenshot and --overview need --real-window: only a real window draws pixels"};
    }
    if (!options.overviewPath.empty() && options.levels.empty() == options.common.levelFile.empty()) {
      throw base::UsageError{
          "--overview draws one level: --load LEVELFILE, or --level FILE for a custom level"};
    }
    if (options.validate && (options.realWindow || !options.levels.empty() || options.startState ||
                             !options.inputScript.empty() || !options.dumpPath.empty() ||
                             !options.screenshots.empty() || !options.overviewPath.empty())) {
      throw base::UsageError{"--validate runs nothing: it takes only --data and the files to check"};
    }
    const bool describes = options.schema || !options.referenceDir.empty();
    if (describes && (options.validate || options.realWindow || !options.levels.empty() ||
                      options.startState || !options.inputScript.empty() || !options.dumpPath.empty())) {
      throw base::UsageError{"--schema and --reference run nothing: they take only where to write"};
    }
  } catch (const base::UsageError& error) {
    std::cerr << "velmaris-sim: " << error.message << '\n'
              << sim::Usage() << "(velmaris-sim --help lists every option)" << std::endl;
    return 2;
  }
  try {
    if (options.validate) return sim::Validate(options);
    if (options.schema || !options.referenceDir.empty()) return sim::WriteLevelDocs(options);
    return Run(std::move(options));
  } catch (const std::exception& error) {
    std::cerr << "velmaris-sim: " << error.what() << std::endl;
    return 1;
  }
}
