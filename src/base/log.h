// Diagnostics: one line each on standard error, "tag: message". The game's own
// status lines (state names, sound status) go to standard output where they are made.
#pragma once

#include <cstddef>
#include <string_view>

namespace base {

// Writes "tag: message" and a line end to standard error.
void LogError(std::string_view tag, std::string_view message);

// As LogError, but a given tag and message pair is written only the first time:
// for problems that would otherwise repeat every frame (a sprite without a source).
// Returns true when the line was written.
bool LogErrorOnce(std::string_view tag, std::string_view message);

// As LogErrorOnce, but keyed by where the problem comes from (a script's "file:line",
// an object's component) instead of the text, so that an error whose text changes
// each time ("t=0.51", "t=0.52") is still written once per place.
bool LogErrorOnceAt(std::string_view tag, std::string_view place, std::string_view message);

// How many keys the two functions above remember at most. Past it the oldest is
// forgotten, so memory stays bounded; a forgotten line may be written once more.
inline constexpr std::size_t kLogOnceLimit = 4096;

// How many keys are remembered now (tests).
std::size_t LogOnceRemembered();

// Forgets which lines LogErrorOnce and LogErrorOnceAt have written (tests).
void ResetLogOnce();

}  // namespace base
