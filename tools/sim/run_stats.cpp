#include "run_stats.h"

#include <charconv>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace sim {
namespace {

std::string ReadOwnStatus() {
  std::ifstream in("/proc/self/status");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::optional<long long> StatusKilobytes(std::string_view status, std::string_view field) {
  std::size_t at = 0;
  while (at < status.size()) {
    const std::size_t end = std::min(status.find('\n', at), status.size());
    const std::string_view line = status.substr(at, end - at);
    at = end + 1;
    if (line.size() <= field.size() || line.substr(0, field.size()) != field || line[field.size()] != ':')
      continue;
    std::string_view rest = line.substr(field.size() + 1);
    rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
    long long value = 0;
    const auto [next, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc() || next == rest.data()) return std::nullopt;
    return value;
  }
  return std::nullopt;
}

void RunStats::FrameEnded() {
  const Clock::time_point now = Clock::now();
  if (frameMs_.empty()) firstPresentS_ = std::chrono::duration<double>(now.time_since_epoch()).count();
  frameMs_.push_back(std::chrono::duration<double, std::milli>(now - frameStart_).count());
}

bool RunStats::Write(const std::string& path) const {
  const std::string status = ReadOwnStatus();
  std::ofstream out(path);
  out << std::fixed << std::setprecision(6) << "{\"frames\": " << frameMs_.size() << ", \"frame_ms\": [";
  for (std::size_t i = 0; i < frameMs_.size(); ++i) out << (i == 0 ? "" : ", ") << frameMs_[i];
  out << "], \"first_present_s\": " << firstPresentS_
      << ", \"rss_kb\": " << StatusKilobytes(status, "VmRSS").value_or(-1)
      << ", \"peak_rss_kb\": " << StatusKilobytes(status, "VmHWM").value_or(-1) << "}\n";
  out.close();
  return static_cast<bool>(out);
}

}  // namespace sim
