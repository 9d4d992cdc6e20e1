// Scripted input for the headless window: events by frame, one JSON object a line.
//   {"frame":12,"key":"Escape","down":true}     key by name, or "vk":27
//   {"frame":12,"mouse":[640,360]}               pointer in client pixels
//   {"frame":13,"button":"left","down":true}     mouse button at the pointer
//   {"frame":40,"close":true}                    the window's close button
//   {"frame":41,"minimize":true}                 the window's minimise box
//   {"frame":41,"focus":false}                   the window loses the keyboard focus
//   {"frame":42,"key":"PadA","down":true}        a game controller button (see key_names.h)
//   {"frame":42,"stick":[-32768,0]}              the controller's left stick, right and down positive
//   {"frame":41,"dt":0.0166}                     that frame's time in seconds (a recording's)
// Frames count from 1; a frame's events reach the queue before that frame runs.
#pragma once

#include <istream>
#include <map>
#include <optional>
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
  // The frame time the script gives a frame (the capped simulation step), in
  // seconds; none for most scripts.
  std::optional<float> FrameTimeOf(long long frame) const;
  // The real time that frame took, in seconds: its own "real", else its frame time.
  std::optional<float> RealTimeOf(long long frame) const;

 private:
  struct Times {
    float dt;
    float real;
  };
  std::map<long long, std::vector<Message>> frames_;
  std::map<long long, Times> frameTimes_;
};

// Writing scripts: the lines of one message as frame `frame` sees it, or "" for a
// message a script cannot express (the window's destruction, window switching). A
// key without a name is written by its code. `pointerX` and `pointerY` are where
// the last mouse line left the pointer: a button message elsewhere gets a mouse
// line first, and they follow the pointer.
std::string ScriptLines(long long frame, const Message& message, int& pointerX, int& pointerY);
// The line giving one frame's times, printed so that they read back as the same
// floats; the real time only where it differs from the frame time.
std::string FrameTimeLine(long long frame, float dt, float real);

}  // namespace platform::headless
