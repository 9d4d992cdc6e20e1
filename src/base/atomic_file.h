// Files the game writes (settings, screenshots, recordings, reports) are written
// under a temporary name beside the final one and renamed into place only when every
// write succeeded, so a full disk or a crash never leaves half a file under the
// final name, and a good older file stays until a whole new one replaces it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace base {

class AtomicFile {
 public:
  // Opens "<path>.part-<pid>" for writing; the folder must exist.
  explicit AtomicFile(std::filesystem::path path);
  // Removes the temporary file unless Commit succeeded.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Appends bytes straight to the file (unbuffered, so what returned true is on
  // its way to the disk). False after the first failure.
  bool Write(std::string_view bytes);
  // Flushes to the disk, closes and renames over the final name. False, and the
  // final name untouched, when this or any earlier step failed.
  bool Commit();

  bool Ok() const { return error_.empty(); }
  // "<path>: <the system's reason>" of the first failure; empty while all is well.
  const std::string& Error() const { return error_; }
  const std::filesystem::path& Path() const { return path_; }
  // The temporary name the bytes go to until Commit.
  const std::filesystem::path& TemporaryPath() const { return temporary_; }

 private:
  void Fail(const std::filesystem::path& where, std::string_view what, int errorNumber);
  void Close();

  std::filesystem::path path_;
  std::filesystem::path temporary_;
  int descriptor_ = -1;
  bool committed_ = false;
  std::string error_;
};

// The whole file at once. False with `error` set ("<path>: <reason>") on failure.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error);

// Makes a folder and its parents. False with `error` set ("<folder>: <reason>").
bool MakeFolder(const std::filesystem::path& folder, std::string& error);

}  // namespace base
