// Call log and a model of the mixer's channel state, for tests and headless runs.
#include "audio/recording/recording_backend.h"

#include <cmath>
#include <utility>

#include "base/file_read.h"

namespace audio {

void RecordingBackend::FailOperation(Op op, Result code) { failingOps_[op] = code; }

void RecordingBackend::FailLoad(const std::string& path, Result code) { failingPaths_[path] = code; }

void RecordingBackend::EndChannel(ChannelHandle channel) {
  auto found = channels_.find(channel.value);
  if (found != channels_.end()) found->second.ended = true;
}

std::vector<RecordingBackend::Call> RecordingBackend::CallsOf(Op op) const {
  std::vector<Call> matching;
  for (const Call& call : calls_) {
    if (call.op == op) matching.push_back(call);
  }
  return matching;
}

float RecordingBackend::GainOf(ChannelHandle channel) const {
  auto found = channels_.find(channel.value);
  return found == channels_.end() ? 0.0f : found->second.gain;
}

bool RecordingBackend::IsPaused(ChannelHandle channel) const {
  auto found = channels_.find(channel.value);
  return found == channels_.end() || found->second.paused;
}

std::string RecordingBackend::PathOf(SoundHandle sound) const {
  if (!sound || sound.value > sounds_.size()) return {};
  return sounds_[sound.value - 1].path;
}

RecordingBackend::Call RecordingBackend::NewCall(Op op) const {
  Call call;
  call.op = op;
  auto failing = failingOps_.find(op);
  call.result = failing == failingOps_.end() ? kOk : failing->second;
  return call;
}

Result RecordingBackend::Record(Call call) {
  calls_.push_back(std::move(call));
  return calls_.back().result;
}

Result RecordingBackend::Create() { return Record(NewCall(Op::kCreate)); }

Result RecordingBackend::Initialize(int channelCount) {
  Call call = NewCall(Op::kInitialize);
  ready_ = call.result == kOk;
  if (!ready_) lastError_ = "arranged failure";
  channelCount_ = channelCount;
  call.channelCount = channelCount;
  return Record(std::move(call));
}

Result RecordingBackend::LoadDecoders() { return Record(NewCall(Op::kLoadDecoders)); }

Result RecordingBackend::CreateSound(const std::string& path, std::uint32_t mode, SoundHandle* out) {
  *out = {};
  Call call = NewCall(Op::kCreateSound);
  call.path = path;
  call.mode = mode;
  if (auto failing = failingPaths_.find(path); call.result == kOk && failing != failingPaths_.end()) {
    call.result = failing->second;
  }
  if (call.result == kOk && !ready_) call.result = kErrNotReady;
  if (call.result == kOk && requireFiles_ && !base::CheckReadable(path, base::kSoundLimit).Ok()) {
    call.result = kErrFileOpen;
  }
  if (call.result == kOk) {
    sounds_.push_back({path, (mode & kModeLoopNormal) != 0});
    out->value = static_cast<std::uint32_t>(sounds_.size());
    call.sound = *out;
  }
  return Record(std::move(call));
}

Result RecordingBackend::PlaySound(SoundHandle sound, bool paused, ChannelHandle* out) {
  *out = {};
  Call call = NewCall(Op::kPlaySound);
  call.sound = sound;
  call.paused = paused;
  if (call.result == kOk && !ready_) call.result = kErrNotReady;
  if (call.result == kOk && (!sound || sound.value > sounds_.size())) call.result = kErrInvalidSound;
  if (call.result == kOk && !FreeChannel()) call.result = kErrNoFreeChannel;
  if (call.result == kOk) {
    out->value = channels_.size() + 1;
    ChannelState& state = channels_[out->value];
    state.paused = paused;
    state.loops = sounds_[sound.value - 1].loops;
    call.channel = *out;
  }
  return Record(std::move(call));
}

bool RecordingBackend::FreeChannel() {
  int sounding = 0;
  ChannelState* oldestOneShot = nullptr;
  for (auto& [value, state] : channels_) {  // oldest first
    if (state.ended) continue;
    ++sounding;
    if (oldestOneShot == nullptr && !state.loops) oldestOneShot = &state;
  }
  if (sounding < channelCount_) return true;
  if (oldestOneShot == nullptr) return false;
  oldestOneShot->ended = true;
  return true;
}

Result RecordingBackend::SetVolume(ChannelHandle channel, float gain) {
  Call call = NewCall(Op::kSetVolume);
  call.channel = channel;
  call.gain = gain;
  if (call.result == kOk && !IsPlaying(channel)) call.result = kErrChannelGone;
  if (call.result == kOk && (!std::isfinite(gain) || gain < 0.0f)) call.result = kErrInvalidVolume;
  if (call.result == kOk) channels_[channel.value].gain = gain;
  return Record(std::move(call));
}

Result RecordingBackend::SetPaused(ChannelHandle channel, bool paused) {
  Call call = NewCall(Op::kSetPaused);
  call.channel = channel;
  call.paused = paused;
  if (call.result == kOk && !IsPlaying(channel)) call.result = kErrChannelGone;
  if (call.result == kOk) channels_[channel.value].paused = paused;
  return Record(std::move(call));
}

bool RecordingBackend::IsPlaying(ChannelHandle channel) const {
  auto found = channels_.find(channel.value);
  return found != channels_.end() && !found->second.ended;
}

}  // namespace audio
