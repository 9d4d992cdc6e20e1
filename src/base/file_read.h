// Reading the files the game did not write itself (data files, pictures, sounds,
// scripts, the shader, input scripts, the desktop's folder list): one check for all
// of them, so a wrong path can neither hang the game nor fill its memory.
#pragma once

#include <cstdint>
#include <string>

struct stat;

namespace base {

// The largest file of one kind that is read, and its name in messages.
struct ReadLimit {
  std::uintmax_t bytes;
  const char* shown;  // the limit as people read it: "16 MB"
  const char* kind;   // "a data file", "a picture"
};

// Far beyond anything the game ships, so only a wrong path reaches them.
inline constexpr ReadLimit kDataFileLimit{16u << 20, "16 MB", "a data file"};
inline constexpr ReadLimit kPictureLimit{1u << 30, "1 GiB", "a picture"};
inline constexpr ReadLimit kSoundLimit{256u << 20, "256 MB", "a sound"};
inline constexpr ReadLimit kScriptLimit{16u << 20, "16 MB", "a script"};
inline constexpr ReadLimit kShaderLimit{1u << 20, "1 MB", "the shader"};
// A recording of play grows by about 2 kB a second.
inline constexpr ReadLimit kInputScriptLimit{1u << 30, "1 GiB", "an input script"};

enum class ReadOutcome {
  kRead,     // the whole file was read (or, for CheckReadable, can be)
  kMissing,  // there is no such file
  kRefused,  // a directory, a FIFO, a device, a socket, or past the limit
  kFailed,   // the system would not open or read it (permission, an I/O error)
};

struct FileRead {
  ReadOutcome outcome = ReadOutcome::kFailed;
  int errorNumber = 0;  // errno of kMissing and kFailed; 0 otherwise
  // What is wrong, to follow the file's name in a message: "is a directory",
  // "is a FIFO (named pipe), not a plain file", "is 17 bytes, more than ...",
  // "No such file or directory". Empty after kRead.
  std::string reason;

  bool Ok() const { return outcome == ReadOutcome::kRead; }
  // The words that follow the file's name in a message: "is a directory", "does not
  // exist", "cannot be read (Permission denied)".
  std::string Said() const;
};

// Why a file of this kind and size is not read; empty when it is a plain file
// within the limit.
std::string RefusalOf(const struct stat& info, const ReadLimit& limit);

// Opens the file as ReadWholeFile would, without reading it.
FileRead CheckReadable(const std::string& path, const ReadLimit& limit);

// Reads a plain file of at most limit.bytes into `bytes` (emptied on failure). The
// path is looked at before it is opened, and the opened file again, so a FIFO or
// device is never waited on, even when put in place between the two; a file that
// grows while it is read is still caught at the limit.
FileRead ReadWholeFile(const std::string& path, const ReadLimit& limit, std::string& bytes);

}  // namespace base
