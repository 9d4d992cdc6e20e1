// The audio runtime the sound system drives: create it, open the output, load a
// sound file, start it paused, set a channel's linear gain, unpause. Backends live in
// sdl_mixer/ (real output), silent/ (no device) and recording/ (tests).
#pragma once

#include <cstdint>
#include <string>

namespace audio {

// Result of a backend operation: kOk, or one of the codes below. Every backend
// reports its failures with these codes; CheckResult prints them as decimals.
using Result = std::int32_t;

inline constexpr Result kOk = 0;
inline constexpr Result kErrAudioInit = 1;       // the audio subsystem could not start
inline constexpr Result kErrDeviceOpen = 2;      // no output device could be opened
inline constexpr Result kErrChannels = 3;        // the mixing channels could not be allocated
inline constexpr Result kErrDecoder = 4;         // the Ogg Vorbis decoder is missing
inline constexpr Result kErrNotReady = 5;        // called before the output was opened
inline constexpr Result kErrFileOpen = 6;        // the sound file could not be opened or decoded
inline constexpr Result kErrInvalidSound = 7;    // a sound handle this backend did not make
inline constexpr Result kErrNoFreeChannel = 8;   // every mixing channel holds a looping sound
inline constexpr Result kErrChannelGone = 9;     // the channel's sound has ended (its mixer
                                                 // channel may play another sound by now)
inline constexpr Result kErrInvalidVolume = 10;  // a gain that is negative, NaN or infinite

// Mode bits of a sound, combined as the game passes them: 0x89 one-shot, 0x8A looping.
inline constexpr std::uint32_t kModeLoopOff = 0x01;
inline constexpr std::uint32_t kModeLoopNormal = 0x02;
inline constexpr std::uint32_t kMode2D = 0x08;
inline constexpr std::uint32_t kModeCreateStream = 0x80;

// A loaded sound. value 0 is "no sound".
struct SoundHandle {
  std::uint32_t value = 0;
  explicit operator bool() const { return value != 0; }
  friend bool operator==(SoundHandle, SoundHandle) = default;
};

// One start of a sound on a mixing channel. value 0 is "no channel". A handle
// stays tied to that one start: once the sound has ended, operations on it fail
// with kErrChannelGone even when the mixing channel plays something else.
struct ChannelHandle {
  std::uint64_t value = 0;
  explicit operator bool() const { return value != 0; }
  friend bool operator==(ChannelHandle, ChannelHandle) = default;
};

class AudioBackend {
 public:
  virtual ~AudioBackend() = default;

  // Start-up in three steps, each reported by the caller: bring up the audio
  // subsystem; open the output with channelCount mixing channels; make the file
  // decoders available. After a failed step the later ones may fail too.
  virtual Result Create() = 0;
  virtual Result Initialize(int channelCount) = 0;
  virtual Result LoadDecoders() = 0;

  // True when the output is open and sounds can be loaded and played.
  virtual bool IsReady() const = 0;
  // Why the last failed operation failed, for one diagnostic line ("" if unknown).
  virtual std::string LastErrorText() const { return {}; }

  // Loads the file at path (as given, relative to the working directory) with the
  // mode bits above. *out is cleared first and set only on success.
  virtual Result CreateSound(const std::string& path, std::uint32_t mode, SoundHandle* out) = 0;
  // Starts sound on a free mixing channel; with paused set no sample is heard until
  // SetPaused(false). The gain starts at 1.0. *out is cleared first. When every channel
  // is busy, the oldest one-shot start still sounding is stopped and its channel taken
  // over (its handle then reads as ended), so that effects never go missing in a busy
  // level; a looping sound (the music) is never taken over.
  virtual Result PlaySound(SoundHandle sound, bool paused, ChannelHandle* out) = 0;
  // gain is linear (1.0 = as recorded); it applies from the next mixed sample on.
  virtual Result SetVolume(ChannelHandle channel, float gain) = 0;
  virtual Result SetPaused(ChannelHandle channel, bool paused) = 0;
  // False once the sound of this start has ended (or was never started).
  virtual bool IsPlaying(ChannelHandle channel) const = 0;
};

}  // namespace audio
