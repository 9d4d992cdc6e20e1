#include "core/input_recorder.h"

#include <filesystem>
#include <iostream>

#include "base/atomic_file.h"
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
}

void InputRecorder::Add(const std::string& lines) {
  if (lines.empty()) return;
  history_.push_back(lines);
  if (file_ != nullptr && !file_->Write(lines)) {
    base::LogError("recording", file_->Error() + "; the recording stops and is not saved");
    file_.reset();
  }
}

void InputRecorder::Toggle(const std::filesystem::path& folder) {
  if (file_ != nullptr) {
    Stop();
  } else {
    Start(folder);
  }
}

void InputRecorder::Start(const std::filesystem::path& folder) {
  if (folder.empty()) {
    base::LogError("recording", "no folder to record into (neither XDG_DATA_HOME nor HOME is set)");
    return;
  }
  std::string error;
  if (!base::MakeFolder(folder, error)) {
    base::LogError("recording", error + "; nothing is recorded");
    return;
  }
  path_ = base::FreeFilePath(folder, base::TimestampedFileName("jsonl")).string();
  file_ = std::make_unique<base::AtomicFile>(path_);
  for (const std::string& lines : history_) file_->Write(lines);
  if (!file_->Ok()) {
    base::LogError("recording", file_->Error() + "; nothing is recorded");
    file_.reset();
    return;
  }
  std::cout << "recording to " << path_ << " (F9 stops)" << std::endl;
}

void InputRecorder::Stop() {
  if (file_->Commit()) {
    std::cout << "recording saved: " << path_ << std::endl;
  } else {
    base::LogError("recording", file_->Error() + "; the recording is not saved");
  }
  file_.reset();
}

}  // namespace core
