#include "base/log.h"

#include <iostream>
#include <set>
#include <string>

namespace base {
namespace {

std::set<std::string>& WrittenOnce() {
  static std::set<std::string> written;
  return written;
}

}  // namespace

void LogError(std::string_view tag, std::string_view message) {
  std::cerr << tag << ": " << message << std::endl;
}

bool LogErrorOnce(std::string_view tag, std::string_view message) {
  std::string key;
  key.reserve(tag.size() + message.size() + 1);
  key.append(tag).append(1, '\0').append(message);
  if (!WrittenOnce().insert(std::move(key)).second) return false;
  LogError(tag, message);
  return true;
}

void ResetLogOnce() { WrittenOnce().clear(); }

}  // namespace base
