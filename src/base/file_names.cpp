#include "base/file_names.h"

#include <chrono>
#include <ctime>

namespace base {

std::string TimestampedFileName(std::string_view extension) {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "velmaris-%Y%m%d-%H%M%S.", &local);
  return std::string(stamp).append(extension);
}

std::filesystem::path FreeFilePath(const std::filesystem::path& folder, const std::string& name) {
  std::error_code error;
  std::filesystem::path path = folder / name;
  const std::filesystem::path plain(name);
  for (int copy = 2; std::filesystem::exists(path, error); ++copy) {
    path = folder / (plain.stem().string() + "-" + std::to_string(copy) + plain.extension().string());
  }
  return path;
}

}  // namespace base
