// SDL2_mixer output. Each start of a sound owns a mixing channel until it ends;
// the channel's gain is applied by a channel effect (exact, clipped, and above 1.0
// where SDL_mixer's own volume stops), and a generation count per channel keeps an
// old handle from touching a later sound on the same channel.
#include "audio/sdl_mixer/sdl_mixer_backend.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include "base/file_read.h"
#include "base/log.h"

namespace audio {
namespace {

// SDL_mixer keeps one output per process.
bool g_outputTaken = false;

// Highest device id SDL 2 hands out (its table of open devices has 16 slots).
constexpr SDL_AudioDeviceID kMaxDeviceId = 16;

struct ChannelState {
  std::atomic<float> gain{1.0f};  // read by the audio thread in ApplyGain
  std::uint32_t generation = 0;   // starts on this channel so far; main thread only
  // Of the channel's latest start, main thread only: its place in the order of all
  // starts, and whether it loops (a looping start is never taken over).
  std::uint64_t startOrder = 0;
  bool loops = false;
};

// Channel effect, run on the audio thread on one channel's 16-bit samples before
// they are mixed: multiplies by the channel's gain and clips to the 16-bit range.
void ApplyGain(int /*channel*/, void* stream, int length, void* userData) {
  const float gain = static_cast<ChannelState*>(userData)->gain.load(std::memory_order_relaxed);
  if (gain == 1.0f) return;
  auto* samples = static_cast<Sint16*>(stream);
  const int count = length / static_cast<int>(sizeof(Sint16));
  for (int i = 0; i < count; ++i) {
    const float scaled = std::clamp(static_cast<float>(samples[i]) * gain, -32768.0f, 32767.0f);
    samples[i] = static_cast<Sint16>(std::lrint(scaled));
  }
}

std::set<SDL_AudioDeviceID> OpenDevices() {
  std::set<SDL_AudioDeviceID> open;
  for (SDL_AudioDeviceID id = 1; id <= kMaxDeviceId; ++id) {
    if (SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) open.insert(id);
  }
  return open;
}

// Holds the output's mixing lock (recursive), so the audio thread mixes nothing
// between the calls made under it.
class DeviceLock {
 public:
  explicit DeviceLock(SDL_AudioDeviceID device) : device_(device) {
    if (device_ != 0) SDL_LockAudioDevice(device_);
  }
  ~DeviceLock() {
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
  }
  DeviceLock(const DeviceLock&) = delete;
  DeviceLock& operator=(const DeviceLock&) = delete;

 private:
  SDL_AudioDeviceID device_;
};

// alsa-lib writes its own lines on standard error when a machine has no sound card;
// SDL then reports the failure, and we write one line for it. While a backend
// lives, alsa-lib's messages are muted (SDL loads the same libasound).
class AlsaMessagesMuted {
 public:
  AlsaMessagesMuted() {
    library_ = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (library_ == nullptr) return;
    setHandler_ = reinterpret_cast<SetHandler>(dlsym(library_, "snd_lib_error_set_handler"));
    if (setHandler_ != nullptr) setHandler_(&Ignore);
  }
  ~AlsaMessagesMuted() {
    if (setHandler_ != nullptr) setHandler_(nullptr);  // alsa-lib's default handler
    if (library_ != nullptr) dlclose(library_);
  }
  AlsaMessagesMuted(const AlsaMessagesMuted&) = delete;
  AlsaMessagesMuted& operator=(const AlsaMessagesMuted&) = delete;

 private:
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  static void Ignore(const char*, int, const char*, int, const char*, ...) {}

  void* library_ = nullptr;
  SetHandler setHandler_ = nullptr;
};

}  // namespace

struct SdlMixerBackend::Impl {
  AlsaMessagesMuted alsaMuted;  // first in, last out
  Options options;
  bool audioUp = false;          // SDL audio subsystem initialised by us
  bool decodersUp = false;       // Mix_Init done by us
  bool outputOpen = false;       // Mix_OpenAudioDevice done by us
  SDL_AudioDeviceID device = 0;  // the output SDL_mixer opened; 0 if not found (no lock)
  int frequency = 0;
  std::vector<ChannelState> channels;  // fixed size once open: effects point into it
  std::uint64_t starts = 0;            // starts made so far, for ChannelState::startOrder
  struct Sound {
    Mix_Chunk* chunk;
    bool loop;
  };
  std::vector<Sound> sounds;  // handle value - 1 -> sound
  std::string lastError;
  OutputTap tap = nullptr;  // see SetOutputTap
  void* tapUser = nullptr;

  Result Fail(Result code, const std::string& what) {
    lastError = what;
    return code;
  }

  // Index of the channel a live handle names, or -1.
  int LiveChannel(ChannelHandle handle) const {
    if (!outputOpen || !handle) return -1;
    const auto index = static_cast<std::int64_t>(handle.value & 0xffffffffu) - 1;
    const auto generation = static_cast<std::uint32_t>(handle.value >> 32);
    if (index < 0 || index >= static_cast<std::int64_t>(channels.size())) return -1;
    const int channel = static_cast<int>(index);
    if (channels[channel].generation != generation || Mix_Playing(channel) == 0) return -1;
    return channel;
  }

  // The channel a new start goes on: a free one, else the oldest one-shot start, which
  // is stopped. -1 when every channel holds a looping sound. Call under the mixing lock.
  int ChannelForNewStart() {
    const int count = static_cast<int>(channels.size());
    int oldestOneShot = -1;
    for (int channel = 0; channel < count; ++channel) {
      if (Mix_Playing(channel) == 0) return channel;
      if (!channels[channel].loops &&
          (oldestOneShot < 0 || channels[channel].startOrder < channels[oldestOneShot].startOrder)) {
        oldestOneShot = channel;
      }
    }
    if (oldestOneShot >= 0) Mix_HaltChannel(oldestOneShot);
    return oldestOneShot;
  }
};

SdlMixerBackend::SdlMixerBackend() : SdlMixerBackend(Options{}) {}

SdlMixerBackend::SdlMixerBackend(Options options) : impl_(std::make_unique<Impl>()) {
  impl_->options = options;
}

SdlMixerBackend::~SdlMixerBackend() {
  Impl& self = *impl_;
  if (self.outputOpen) {
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HaltChannel(-1);  // also removes the channel effects
    for (const Impl::Sound& sound : self.sounds) Mix_FreeChunk(sound.chunk);
    Mix_CloseAudio();
    g_outputTaken = false;
  }
  if (self.decodersUp) Mix_Quit();
  if (self.audioUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

Result SdlMixerBackend::Create() {
  if (impl_->audioUp) return kOk;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return impl_->Fail(kErrAudioInit, SDL_GetError());
  impl_->audioUp = true;
  return kOk;
}

Result SdlMixerBackend::Initialize(int channelCount) {
  Impl& self = *impl_;
  if (!self.audioUp) return kErrAudioInit;  // lastError keeps why Create failed
  if (self.outputOpen || g_outputTaken) return self.Fail(kErrDeviceOpen, "the output is already open");

  const std::set<SDL_AudioDeviceID> before = OpenDevices();
  // No changes allowed: SDL converts to the device, and the gain effect can rely on
  // 16-bit stereo at our rate.
  if (Mix_OpenAudioDevice(self.options.frequency, AUDIO_S16SYS, 2, self.options.bufferFrames, nullptr, 0) !=
      0) {
    return self.Fail(kErrDeviceOpen, Mix_GetError());
  }
  self.outputOpen = true;
  g_outputTaken = true;
  self.frequency = self.options.frequency;
  for (SDL_AudioDeviceID id : OpenDevices()) {
    if (!before.contains(id)) self.device = id;
  }
  SDL_ClearError();  // the probe leaves "invalid device" errors behind

  self.channels = std::vector<ChannelState>(static_cast<std::size_t>(std::max(channelCount, 0)));
  if (Mix_AllocateChannels(channelCount) != channelCount) {
    self.channels.clear();
    return self.Fail(kErrChannels, "cannot allocate the mixing channels");
  }
  return kOk;
}

Result SdlMixerBackend::LoadDecoders() {
  Impl& self = *impl_;
  if (!self.audioUp) return kErrAudioInit;  // lastError keeps why Create failed
  const int loaded = Mix_Init(MIX_INIT_OGG);
  if (loaded != 0) self.decodersUp = true;
  if ((loaded & MIX_INIT_OGG) == 0) return self.Fail(kErrDecoder, Mix_GetError());
  return kOk;
}

bool SdlMixerBackend::IsReady() const { return impl_->outputOpen && !impl_->channels.empty(); }

std::string SdlMixerBackend::LastErrorText() const { return impl_->lastError; }

int SdlMixerBackend::OutputFrequency() const { return impl_->frequency; }

int SdlMixerBackend::OutputBufferFrames() const { return impl_->options.bufferFrames; }

void SdlMixerBackend::SetOutputTap(OutputTap tap, void* user) {
  Impl& self = *impl_;
  if (!self.outputOpen) return;
  DeviceLock lock(self.device);
  self.tap = tap;
  self.tapUser = user;
  if (tap == nullptr) {
    Mix_SetPostMix(nullptr, nullptr);
    return;
  }
  Mix_SetPostMix(
      [](void* data, Uint8* stream, int length) {
        auto* impl = static_cast<Impl*>(data);
        impl->tap(reinterpret_cast<const std::int16_t*>(stream), length / 4, impl->tapUser);
      },
      &self);
}

Result SdlMixerBackend::CreateSound(const std::string& path, std::uint32_t mode, SoundHandle* out) {
  Impl& self = *impl_;
  *out = {};
  if (!IsReady()) return self.Fail(kErrNotReady, "the output is not open");
  // Read and checked as every file is, then decoded whole (SDL_mixer mixes from
  // memory), so playing never reads the disk.
  std::string bytes;
  if (const base::FileRead read = base::ReadWholeFile(path, base::kSoundLimit, bytes); !read.Ok()) {
    base::LogErrorOnce("audio", "cannot load '" + path + "': the file " + read.Said());
    return self.Fail(kErrFileOpen, read.reason);
  }
  SDL_RWops* file = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  Mix_Chunk* chunk = file == nullptr ? nullptr : Mix_LoadWAV_RW(file, 1);  // closes file
  if (chunk == nullptr) {
    const std::string why = Mix_GetError();
    base::LogErrorOnce("audio", "cannot load '" + path + "': " + why);
    return self.Fail(kErrFileOpen, why);
  }
  self.sounds.push_back({chunk, (mode & kModeLoopNormal) != 0});
  out->value = static_cast<std::uint32_t>(self.sounds.size());
  return kOk;
}

Result SdlMixerBackend::PlaySound(SoundHandle sound, bool paused, ChannelHandle* out) {
  Impl& self = *impl_;
  *out = {};
  if (!IsReady()) return self.Fail(kErrNotReady, "the output is not open");
  if (!sound || sound.value > self.sounds.size()) return self.Fail(kErrInvalidSound, "unknown sound");
  const Impl::Sound& entry = self.sounds[sound.value - 1];

  // Starting, pausing and fitting the gain effect happen under the mixing lock, so
  // not one sample of a paused start is mixed. Should the lock be unavailable, the
  // gain stays 0 until the start is paused: a sample mixed early is silent.
  DeviceLock lock(self.device);
  const int channel = self.ChannelForNewStart();
  if (channel < 0) return self.Fail(kErrNoFreeChannel, "every mixing channel holds a looping sound");
  ChannelState& state = self.channels[channel];
  state.gain.store(paused ? 0.0f : 1.0f, std::memory_order_relaxed);
  ++state.generation;
  state.startOrder = ++self.starts;
  state.loops = entry.loop;
  Mix_Volume(channel, MIX_MAX_VOLUME);
  Mix_UnregisterAllEffects(channel);
  Mix_RegisterEffect(channel, ApplyGain, nullptr, &state);
  if (Mix_PlayChannel(channel, entry.chunk, entry.loop ? -1 : 0) != channel) {
    Mix_UnregisterAllEffects(channel);
    return self.Fail(kErrNoFreeChannel, Mix_GetError());
  }
  if (paused) {
    Mix_Pause(channel);
    state.gain.store(1.0f, std::memory_order_relaxed);
  }
  out->value = (static_cast<std::uint64_t>(state.generation) << 32) | static_cast<std::uint32_t>(channel + 1);
  return kOk;
}

Result SdlMixerBackend::SetVolume(ChannelHandle handle, float gain) {
  Impl& self = *impl_;
  const int channel = self.LiveChannel(handle);
  if (channel < 0) return self.Fail(kErrChannelGone, "the sound has ended");
  if (!std::isfinite(gain) || gain < 0.0f) return self.Fail(kErrInvalidVolume, "invalid gain");
  self.channels[channel].gain.store(gain, std::memory_order_relaxed);
  return kOk;
}

Result SdlMixerBackend::SetPaused(ChannelHandle handle, bool paused) {
  Impl& self = *impl_;
  const int channel = self.LiveChannel(handle);
  if (channel < 0) return self.Fail(kErrChannelGone, "the sound has ended");
  if (paused) {
    Mix_Pause(channel);
  } else {
    Mix_Resume(channel);
  }
  return kOk;
}

bool SdlMixerBackend::IsPlaying(ChannelHandle handle) const { return impl_->LiveChannel(handle) >= 0; }

}  // namespace audio
