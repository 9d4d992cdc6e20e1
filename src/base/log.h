// Diagnostics: one line each on standard error, "tag: message". The game's own
// status lines (state names, sound status) go to standard output where they are made.
#pragma once

#include <string_view>

namespace base {

// Writes "tag: message" and a line end to standard error.
void LogError(std::string_view tag, std::string_view message);

// As LogError, but a given tag and message pair is written only the first time:
// for problems that would otherwise repeat every frame (a script error, a sprite
// without a source). Returns true when the line was written.
bool LogErrorOnce(std::string_view tag, std::string_view message);

// Forgets which lines LogErrorOnce has written (tests).
void ResetLogOnce();

}  // namespace base
