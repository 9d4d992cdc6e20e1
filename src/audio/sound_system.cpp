// Sound cache, channel ids and the order of backend calls for loading and playing.
#include "audio/sound_system.h"

#include <cmath>
#include <iostream>
#include <utility>

#include "audio/sdl_mixer/sdl_mixer_backend.h"
#include "audio/silent/silent_backend.h"
#include "base/data_path.h"
#include "base/log.h"

namespace audio {

AudioBlock& Audio() {
  static AudioBlock block;
  return block;
}

namespace {

// Preloaded so that their first play does not open a file in the middle of a frame.
struct StartupSound {
  const char* path;
  bool loop;
};
constexpr StartupSound kStartupSounds[] = {
    {"Audio/AltStarCollect.ogg", false},
    {"Audio/ButtonClick.ogg", false},
    {"Audio/Rizoz ed Udavovi Vivid.ogg", true},
};

}  // namespace

float DecibelsToGain(float volumeDb) {
  return static_cast<float>(std::pow(10.0, static_cast<double>(volumeDb) * 0.05));
}

std::int32_t CheckResult(std::int32_t code) {
  if (code == kOk) {
    std::cout << "FMOD all good" << std::endl;
    return 0;
  }
  std::cout << "FMOD ERROR " << code << std::endl;
  return 1;
}

void InitSoundSystem() { InitSoundSystem(std::make_unique<SdlMixerBackend>()); }

void InitSoundSystem(std::unique_ptr<AudioBackend> backend) {
  // The old system goes first: only one backend can hold the output device.
  ShutdownSoundSystem();
  if (!backend) backend = std::make_unique<SilentBackend>();
  auto system = std::make_unique<SoundSystem>();
  // Start-up failures are reported and start-up goes on.
  CheckResult(backend->Create());
  CheckResult(backend->Initialize(kChannelCount));
  CheckResult(backend->LoadDecoders());
  if (!backend->IsReady()) {
    std::string why = backend->LastErrorText();
    base::LogError("audio", "no audio device" + (why.empty() ? std::string() : " (" + why + ")") +
                                "; the game runs without sound");
    backend.reset();  // closes what the failed backend had opened
    backend = std::make_unique<SilentBackend>();
    backend->Create();
    backend->Initialize(kChannelCount);
    backend->LoadDecoders();
  }
  system->backend = std::move(backend);
  Audio().system = std::move(system);

  for (const StartupSound& sound : kStartupSounds) LoadSound(sound.path, sound.loop);
}

void ShutdownSoundSystem() {
  Audio().system.reset();
  Audio().musicChannel = kNoChannel;
}

namespace {

// LoadSound without telling the observer.
void Load(const std::string& path, bool loop) {
  SoundSystem* system = Audio().system.get();
  if (system == nullptr) {
    base::LogErrorOnce("audio", "LoadSound before InitSoundSystem: " + path);
    return;
  }
  if (system->sounds.contains(path)) return;
  const base::ResolvedPath file = base::ResolveDataPath(path);
  if (!file.Inside()) {
    base::LogErrorOnce("audio", "sound \"" + path + "\" " + file.reason + "; it is not loaded");
    return;
  }
  const std::uint32_t mode = kModeCreateStream | kMode2D | (loop ? kModeLoopNormal : kModeLoopOff);
  SoundHandle sound;
  CheckResult(system->backend->CreateSound(file.path, mode, &sound));
  // A sound that failed to load is not cached, so the next play tries again.
  if (sound) system->sounds.emplace(path, sound);
}

}  // namespace

void LoadSound(const std::string& path, bool loop) {
  Load(path, loop);
  if (SoundObserver* observer = Audio().observer) observer->OnLoadSound(path, loop);
}

namespace {

// Only the music's id is ever used after a play; the ids of finished one-shot
// sounds are dropped so that a sound played every frame of a contact does not
// grow the map for the rest of the run. Checked once kChannelCount ids are held.
void ForgetFinishedChannels(SoundSystem& system) {
  if (system.channels.size() < static_cast<std::size_t>(kChannelCount)) return;
  std::erase_if(system.channels, [&system](const auto& entry) {
    return entry.first != Audio().musicChannel && !system.backend->IsPlaying(entry.second);
  });
}

// PlaySound without telling the observer (a load it makes is told as LoadSound).
std::int32_t Play(const std::string& path, float volumeDb) {
  SoundSystem* system = Audio().system.get();
  if (system == nullptr) {
    base::LogErrorOnce("audio", "PlaySound before InitSoundSystem: " + path);
    return kNoChannel;
  }
  const std::int32_t id = system->nextChannelId;
  // Wraps instead of overflowing after 2^31 plays.
  system->nextChannelId = static_cast<std::int32_t>(static_cast<std::uint32_t>(id) + 1u);

  auto found = system->sounds.find(path);
  if (found == system->sounds.end()) {
    LoadSound(path, false);
    found = system->sounds.find(path);
    if (found == system->sounds.end()) return id;
  }

  AudioBackend& backend = *system->backend;
  ChannelHandle channel;
  // Started paused and unpaused only after the volume is set, so that no sample is
  // heard at the wrong volume.
  CheckResult(backend.PlaySound(found->second, true, &channel));
  if (!channel) return id;
  CheckResult(backend.SetVolume(channel, DecibelsToGain(volumeDb)));
  CheckResult(backend.SetPaused(channel, false));
  ForgetFinishedChannels(*system);
  system->channels[id] = channel;
  return id;
}

// SetMusicVolume without telling the observer.
void ApplyMusicVolume(float volumeDb) {
  SoundSystem* system = Audio().system.get();
  if (system == nullptr) return;
  auto found = system->channels.find(Audio().musicChannel);
  if (found == system->channels.end()) return;
  CheckResult(system->backend->SetVolume(found->second, DecibelsToGain(volumeDb)));
}

}  // namespace

std::int32_t PlaySound(const std::string& path, const float* /*position*/, float volumeDb) {
  const std::int32_t id = Play(path, volumeDb);
  if (SoundObserver* observer = Audio().observer) observer->OnPlaySound(path, volumeDb, id);
  return id;
}

void SetMusicVolume(float volumeDb) {
  ApplyMusicVolume(volumeDb);
  if (SoundObserver* observer = Audio().observer) observer->OnSetMusicVolume(Audio().musicChannel, volumeDb);
}

void PlayEffect(const std::string& path) {
  if (!Audio().sfxOn) return;
  const float position[2] = {0.0f, 0.0f};
  PlaySound(path, position, 0.0f);
}

}  // namespace audio
