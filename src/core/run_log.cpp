#include "core/run_log.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <system_error>

#include "base/log.h"

namespace core {
namespace {

namespace fs = std::filesystem;

// Writes everything to a stream's own buffer and to the log file's.
class CopyingBuffer final : public std::streambuf {
 public:
  CopyingBuffer(std::streambuf* own, std::streambuf* log) : own_(own), log_(log) {}

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    log_->sputc(static_cast<char>(c));
    return own_->sputc(static_cast<char>(c));
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    log_->sputn(text, count);
    return own_->sputn(text, count);
  }
  int sync() override {
    log_->pubsync();
    return own_->pubsync();
  }

 private:
  std::streambuf* own_;
  std::streambuf* log_;
};

fs::path Numbered(const fs::path& log, int run) {
  fs::path path = log;
  path += "." + std::to_string(run);
  return path;
}

}  // namespace

RunLog::RunLog(const fs::path& folder) {
  if (folder.empty()) {
    base::LogError("log", "no state folder (neither XDG_STATE_HOME nor HOME is set); this run keeps no log");
    return;
  }
  path_ = folder / "velmaris.log";
  std::error_code error;
  fs::create_directories(folder, error);
  for (int run = kRunsKept - 1; run >= 1; --run) {
    fs::rename(run == 1 ? path_ : Numbered(path_, run - 1), Numbered(path_, run), error);
  }
  file_.open(path_, std::ios::trunc);
  if (!file_) {
    base::LogError("log", path_.string() + ": cannot write the log of this run: " + std::strerror(errno));
    return;
  }
  out_ = std::cout.rdbuf();
  err_ = std::cerr.rdbuf();
  outCopy_ = std::make_unique<CopyingBuffer>(out_, file_.rdbuf());
  errCopy_ = std::make_unique<CopyingBuffer>(err_, file_.rdbuf());
  std::cout.rdbuf(outCopy_.get());
  std::cerr.rdbuf(errCopy_.get());
}

RunLog::~RunLog() {
  if (out_ == nullptr) return;
  std::cout.flush();
  std::cerr.flush();
  std::cout.rdbuf(out_);
  std::cerr.rdbuf(err_);
}

}  // namespace core
