// Ending the game from outside: SIGTERM and SIGINT only note which signal came; the
// frame loop sees it at its next turn and ends the run as quitting does, so what
// is being written is finished whole.
#pragma once

namespace base {

// Installs the note-taking handler for SIGTERM and SIGINT (the game, at start-up).
void InstallStopSignals();

// The signal that asked the process to stop, or 0 while none has.
int StopSignal();

// Forgets a signal taken (tests).
void ResetStopSignal();

// The exit code of a run a signal ended: 128 plus the signal, as shells report it.
inline int ExitCodeOfSignal(int signal) { return 128 + signal; }

}  // namespace base
