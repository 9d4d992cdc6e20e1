// The check the game runs on a level file of a player's own before playing it: every
// problem the data file validator finds, with the file's line and column.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "serialization/validator.h"

namespace game {

// Checks a custom level (a level file outside the data folder) and the prefabs it
// uses against the engine's and the game's rules, as `velmaris-sim --validate FILE`
// does. Its paths lead from its own folder first, then from the data folder, which
// is the working directory (start-up makes it so). The component types must be
// registered. Problems name the level `shown`; the first one is the one to show.
// Empty: the level can be played.
std::vector<serialization::Problem> CheckCustomLevel(const std::filesystem::path& levelFile,
                                                     const std::string& shown);

}  // namespace game
