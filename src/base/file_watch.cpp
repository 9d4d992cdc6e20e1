// The file watcher: stat for the stamp, the looks kept per path for the interval.
#include "base/file_watch.h"

#include <cerrno>
#include <chrono>
#include <utility>

#include <sys/stat.h>

#include "base/data_path.h"

namespace base {

FileStamp StampOf(const std::string& path) {
  struct stat info {};
  FileStamp stamp;
  if (::stat(path.c_str(), &info) != 0) {
    stamp.error = errno != 0 ? errno : ENOENT;
    return stamp;
  }
  stamp.error = 0;
  stamp.plain = S_ISREG(info.st_mode);
  stamp.seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
  stamp.nanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_nsec);
  stamp.size = static_cast<std::int64_t>(info.st_size);
  stamp.inode = static_cast<std::uint64_t>(info.st_ino);
  stamp.device = static_cast<std::uint64_t>(info.st_dev);
  return stamp;
}

std::int64_t SteadyNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

FileWatcher::FileWatcher(Clock clock, WatchedNames names)
    : clock_(std::move(clock)), names_(names), batchStart_(clock_()) {}

void FileWatcher::LookAt(const std::string& name, FileLook& look) const {
  look = FileLook{name, {}, {}};
  if (names_ == WatchedNames::kInsideDataFolder) {
    ResolvedPath resolved = ResolveDataPath(name);
    if (!resolved.Inside()) {
      look.refusal = "the name " + resolved.reason;
      return;
    }
    look.file = std::move(resolved.path);
  }
  look.stamp = StampOf(look.file);
}

const FileLook& FileWatcher::Look(const std::string& name) {
  const std::int64_t now = clock_();
  Entry& entry = looks_[name];
  if (!entry.taken || now - entry.when >= kIntervalNanoseconds) {
    entry.taken = true;
    entry.when = now;
    LookAt(name, entry.look);
  }
  return entry.look;
}

bool FileWatcher::Due() const { return clock_() - batchStart_ >= kIntervalNanoseconds; }

void FileWatcher::LookAgain() {
  for (auto& [path, entry] : looks_) entry.taken = false;
  batchStart_ = clock_();
}

void FileWatcher::SetClock(Clock clock) {
  clock_ = std::move(clock);
  LookAgain();
}

}  // namespace base
