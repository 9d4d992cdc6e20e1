#include "core/engine.h"

#include "audio/sound_system.h"
#include "core/component_registration.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "objects/space_registry.h"

namespace core {

Engine::Engine(platform::Window& window, std::unique_ptr<audio::AudioBackend> audio) {
  graphics::Block().windowHandle = &window;
  input::AttachWindow(&window);
  input::AttachProjection(&graphics::Block().projection);
  // A failure has been reported by the graphics.
  graphicsStarted_ = graphics::InitializeGraphics() == 0;
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
  input::AttachProjection(nullptr);
  graphics::Block().windowHandle = nullptr;
}

}  // namespace core
