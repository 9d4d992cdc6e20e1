// The playable levels (states 1, 3 and 5) and the transition screens between them
// (states 2 and 4). Each keeps its objects in a space read from its file once and
// then only switched active and inactive.
#pragma once

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

}  // namespace game
