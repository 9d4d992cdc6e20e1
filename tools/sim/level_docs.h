// velmaris-sim --schema and --reference: what level makers read, written from the
// engine's own tables so that it cannot drift from the engine.
#pragma once

#include "options.h"

namespace sim {

// Writes the schema (to its file, or standard output) and the reference (into its
// folder) that the options ask for. 0 when all was written, 1 with a message on
// standard error otherwise.
int WriteLevelDocs(const Options& options);

}  // namespace sim
