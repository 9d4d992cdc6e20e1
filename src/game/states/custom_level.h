// A level played from a file of its own (state 13): a level maker's level, given
// with --level or chosen on the custom levels page. Its prefabs, pictures, scripts
// and sounds are looked up beside its file first, then in the game's data folder,
// and never outside those two. It plays as the built-in levels do, with the goals
// of its level header; its spaces are read anew each time it starts and removed
// when it ends, so an edited file plays as it now is.
#pragma once

#include <filesystem>
#include <string>

namespace game {

// Where Next on a custom level's victory screen leads.
enum class AfterCustomLevel {
  kQuit,      // a level given on the command line: the game ends
  kPageBack,  // a level chosen on the custom levels page: the page again
};

// Checks the level file and, when it can be played, asks for the custom level state
// with it (or starts it again in place when a custom level is running). Empty when
// it starts; otherwise its first problem, "FILE:LINE:COLUMN: message" where the
// place is known. Call between frames or from a level's update before its spaces
// run, never while spaces are being walked.
std::string StartCustomLevel(const std::filesystem::path& file, AfterCustomLevel after);

// Asks for `file` to start at the next level frame (a button action, which runs
// while the spaces are walked). Its problem, if it cannot start, goes to the custom
// levels page.
void RequestCustomLevel(const std::filesystem::path& file);
// Serves that request: called by every level state's update before its spaces run.
void StartRequestedCustomLevel();

// The victory screen's buttons in a custom level: Restart plays it again from the
// start, Next goes where `after` said.
void RestartCustomLevel();
void LeaveCustomLevel();

// Where the files a custom level names are looked up: its own folder first, then
// the data folder (the working directory).
void LookBesideTheLevel(const std::filesystem::path& file);

// The file of the custom level being played, or empty.
const std::filesystem::path& PlayedCustomLevel();

void CustomLevelLoad();
void CustomLevelInit();
void CustomLevelUpdate(float dt);
void CustomLevelUnload();

}  // namespace game
