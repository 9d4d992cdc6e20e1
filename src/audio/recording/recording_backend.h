// A backend that records every call and plays nothing: the sound system runs on it
// in tests and headless runs. Failures can be arranged per operation or per path.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "audio/audio_backend.h"

namespace audio {

// Failures: the codes arranged with FailOperation / FailLoad; kErrFileOpen for a
// missing file when RequireFiles is set; kErrInvalidSound, kErrChannelGone,
// kErrInvalidVolume, kErrNotReady, kErrNoFreeChannel as real output reports them.
// Like a mixer it has the channel count Initialize asked for: a start beyond it takes
// over the oldest one-shot start still sounding, never a looping one.
class RecordingBackend final : public AudioBackend {
 public:
  enum class Op { kCreate, kInitialize, kLoadDecoders, kCreateSound, kPlaySound, kSetVolume, kSetPaused };

  // One call with its arguments and the result handed back. Fields that do not
  // belong to the operation keep their defaults.
  struct Call {
    Op op = Op::kCreate;
    Result result = kOk;
    int channelCount = 0;    // kInitialize
    std::string path;        // kCreateSound
    std::uint32_t mode = 0;  // kCreateSound
    SoundHandle sound;       // kCreateSound: the sound made; kPlaySound: the sound played
    ChannelHandle channel;   // kPlaySound: the channel made; kSetVolume, kSetPaused: the target
    float gain = 0.0f;       // kSetVolume
    bool paused = false;     // kPlaySound, kSetPaused
  };

  // Arranging failures and events.
  void FailOperation(Op op, Result code);  // every later call of op fails with code
  void FailLoad(const std::string& path, Result code = kErrFileOpen);
  void RequireFiles(bool require) { requireFiles_ = require; }
  void EndChannel(ChannelHandle channel);  // that start's sound has finished

  // What was called, in order.
  const std::vector<Call>& Calls() const { return calls_; }
  std::vector<Call> CallsOf(Op op) const;
  void ClearCalls() { calls_.clear(); }

  // The state a mixer would be in. A channel that was never started reads as
  // gain 0, paused.
  float GainOf(ChannelHandle channel) const;
  bool IsPaused(ChannelHandle channel) const;
  std::string PathOf(SoundHandle sound) const;

  Result Create() override;
  Result Initialize(int channelCount) override;
  Result LoadDecoders() override;
  bool IsReady() const override { return ready_; }
  std::string LastErrorText() const override { return lastError_; }

  Result CreateSound(const std::string& path, std::uint32_t mode, SoundHandle* out) override;
  Result PlaySound(SoundHandle sound, bool paused, ChannelHandle* out) override;
  Result SetVolume(ChannelHandle channel, float gain) override;
  Result SetPaused(ChannelHandle channel, bool paused) override;
  bool IsPlaying(ChannelHandle channel) const override;

 private:
  struct ChannelState {
    float gain = 1.0f;
    bool paused = false;
    bool ended = false;
    bool loops = false;
  };
  struct Sound {
    std::string path;
    bool loops = false;
  };

  // Makes room for one more start: true when a channel is free or the oldest one-shot
  // start was ended to free one.
  bool FreeChannel();

  // A call record of op, its result preset to the arranged failure or kOk.
  Call NewCall(Op op) const;
  Result Record(Call call);

  bool ready_ = false;
  int channelCount_ = 0;  // mixing channels, as Initialize asked
  bool requireFiles_ = false;
  std::string lastError_;
  std::map<Op, Result> failingOps_;
  std::map<std::string, Result> failingPaths_;
  std::vector<Sound> sounds_;                       // handle value - 1 -> sound
  std::map<std::uint64_t, ChannelState> channels_;  // by handle value, in start order
  std::vector<Call> calls_;
};

}  // namespace audio
