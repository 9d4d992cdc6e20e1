#include "core/engine.h"

#include <filesystem>
#include <system_error>

#include "audio/sound_system.h"
#include "base/log.h"
#include "core/component_registration.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "objects/space_registry.h"

namespace core {

bool EnterDataDirectory() {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::is_directory("Levels", error)) return true;
  fs::current_path(VELMARIS_DATA_DIR, error);
  if (error) {
    base::LogError("startup", std::string("no Levels/ here and cannot enter the data folder ") +
                                  VELMARIS_DATA_DIR + ": " + error.message());
    return false;
  }
  return true;
}

Engine::Engine(platform::Window& window, std::unique_ptr<audio::AudioBackend> audio) {
  graphics::Block().windowHandle = &window;
  input::AttachWindow(&window);
  // A failure has been reported by the graphics; the game runs on drawing nothing.
  graphics::InitializeGraphics();
  core::RegisterComponents();
  if (audio) {
    audio::InitSoundSystem(std::move(audio));
  } else {
    audio::InitSoundSystem();
  }
}

Engine::~Engine() {
  objects::ResetSpaces();
  graphics::ShutdownGraphics();
  audio::ShutdownSoundSystem();
  input::AttachWindow(nullptr);
  graphics::Block().windowHandle = nullptr;
}

}  // namespace core
