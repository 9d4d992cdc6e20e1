// The player's folders for what the game writes, as the desktop's base-directory
// rules place them: settings, saved files, caches and logs. The data folder the
// game reads is never among them (an installed game cannot write there).
#pragma once

#include <filesystem>

namespace base {

enum class UserFolder {
  kConfig,       // $XDG_CONFIG_HOME/velmaris, else ~/.config/velmaris: settings
  kData,         // $XDG_DATA_HOME/velmaris, else ~/.local/share/velmaris
  kReplays,      // kData/replays: recordings of play
  kLevels,       // kData/levels: custom levels, one folder a level
  kCache,        // $XDG_CACHE_HOME/velmaris, else ~/.cache/velmaris: self-test outputs
  kState,        // $XDG_STATE_HOME/velmaris, else ~/.local/state/velmaris: the run log
  kScreenshots,  // the desktop's pictures folder /Velmaris, else kData/screenshots
};

// The folder's path, not made yet. Empty when neither its variable nor HOME gives
// an absolute path (a relative one is ignored, as the rules say).
std::filesystem::path UserFolderPath(UserFolder folder);

}  // namespace base
