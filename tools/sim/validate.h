// velmaris-sim --validate: checks level, menu and prefab files and runs nothing.
#pragma once

#include "options.h"

namespace sim {

// Prints one line per problem ("FILE:LINE:COLUMN: message") and a count line on
// standard output; 0 when there is no problem, 1 otherwise.
int Validate(const Options& options);

}  // namespace sim
