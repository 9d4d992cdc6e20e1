// The runner's audio log (--audio-log FILE): every call the game makes to the sound
// system during a run, one JSON line each with the frame it was made in, followed by
// the channel volume and pause calls it made on the audio backend. For level makers
// checking when and how loud their sounds start without listening to a run.
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "audio/audio_backend.h"
#include "audio/sound_system.h"

namespace sim {

// The backend a logged run plays on: it records the backend calls the log shows.
// Like the silent backend, it refuses sound files that do not exist.
std::unique_ptr<audio::AudioBackend> MakeAudioLogBackend();

class AudioLog final : public audio::SoundObserver {
 public:
  // Creates (or empties) the file at path and installs the log as the sound system's
  // observer until it is destroyed. Throws std::runtime_error naming the path when
  // the file cannot be written.
  explicit AudioLog(std::string path);
  ~AudioLog() override;
  AudioLog(const AudioLog&) = delete;
  AudioLog& operator=(const AudioLog&) = delete;

  // Calls from now on are made in this frame: 1 for the first frame the runner runs.
  // Calls before the first SetFrame (start-up, level loading) are in frame 0.
  void SetFrame(long long frame);
  // Writes what is left and closes the file; throws std::runtime_error naming the
  // path when the file could not be written completely.
  void Finish();

  void OnLoadSound(const std::string& path, bool loop) override;
  void OnPlaySound(const std::string& path, float volumeDb, std::int32_t id) override;
  void OnSetMusicVolume(std::int32_t id, float volumeDb) override;

 private:
  // Writes the backend calls recorded since the last time and forgets them. A
  // channel started among them belongs to the sound-system call with id startedId.
  void WriteBackendCalls(std::int32_t startedId);

  std::string path_;
  std::ofstream file_;
  long long frame_ = 0;
  // Sound-system channel id of each backend channel started during the run, by handle value.
  std::map<std::uint64_t, std::int32_t> ids_;
};

}  // namespace sim
