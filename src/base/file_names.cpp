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

}  // namespace base
