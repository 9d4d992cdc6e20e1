#include "base/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace base {

AtomicFile::AtomicFile(std::filesystem::path path) : path_(std::move(path)) {
  temporary_ = path_;
  temporary_ += ".part-" + std::to_string(::getpid());
  descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor_ < 0) Fail(path_, "cannot write", errno);
}

AtomicFile::~AtomicFile() {
  Close();
  if (!committed_) ::unlink(temporary_.c_str());
}

void AtomicFile::Fail(const std::filesystem::path& where, std::string_view what, int errorNumber) {
  if (error_.empty()) error_ = where.string() + ": " + std::string(what) + ": " + std::strerror(errorNumber);
}

void AtomicFile::Close() {
  if (descriptor_ >= 0 && ::close(descriptor_) != 0) Fail(path_, "cannot finish writing", errno);
  if (descriptor_ >= 0) descriptor_ = -1;
}

bool AtomicFile::Write(std::string_view bytes) {
  if (!Ok()) return false;
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Fail(path_, "cannot write", written < 0 ? errno : ENOSPC);
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool AtomicFile::Commit() {
  if (Ok() && ::fsync(descriptor_) != 0) Fail(path_, "cannot finish writing", errno);
  Close();
  if (!Ok()) return false;
  if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
    Fail(path_, "cannot put the file in place", errno);
    return false;
  }
  committed_ = true;
  return true;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
  AtomicFile file(path);
  const bool written = file.Write(bytes) && file.Commit();
  error = file.Error();
  return written;
}

bool MakeFolder(const std::filesystem::path& folder, std::string& error) {
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  if (!made) return true;
  error = folder.string() + ": cannot make the folder: " + made.message();
  return false;
}

}  // namespace base
