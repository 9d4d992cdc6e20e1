// Scripted input for the headless window: events by frame, one JSON object a line.
//   {"frame":12,"key":"Escape","down":true}     key by name, or "vk":27
//   {"frame":12,"mouse":[640,360]}               pointer in client pixels
//   {"frame":13,"button":"left","down":true}     mouse button at the pointer
//   {"frame":40,"close":true}                    the window's close button
//   {"frame":41,"minimize":true}                 the window's minimise box
// Frames count from 1; a frame's events reach the queue before that frame runs.
#pragma once

#include <istream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/window.h"

namespace platform::headless {

class InputScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class InputScript {
 public:
  // Reads a script; the name is used in error messages ("steer.jsonl:3: ...").
  // Blank lines are skipped. Throws InputScriptError naming the file and line.
  static InputScript Parse(std::istream& in, const std::string& name);
  static InputScript Load(const std::string& path);

  // The messages of one frame, in script order; empty when it has none.
  const std::vector<Message>& EventsOf(long long frame) const;
  std::size_t FrameCount() const { return frames_.size(); }

 private:
  std::map<long long, std::vector<Message>> frames_;
};

}  // namespace platform::headless
