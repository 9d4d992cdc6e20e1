// Start-up and shutdown of the engine's services around the frame loop, shared by
// the game's entry point and the headless runner.
#pragma once

#include <memory>

#include "audio/audio_backend.h"
#include "platform/window.h"

namespace core {

// The engine's services for one window, for the length of a scope: the constructor
// starts them in their fixed order (the graphics block, the component registry, the
// sound system on the given backend, or on the machine's audio device when null);
// the destructor takes them down again, also when an exception leaves the scope.
// The window is not owned and must outlive the engine.
class Engine {
 public:
  explicit Engine(platform::Window& window, std::unique_ptr<audio::AudioBackend> audio = nullptr);
  // Releases the spaces (whose sprites own textures) while the graphics are still
  // up, then the graphics and the sound.
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // False when the render device or the shader did not come up (reported on
  // standard error): the game runs on drawing nothing, the runner stops.
  bool GraphicsStarted() const { return graphicsStarted_; }

 private:
  bool graphicsStarted_ = false;
};

}  // namespace core
