// The file watcher behind live reload (data files, pictures, scripts): it polls, and
// tells one version of a file on disk from another by the file's stamp.
#pragma once

#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

namespace base {

// What one version of a file looks like on disk; a change of any field is a new
// version. Besides time and size it holds the file's identity, so that a file an
// editor saves by writing a temporary file and renaming it over the old one is a new
// version even with the same time and size, and its absence, so that a file that
// disappears and comes back is seen both times.
struct FileStamp {
  int error = ENOENT;        // errno of the failed stat; 0 when the file is there
  bool plain = false;        // a regular file (not a FIFO, a device or a folder)
  std::int64_t seconds = 0;  // modification time
  std::int64_t nanoseconds = 0;
  std::int64_t size = 0;  // bytes
  std::uint64_t inode = 0;
  std::uint64_t device = 0;

  bool Exists() const { return error == 0; }
  bool operator==(const FileStamp&) const = default;
};

// Looks at path now, following symbolic links.
FileStamp StampOf(const std::string& path);

// The monotonic clock (CLOCK_MONOTONIC) in nanoseconds.
std::int64_t SteadyNanoseconds();

// What a look at a watched name finds.
struct FileLook {
  std::string file;     // the file the name leads to
  std::string refusal;  // why the name is refused, to follow it in a message; empty when it is not
  FileStamp stamp;      // of file; that of a missing file when the name is refused
};

// How a watcher takes the names it is given.
enum class WatchedNames {
  kAsGiven,           // the path of the file
  kInsideDataFolder,  // a data file's name, resolved by base::ResolveDataPath at each look
                      // (a link put in since cannot lead out); refused when it leads out
};

// Polls files. A look at a file stands for kIntervalNanoseconds, so that many users
// of one file (every script of a level running it) cost one stat a few times a
// second; an owner that looks at all its files at once asks Due for its rhythm. The
// owner keeps the stamp of the version it last took (loaded, compiled or tried) and
// compares the look with it.
class FileWatcher {
 public:
  // Four looks a second keep an edit quick to show for a person saving a file,
  // without a stat per user per frame.
  static constexpr std::int64_t kIntervalNanoseconds = 250'000'000;

  // Monotonic time in nanoseconds; only differences mean anything. Real time, not
  // game time: files change while the game is paused too.
  using Clock = std::function<std::int64_t()>;

  explicit FileWatcher(Clock clock = &SteadyNanoseconds, WatchedNames names = WatchedNames::kAsGiven);

  // The file named by name from a look at most kIntervalNanoseconds old: the first
  // call for a name, and the first after the interval or LookAgain, looks at the
  // file again. The reference stays valid as long as the watcher.
  const FileLook& Look(const std::string& name);

  // True once kIntervalNanoseconds have passed since the watcher was made or since
  // the last LookAgain.
  bool Due() const;

  // Forgets every look, so that the next Look of each name looks at its file again,
  // and starts the interval of Due anew.
  void LookAgain();

  // Another clock (tests); forgets every look as LookAgain does.
  void SetClock(Clock clock);

 private:
  struct Entry {
    std::int64_t when = 0;  // clock reading of the look
    bool taken = false;     // false: none yet, or forgotten
    FileLook look;
  };

  void LookAt(const std::string& name, FileLook& look) const;

  Clock clock_;
  WatchedNames names_;
  std::int64_t batchStart_;
  std::unordered_map<std::string, Entry> looks_;  // by name as the owner gives it
};

}  // namespace base
