// Start-up and shutdown of the engine's services around the frame loop, shared by
// the game's entry point and the headless runner.
#pragma once

#include <memory>

#include "audio/audio_backend.h"
#include "platform/window.h"

namespace core {

// When the working directory has no Levels/ folder, changes into the data folder
// the program was built with. Returns false (with a line on standard error) when
// neither holds the game's data.
bool EnterDataDirectory();

// Starts the services in their fixed order for the given window: the graphics
// block, the component registry, the sound system (on the given backend, or on the
// machine's audio device when null). The window is not owned and must outlive the engine.
void StartEngine(platform::Window& window, std::unique_ptr<audio::AudioBackend> audio = nullptr);

// Takes the graphics and the sound down after the frame loop has ended.
void StopEngine();

}  // namespace core
