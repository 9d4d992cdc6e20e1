// Real audio output over SDL2_mixer: Ogg Vorbis files decoded at load, mixed on up
// to 32 channels, each channel's gain applied exactly by a channel effect.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/audio_backend.h"

namespace audio {

// How SDL_mixer failures map to Result codes:
//   kErrAudioInit      SDL_InitSubSystem(SDL_INIT_AUDIO) failed (no audio driver)
//   kErrDeviceOpen     Mix_OpenAudioDevice failed, or another SdlMixerBackend holds the output
//   kErrChannels       Mix_AllocateChannels gave fewer channels than asked
//   kErrDecoder        Mix_Init has no Ogg Vorbis support
//   kErrNotReady       a sound call before the output was opened
//   kErrFileOpen       Mix_LoadWAV could not open or decode the file
//   kErrInvalidSound   a sound handle this backend did not make
//   kErrNoFreeChannel  every channel holds a looping sound, or Mix_PlayChannel failed
//   kErrChannelGone    the sound of that start has ended
//   kErrInvalidVolume  a negative, NaN or infinite gain
// Only one SdlMixerBackend can hold the output at a time; destroying it closes the
// output and SDL's audio subsystem.
class SdlMixerBackend final : public AudioBackend {
 public:
  struct Options {
    int frequency = 48000;  // output sample rate in Hz
    // Output buffer in sample frames. 512 frames at 48 kHz is 10.7 ms, which keeps
    // PlaySound -> first sample heard under 25 ms.
    int bufferFrames = 512;
  };

  SdlMixerBackend();
  explicit SdlMixerBackend(Options options);
  ~SdlMixerBackend() override;
  SdlMixerBackend(const SdlMixerBackend&) = delete;
  SdlMixerBackend& operator=(const SdlMixerBackend&) = delete;

  Result Create() override;
  Result Initialize(int channelCount) override;
  Result LoadDecoders() override;
  bool IsReady() const override;
  std::string LastErrorText() const override;

  Result CreateSound(const std::string& path, std::uint32_t mode, SoundHandle* out) override;
  Result PlaySound(SoundHandle sound, bool paused, ChannelHandle* out) override;
  Result SetVolume(ChannelHandle channel, float gain) override;
  Result SetPaused(ChannelHandle channel, bool paused) override;
  bool IsPlaying(ChannelHandle channel) const override;

  // The output as opened (valid once IsReady): sample rate in Hz, buffer in frames.
  int OutputFrequency() const;
  int OutputBufferFrames() const;

  // Called on the audio thread with each mixed output buffer (interleaved 16-bit
  // stereo, frameCount frames) just before it goes to the device; for measuring.
  // Pass null to remove. Set it only while the output is open.
  using OutputTap = void (*)(const std::int16_t* samples, int frameCount, void* user);
  void SetOutputTap(OutputTap tap, void* user);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace audio
