// velmaris-sim --schema: a JSON Schema (draft 2020-12) of level and prefab files, made
// from the reflection registry, so that an editor completes component types and
// member names and flags values of the wrong kind.
#pragma once

#include <ostream>

namespace sim {

// Writes the schema of the registered component types (the registry must be filled).
void WriteSchema(std::ostream& out);

}  // namespace sim
