// A log of the game's last few runs, for a player to attach to a bug report: for as
// long as a RunLog lives, what the program writes to standard output and standard
// error also goes to velmaris.log in the state folder; the runs before it are kept
// as velmaris.log.1 (the last) to velmaris.log.4.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <streambuf>

namespace core {

class RunLog {
 public:
  static constexpr int kRunsKept = 5;

  // Moves the older logs along, opens a new one in `folder` (made when missing) and
  // starts copying the two streams into it. When it cannot, it says so once on
  // standard error and the streams go on as before.
  explicit RunLog(const std::filesystem::path& folder);
  // Gives the streams back their own buffers.
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  bool IsOpen() const { return file_.is_open(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::ofstream file_;
  std::unique_ptr<std::streambuf> outCopy_;
  std::unique_ptr<std::streambuf> errCopy_;
  std::streambuf* out_ = nullptr;  // the streams' own buffers, not owned
  std::streambuf* err_ = nullptr;
};

}  // namespace core
