// The backend of a machine without sound: sounds load (the file must exist) and
// play, nothing is heard. Used when no audio device opens, and by headless runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio_backend.h"

namespace audio {

// Failures: kErrFileOpen for a file that cannot be opened, kErrInvalidSound,
// kErrInvalidVolume, kErrNotReady before Initialize. A started sound never ends.
class SilentBackend final : public AudioBackend {
 public:
  Result Create() override;
  Result Initialize(int channelCount) override;
  Result LoadDecoders() override;
  bool IsReady() const override { return ready_; }

  Result CreateSound(const std::string& path, std::uint32_t mode, SoundHandle* out) override;
  Result PlaySound(SoundHandle sound, bool paused, ChannelHandle* out) override;
  Result SetVolume(ChannelHandle channel, float gain) override;
  Result SetPaused(ChannelHandle channel, bool paused) override;
  bool IsPlaying(ChannelHandle channel) const override;

 private:
  bool ready_ = false;
  std::uint32_t soundCount_ = 0;
  std::uint64_t channelCount_ = 0;  // channels started so far; handle = index + 1
};

}  // namespace audio
