// Silent output: keeps the handles consistent so the sound system behaves as with sound.
#include "audio/silent/silent_backend.h"

#include <cmath>

#include "base/file_read.h"
#include "base/log.h"

namespace audio {

Result SilentBackend::Create() { return kOk; }

Result SilentBackend::Initialize(int /*channelCount*/) {
  ready_ = true;
  return kOk;
}

Result SilentBackend::LoadDecoders() { return kOk; }

Result SilentBackend::CreateSound(const std::string& path, std::uint32_t /*mode*/, SoundHandle* out) {
  *out = {};
  if (!ready_) return kErrNotReady;
  // The file must be one the real output would read, so a missing file is
  // reported as with real output.
  if (const base::FileRead check = base::CheckReadable(path, base::kSoundLimit); !check.Ok()) {
    base::LogErrorOnce("audio", "cannot load '" + path + "': the file " + check.Said());
    return kErrFileOpen;
  }
  out->value = ++soundCount_;
  return kOk;
}

Result SilentBackend::PlaySound(SoundHandle sound, bool /*paused*/, ChannelHandle* out) {
  *out = {};
  if (!ready_) return kErrNotReady;
  if (!sound || sound.value > soundCount_) return kErrInvalidSound;
  out->value = ++channelCount_;
  return kOk;
}

Result SilentBackend::SetVolume(ChannelHandle channel, float gain) {
  if (!IsPlaying(channel)) return kErrChannelGone;
  if (!std::isfinite(gain) || gain < 0.0f) return kErrInvalidVolume;
  return kOk;
}

Result SilentBackend::SetPaused(ChannelHandle channel, bool /*paused*/) {
  return IsPlaying(channel) ? kOk : kErrChannelGone;
}

bool SilentBackend::IsPlaying(ChannelHandle channel) const {
  return channel && channel.value <= channelCount_;
}

}  // namespace audio
