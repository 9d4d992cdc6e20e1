#include "core/input_recorder.h"

#include <filesystem>
#include <iostream>

#include "base/file_names.h"
#include "base/log.h"
#include "platform/headless/input_script.h"

namespace core {
namespace {

bool IsToolKey(const platform::Message& message) {
  const bool key =
      message.type == platform::MessageType::kKeyDown || message.type == platform::MessageType::kKeyUp;
  return key && (message.virtualKey == platform::kVkF9 || message.virtualKey == platform::kVkF12);
}

}  // namespace

void InputRecorder::RecordMessage(long long frame, const platform::Message& message) {
  if (IsToolKey(message)) return;
  Add(platform::headless::ScriptLines(frame, message, pointerX_, pointerY_));
}

void InputRecorder::RecordFrameTime(long long frame, float dt) {
  Add(platform::headless::FrameTimeLine(frame, dt));
  // Once a frame, so that a recording of a run that crashes keeps all but its end.
  if (file_.is_open()) file_.flush();
}

void InputRecorder::Add(const std::string& lines) {
  if (lines.empty()) return;
  history_.push_back(lines);
  if (file_.is_open()) file_ << lines;
}

void InputRecorder::Toggle(const std::string& folder) {
  if (file_.is_open()) {
    file_.close();
    std::cout << "recording saved: " << path_ << std::endl;
    return;
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  path_ = (std::filesystem::path(folder) / base::TimestampedFileName("jsonl")).string();
  file_.open(path_);
  if (!file_) {
    base::LogError("recording", path_ + ": cannot write the recording");
    return;
  }
  for (const std::string& lines : history_) file_ << lines;
  file_.flush();
  std::cout << "recording to " << path_ << " (F9 stops)" << std::endl;
}

}  // namespace core
