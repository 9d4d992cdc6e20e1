// The playable levels (states 1, 3 and 5) and the transition screens between them
// (states 2 and 4). Each keeps its objects in a space read from its file once and
// then only switched active and inactive.
#pragma once

#include <string>

namespace objects {
class Space;
}

namespace game {

// Level1, with its intro: the welcome text fades in over the black screen of the
// logos, the music starts, the black screen fades away and play begins.
void Level1Load();
void Level1Init();
void Level1Update(float dt);
void Level1Unload();

void Level2Load();
void Level2Init();
void Level2Unload();
void Level3Load();
void Level3Init();
void Level3Unload();
// Levels 2 and 3 share their frame.
void LevelUpdate(float dt);

// The title cards before Level2 and Level3: exactly 240 frames each, whatever dt.
void Level1TransitionLoad();
void Level1TransitionUpdate(float dt);
void Level1TransitionUnload();
void Level2TransitionLoad();
void Level2TransitionUpdate(float dt);
void Level2TransitionUnload();
void TransitionShutdown();

// The update, late-update and draw passes over every space.
void RunSpaces(float dt);

// What every played level shares, for the custom level state: the player of
// `space` back at the start and its star counter emptied (`file` names the level
// in messages; a missing Player or c_UI is a std::runtime_error); the timer, the
// victory screen with the level's goals and the menus set up; every object active.
void PrepareLevelSpace(objects::Space& space, const std::string& file);
void InitPlayedLevel(const std::string& levelSpace, int starGoal, float timeGoal);
void ActivateEveryObject(const std::string& levelSpace);

}  // namespace game
