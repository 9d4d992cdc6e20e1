// The input recorder: the history in its unnamed file, the recording beside it.
#include "core/input_recorder.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "base/atomic_file.h"
#include "base/file_names.h"
#include "base/log.h"
#include "base/player_notice.h"
#include "platform/headless/input_script.h"

namespace core {
namespace {

// A file without a name in the folder: made so, where the file system can, else
// named and unlinked at once. -1 with errno set when neither works.
int OpenUnnamed(const std::filesystem::path& folder) {
  const int unnamed = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (unnamed >= 0) return unnamed;
  std::string pattern = (folder / ".velmaris-history-XXXXXX").string();
  const int named = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (named >= 0) ::unlink(pattern.c_str());
  return named;
}

// An unnamed file in the folder, or in the system's temporary folder; -1 with
// `error` set when neither can be made.
int OpenSpool(const std::filesystem::path& folder, std::string& error) {
  std::vector<std::filesystem::path> folders;
  if (!folder.empty() && base::MakeFolder(folder, error)) folders.push_back(folder);
  std::error_code ignored;
  folders.push_back(std::filesystem::temp_directory_path(ignored));
  for (const std::filesystem::path& candidate : folders) {
    const int descriptor = OpenUnnamed(candidate);
    if (descriptor >= 0) {
      error.clear();
      return descriptor;
    }
    error = candidate.string() + ": cannot keep the input history: " + std::strerror(errno);
  }
  return -1;
}

bool WriteAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A recording that did not start or was not saved: one line on standard error, and
// the same reason for the player.
void ReportFailure(const char* headline, const std::string& reason, const char* outcome) {
  base::LogError("recording", reason + "; " + outcome);
  base::NotifyPlayer({headline, reason, true});
}

bool IsToolKey(const platform::Message& message) {
  const bool key =
      message.type == platform::MessageType::kKeyDown || message.type == platform::MessageType::kKeyUp;
  return key && (message.virtualKey == platform::kVkF9 || message.virtualKey == platform::kVkF12);
}

}  // namespace

InputRecorder::InputRecorder(const std::filesystem::path& spoolFolder) {
  spool_ = OpenSpool(spoolFolder, historyLost_);
  if (spool_ < 0) base::LogError("recording", historyLost_ + "; F9 records nothing in this run");
}

InputRecorder::~InputRecorder() {
  if (spool_ >= 0) ::close(spool_);
}

void InputRecorder::RecordMessage(long long frame, const platform::Message& message) {
  if (IsToolKey(message)) return;
  Add(platform::headless::ScriptLines(frame, message, pointerX_, pointerY_));
}

void InputRecorder::RecordFrameTimes(long long frame, float dt, float real) {
  Add(platform::headless::FrameTimeLine(frame, dt, real));
}

void InputRecorder::Add(const std::string& lines) {
  if (lines.empty()) return;
  Keep(lines);
  if (file_ != nullptr && !file_->Write(lines)) {
    ReportFailure("Recording stopped, not saved", file_->Error(), "the recording stops and is not saved");
    file_.reset();
  }
}

void InputRecorder::Keep(const std::string& lines) {
  if (spool_ < 0) return;
  if (WriteAll(spool_, lines)) return;
  historyLost_ = std::string("cannot keep the input history: ") + std::strerror(errno);
  base::LogError("recording", historyLost_ + "; F9 records nothing more in this run");
  ::close(spool_);
  spool_ = -1;
}

bool InputRecorder::CopyHistory(base::AtomicFile& file) {
  std::array<char, 64 * 1024> buffer{};
  for (off_t at = 0;;) {
    const ssize_t got = ::pread(spool_, buffer.data(), buffer.size(), at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      historyLost_ = std::string("cannot read the input history back: ") + std::strerror(errno);
      return false;
    }
    if (got == 0) return file.Ok();
    if (!file.Write({buffer.data(), static_cast<std::size_t>(got)})) return false;
    at += got;
  }
}

void InputRecorder::Finish() {
  if (file_ != nullptr) Stop();
}

void InputRecorder::Toggle(const std::filesystem::path& folder) {
  if (file_ != nullptr) {
    Stop();
  } else {
    Start(folder);
  }
}

void InputRecorder::Start(const std::filesystem::path& folder) {
  constexpr const char* kNotStarted = "Recording not started";
  constexpr const char* kNothing = "nothing is recorded";
  if (folder.empty()) {
    ReportFailure(kNotStarted, "no folder to record into (neither XDG_DATA_HOME nor HOME is set)", kNothing);
    return;
  }
  // Without the whole history the recording would not replay.
  if (spool_ < 0) {
    ReportFailure(kNotStarted, historyLost_, kNothing);
    return;
  }
  std::string error;
  if (!base::MakeFolder(folder, error)) {
    ReportFailure(kNotStarted, error, kNothing);
    return;
  }
  path_ = base::FreeFilePath(folder, base::TimestampedFileName("jsonl")).string();
  file_ = std::make_unique<base::AtomicFile>(path_);
  if (!CopyHistory(*file_)) {
    ReportFailure(kNotStarted, file_->Ok() ? historyLost_ : file_->Error(), kNothing);
    file_.reset();
    return;
  }
  std::cout << "recording to " << path_ << " (F9 stops)" << std::endl;
  base::NotifyPlayer({"Recording (F9 stops)", path_, false});
}

void InputRecorder::Stop() {
  if (file_->Commit()) {
    std::cout << "recording saved: " << path_ << std::endl;
    base::NotifyPlayer({"Recording saved", path_, false});
  } else {
    ReportFailure("Recording not saved", file_->Error(), "the recording is not saved");
  }
  file_.reset();
}

}  // namespace core
