// Recordings of play for exact replays: every input event the window procedure
// handles, by the frame that sees it, and every frame's dt, in the runner's input
// script format. F9 in the game starts a recording into
// replays/velmaris-YYYYMMDD-HHMMSS.jsonl and stops it again. A recording begins with
// everything since the game started, so that `velmaris-sim --input FILE` from the
// game's first state reaches the moment the recording started and plays on from
// there exactly as it happened.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "platform/window.h"

namespace core {

class InputRecorder {
 public:
  // An event the window procedure handled before frame `frame` ran. The recording
  // keys themselves (F9) and the screenshot key (F12) are left out.
  void RecordMessage(long long frame, const platform::Message& message);
  // The time of frame `frame`, in seconds.
  void RecordFrameTime(long long frame, float dt);

  // Starts a recording in `folder` (made if missing), or stops the one running.
  // Says on standard output where it goes; a file that cannot be written is
  // reported on standard error and nothing is recorded to it.
  void Toggle(const std::string& folder = "replays");

  bool Recording() const { return file_.is_open(); }
  // The file of the running recording, or of the last one.
  const std::string& Path() const { return path_; }

 private:
  void Add(const std::string& lines);

  std::vector<std::string> history_;  // every line since the game started
  std::ofstream file_;
  std::string path_;
  int pointerX_ = 0;  // where the last mouse line left the pointer
  int pointerY_ = 0;
};

}  // namespace core
