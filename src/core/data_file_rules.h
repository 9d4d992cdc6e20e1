// What the engine's component types mean for the files beside the level files: the
// members that name pictures and scripts, the sounds components play, the members
// that make a sprite sheet, the collision handler names and how a script is compiled.
// The data file validator checks levels against them.
#pragma once

#include <vector>

#include "serialization/validator.h"

namespace core {

// The members of the engine's component types that name data files: the loader keeps
// their values inside the data folder (RegisterComponents installs them) and the
// validator checks them.
std::vector<serialization::FileReference> EngineFileMembers();

// The engine's rules; the game adds the names it looks up (required objects and the
// files it loads).
serialization::ValidationRules EngineValidationRules();

}  // namespace core
