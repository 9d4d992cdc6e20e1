#include "base/log.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <iostream>
#include <string>
#include <unordered_set>

namespace base {
namespace {

// The keys written once, as hashes: a 64-bit hash per key keeps each entry small
// whatever the length of the text; a collision (odds about 1 in 10^15 at the limit)
// would only hide a line.
struct LogOnce {
  std::unordered_set<std::uint64_t> written;
  std::deque<std::uint64_t> order;  // oldest first
};

LogOnce& LogOnceState() {
  static LogOnce state;
  return state;
}

// kind keeps a text key and a place key with the same characters apart.
bool FirstTime(char kind, std::string_view tag, std::string_view key) {
  std::string joined;
  joined.reserve(tag.size() + key.size() + 2);
  joined.append(1, kind).append(tag).append(1, '\0').append(key);
  const std::uint64_t hash = std::hash<std::string>{}(joined);
  LogOnce& state = LogOnceState();
  if (!state.written.insert(hash).second) return false;
  state.order.push_back(hash);
  if (state.order.size() > kLogOnceLimit) {
    state.written.erase(state.order.front());
    state.order.pop_front();
  }
  return true;
}

}  // namespace

void LogError(std::string_view tag, std::string_view message) {
  std::cerr << tag << ": " << message << std::endl;
}

bool LogErrorOnce(std::string_view tag, std::string_view message) {
  if (!FirstTime('m', tag, message)) return false;
  LogError(tag, message);
  return true;
}

bool LogErrorOnceAt(std::string_view tag, std::string_view place, std::string_view message) {
  if (!FirstTime('p', tag, place)) return false;
  LogError(tag, message);
  return true;
}

std::size_t LogOnceRemembered() { return LogOnceState().written.size(); }

void ResetLogOnce() {
  LogOnceState().written.clear();
  LogOnceState().order.clear();
}

}  // namespace base
