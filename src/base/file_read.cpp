// Reading files whole, after checking what they are: see file_read.h.
#include "base/file_read.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace base {
namespace {

const char* KindOf(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a plain file";
}

FileRead SystemFailure(int errorNumber) {
  const bool missing = errorNumber == ENOENT || errorNumber == ENOTDIR;
  return {missing ? ReadOutcome::kMissing : ReadOutcome::kFailed, errorNumber, std::strerror(errorNumber)};
}

FileRead Refused(std::string reason) { return {ReadOutcome::kRefused, 0, std::move(reason)}; }

std::string OverLimit(std::uintmax_t bytes, const ReadLimit& limit) {
  return "is " + std::to_string(bytes) + " bytes, more than the " + std::to_string(limit.bytes) + " bytes (" +
         limit.shown + ") " + limit.kind + " may have";
}

// Closes the descriptor it holds when the scope ends.
class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return descriptor_; }

 private:
  int descriptor_;
};

// Looks at the path, opens it without waiting (a FIFO put in place after the look
// would otherwise block the open) and looks at what was opened.
FileRead OpenChecked(const std::string& path, const ReadLimit& limit, int& descriptor, std::uintmax_t& size) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return SystemFailure(errno);
  if (std::string refusal = RefusalOf(info, limit); !refusal.empty()) return Refused(std::move(refusal));
  descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return SystemFailure(errno);
  if (::fstat(descriptor, &info) != 0) return SystemFailure(errno);
  if (std::string refusal = RefusalOf(info, limit); !refusal.empty()) return Refused(std::move(refusal));
  size = static_cast<std::uintmax_t>(info.st_size);
  return {ReadOutcome::kRead, 0, {}};
}

// Reads to the end, but never more than one byte past the limit.
FileRead ReadCapped(int descriptor, const ReadLimit& limit, std::uintmax_t expected, std::string& bytes) {
  bytes.reserve(static_cast<std::size_t>(std::min(expected, limit.bytes)));
  std::array<char, 64 * 1024> buffer{};
  while (bytes.size() <= limit.bytes) {
    const ssize_t got = ::read(descriptor, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return SystemFailure(errno);
    if (got == 0) return {ReadOutcome::kRead, 0, {}};
    bytes.append(buffer.data(), static_cast<std::size_t>(got));
  }
  return Refused(OverLimit(bytes.size(), limit));
}

}  // namespace

std::string FileRead::Said() const {
  switch (outcome) {
    case ReadOutcome::kRead:
      return "was read";
    case ReadOutcome::kMissing:
      return "does not exist";
    case ReadOutcome::kRefused:
      return reason;
    case ReadOutcome::kFailed:
      break;
  }
  return "cannot be read (" + reason + ")";
}

std::string RefusalOf(const struct stat& info, const ReadLimit& limit) {
  if (S_ISDIR(info.st_mode)) return "is a directory";
  // Reading a FIFO waits for a writer; a device may never end.
  if (!S_ISREG(info.st_mode)) return std::string("is ") + KindOf(info.st_mode) + ", not a plain file";
  const auto size = static_cast<std::uintmax_t>(info.st_size);
  return size > limit.bytes ? OverLimit(size, limit) : std::string();
}

FileRead CheckReadable(const std::string& path, const ReadLimit& limit) {
  int opened = -1;
  std::uintmax_t size = 0;
  FileRead check = OpenChecked(path, limit, opened, size);
  const Descriptor descriptor(opened);
  return check;
}

FileRead ReadWholeFile(const std::string& path, const ReadLimit& limit, std::string& bytes) {
  bytes.clear();
  int opened = -1;
  std::uintmax_t size = 0;
  FileRead read = OpenChecked(path, limit, opened, size);
  const Descriptor descriptor(opened);
  try {
    if (read.Ok()) read = ReadCapped(descriptor.Get(), limit, size, bytes);
  } catch (const std::bad_alloc&) {
    read = {ReadOutcome::kFailed, ENOMEM, "out of memory"};
  }
  if (!read.Ok()) std::string().swap(bytes);
  return read;
}

}  // namespace base
