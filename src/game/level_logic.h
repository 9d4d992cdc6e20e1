// What every level shares: the on-screen level timer, the victory screen with its
// two-objective rating, the level end and the debug keys. The numbers live in the
// session's LevelState; this module keeps the sprites and buttons it drives.
#pragma once

#include <string>

namespace game {

// Shows the timer space (read from its prefab file the first time) at `start`
// seconds, counting `rate` seconds per second, digits visible, "b_Max" hidden.
void SetUpLevelTimer(float start, float rate);
// Advances the timer by the frame's wall-clock seconds (WallSeconds: a slow
// machine, whose frames the simulation caps, does not stretch the time goal) and
// shows it; stops at 6000 s (100 minutes) and shows "b_Max".
void UpdateLevelTimer();

// Loads the victory screen once, hides it, resets the level end and the rating, and
// makes `levelSpace` the level being played (unpaused).
void SetUpVictory(int starGoal, const std::string& levelSpace, float timeGoal);
// Which victory button may be clicked, and the victory screen shown once the level
// has ended.
void UpdateVictory();

// The level end: pauses the level, rates it, writes the stars and the time against
// their goals on the victory screen (a built-in level's result is recorded, and its
// best shown) and arms the victory screen's button.
// Runs once per level; later calls do nothing. Installed as the level-end hook of
// the "nextLevelTrigger" collision handler.
void EndLevel();

// The debug keys: the chord D E B G unlocks them, H I D E locks them again; then
// 1-3 jump to a level, 4/5 move the timer by 10 s, 6-9 set its rate, 0 ends the level.
void UpdateDebugKeys();

// Seconds as the timer shows them, "m:ss" ("0:58", "12:05", "100:00"): whole
// seconds, rounded down; below zero (or not a number) "0:00".
std::string ClockText(float seconds);

// The clear colour of every level: cornflower blue.
void ClearToLevelColour();

}  // namespace game
