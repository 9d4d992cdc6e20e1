// Short messages for the player about what the game did for them besides play (a
// screenshot or a recording saved, or why not), given alongside the log lines: any
// layer hands them over, and the game, which installs the hook, shows them on screen.
#pragma once

#include <string>

namespace base {

struct PlayerNotice {
  std::string headline;  // what happened, a few words: "Screenshot saved"
  std::string detail;    // where, or why not: a path or the system's reason
  bool problem = false;  // what the player asked for did not happen
};

using PlayerNoticeHook = void (*)(const PlayerNotice& notice);

// Installed once at start-up; null (the start-up value) shows nothing.
void SetPlayerNoticeHook(PlayerNoticeHook hook);

// Hands the notice to the installed hook, if any.
void NotifyPlayer(const PlayerNotice& notice);

}  // namespace base
