// The runner's dump: every space, object and component as JSON, and the game's own
// state under the key "level", so that a test can check a run without pixels.
#pragma once

#include <ostream>

namespace sim {

void WriteDump(std::ostream& stream);

}  // namespace sim
