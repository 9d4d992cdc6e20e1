// Where the game's data tree is: the folder it reads its levels, menus, pictures,
// sounds and scripts from, and which it makes its working directory. The program
// never writes into it (see base/user_folders.h for where it writes).
#pragma once

#include <string>

namespace core {

// The folder holding the data tree, in this order: `chosen` (the --data option) when
// given; `share/velmaris` beside the executable's `bin/` (an installed game, in any
// prefix); the working directory when it holds `Levels/`; the source tree's `data/`
// the program was built from. Empty when none of them is a folder.
std::string FindDataFolder(const std::string& chosen = {});

// Finds the data folder and makes it the working directory. False, with one line on
// standard error naming the folder tried and the reason, when it cannot.
bool EnterDataDirectory(const std::string& chosen = {});

}  // namespace core
