// The game's sound system: music and sound effects named by file path, volumes in
// decibels. One process-wide instance over an AudioBackend; every backend result is
// reported on standard output by CheckResult.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "audio/audio_backend.h"

namespace audio {

// Mixing channels the output is opened with. A start with all of them busy takes
// over the oldest one-shot effect's channel, never the music's (see AudioBackend).
inline constexpr int kChannelCount = 32;
// The music channel before the music has started: no id PlaySound hands out.
inline constexpr std::int32_t kNoChannel = -1;

// Told about every call made to the sound system, after the call has done its work
// (so the backend calls it made have happened). For tools that log or check a run;
// the game installs none. Calls made before InitSoundSystem are reported as well.
class SoundObserver {
 public:
  virtual ~SoundObserver() = default;
  virtual void OnLoadSound(const std::string& path, bool loop) = 0;
  // id: the channel id PlaySound returned (kNoChannel before InitSoundSystem).
  virtual void OnPlaySound(const std::string& path, float volumeDb, std::int32_t id) = 0;
  // id: the music channel the volume was meant for (kNoChannel before the music started).
  virtual void OnSetMusicVolume(std::int32_t id, float volumeDb) = 0;
};

struct SoundSystem {
  std::unique_ptr<AudioBackend> backend;  // never null once published
  std::int32_t nextChannelId = 0;         // id the next PlaySound hands out
  // Loaded sounds by path exactly as given (case matters); never shrinks.
  std::map<std::string, SoundHandle> sounds;
  // Every channel PlaySound started, by id; entries are never removed.
  std::map<std::int32_t, ChannelHandle> channels;
};

// The audio block: the sound system and the switches the game's options toggle.
struct AudioBlock {
  // Null before InitSoundSystem and after ShutdownSoundSystem.
  std::unique_ptr<SoundSystem> system;
  // Channel id of the music, set by the level that starts it; kNoChannel until then.
  std::int32_t musicChannel = kNoChannel;
  // Music wanted / sound effects wanted; both start true, the options menu toggles them.
  bool musicOn = true;
  bool sfxOn = true;
  // Not owned; null unless a tool installed one. Survives InitSoundSystem and
  // ShutdownSoundSystem, so it sees the start-up loads too.
  SoundObserver* observer = nullptr;

  // Start-up values; closes the sound system's output (tests).
  void Reset() { *this = AudioBlock{}; }
};

// The one audio block of the process.
AudioBlock& Audio();

// Creates the sound system on real output (SDL_mixer) and preloads the start-up
// sounds. Without a usable audio device it writes one line on standard error and
// goes on with a silent backend.
void InitSoundSystem();
// The same over a given backend (tests: RecordingBackend; headless runs:
// SilentBackend or RecordingBackend). Replaces an earlier sound system.
void InitSoundSystem(std::unique_ptr<AudioBackend> backend);
// Destroys the sound system (closing its output) and resets the music channel. The
// game never calls it; tests and tools do, between runs.
void ShutdownSoundSystem();

// Makes sure the sound at path (inside the data folder: base::ResolveDataPath; a
// path leading out is named once on standard error and not loaded) is loaded, as a
// looping sound if loop is set.
void LoadSound(const std::string& path, bool loop);
// Starts the sound at path (loading it first as a one-shot sound if needed) at
// volumeDb decibels and returns its channel id. The id is used up even when nothing
// plays. position points at two floats (x, y) and may be null; it has no effect on
// these two-dimensional sounds. Returns kNoChannel before InitSoundSystem.
std::int32_t PlaySound(const std::string& path, const float* position, float volumeDb);
// Sets the volume of the music channel; does nothing before the music has started.
void SetMusicVolume(float volumeDb);
// A sound effect at 0 dB, only while sound effects are on: the one way gameplay and
// menus play their effects. Observers see it as its PlaySound; an effect while
// sound effects are off calls nothing.
void PlayEffect(const std::string& path);
// Writes "FMOD all good" for kOk and "FMOD ERROR <code>" otherwise, each as one
// flushed line on standard output. Returns 0 for kOk, 1 otherwise.
std::int32_t CheckResult(std::int32_t code);

// Linear gain of a volume in decibels: 10^(dB x 0.05), computed in double.
float DecibelsToGain(float volumeDb);

}  // namespace audio
