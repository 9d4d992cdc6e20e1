// What the game looks up by name in its data: the level, menu and prefab files it
// loads, and in them the spaces, objects and components its code finds by name. The
// data file validator checks the files against this list.
#pragma once

#include <string>
#include <vector>

#include "serialization/validator.h"

namespace game {

// Every file the game loads by name, relative to the data folder.
std::vector<std::string> FilesLoadedByName();

// The spaces, objects and components those files must hold.
std::vector<serialization::RequiredObject> RequiredObjects();

// Everything the validator checks data files against: the engine's rules and the
// game's (the above, the buttons it wires, the states a UI may ask for, what makes a
// level playable). Reads the menu page table.
serialization::ValidationRules DataFileRules();

}  // namespace game
