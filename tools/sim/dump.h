// The runner's dump: every space, object and component as JSON, and the game's own
// state under the key "level", so that a test can check a run without pixels.
#pragma once

#include <ostream>
#include <string>

namespace sim {

void WriteDump(std::ostream& stream);

// A 64-bit FNV-1a hash of the dump, as 16 hex digits: two runs that reach the same
// state print the same hash.
std::string DumpHash();

}  // namespace sim
