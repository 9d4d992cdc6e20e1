// Recordings of play for exact replays: every input event the window procedure
// handles, by the frame that sees it, and every frame's dt, in the runner's input
// script format. F9 in the game starts a recording into the data folder of the
// player ($XDG_DATA_HOME/velmaris/replays/velmaris-YYYYMMDD-HHMMSS.jsonl) and stops it
// again; the file gets its name when it stops, whole, so a full disk or a crash
// never leaves a cut recording under it. A recording begins with
// everything since the game started, so that `velmaris-sim --input FILE` from the
// game's first state reaches the moment the recording started and plays on from
// there exactly as it happened. That history is streamed to an unnamed file (gone
// when the process ends, however it ends), not kept in memory: about 8 MB of disk
// an hour at 60 frames a second, and the game's memory stays flat however long it runs.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "base/atomic_file.h"
#include "platform/window.h"

namespace core {

class InputRecorder {
 public:
  // The history goes to an unnamed file in `spoolFolder` (made if missing), or in
  // the system's temporary folder when that cannot be.
  explicit InputRecorder(const std::filesystem::path& spoolFolder);
  ~InputRecorder();
  InputRecorder(const InputRecorder&) = delete;
  InputRecorder& operator=(const InputRecorder&) = delete;

  // An event the window procedure handled before frame `frame` ran. The recording
  // keys themselves (F9) and the screenshot key (F12) are left out.
  void RecordMessage(long long frame, const platform::Message& message);
  // The times of frame `frame`, in seconds: its simulation step and its real time.
  void RecordFrameTimes(long long frame, float dt, float real);

  // Starts a recording in `folder` (made if missing), or stops the one running.
  // Says on standard output where it goes and where it was saved; a write that
  // fails stops the recording with one line on standard error naming the file
  // and the reason, and nothing is left under its name. Each start, save and
  // failure is also a player notice (base/player_notice.h).
  void Toggle(const std::filesystem::path& folder);
  // Stops and saves the recording running, if any (the end of the run).
  void Finish();

  bool Recording() const { return file_ != nullptr; }
  // The file of the running recording, or of the last one.
  const std::string& Path() const { return path_; }

 private:
  void Add(const std::string& lines);
  // Appends to the history; on a failure the history is given up with one line.
  void Keep(const std::string& lines);
  // Copies the whole history into the new recording.
  bool CopyHistory(base::AtomicFile& file);
  void Start(const std::filesystem::path& folder);
  void Stop();

  int spool_ = -1;                          // the history: every line since the game started
  std::string historyLost_;                 // why the history is incomplete; empty while it is whole
  std::unique_ptr<base::AtomicFile> file_;  // the running recording; null when none
  std::string path_;
  int pointerX_ = 0;  // where the last mouse line left the pointer
  int pointerY_ = 0;
};

}  // namespace core
