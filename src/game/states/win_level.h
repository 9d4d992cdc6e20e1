// State 6, the win level, reached from Level3's victory screen: a small level with
// its own goals (7 stars, 600 s) whose timer stays hidden and whose end shows no
// victory screen; it stands still behind the end screen (end_screen.h).
#pragma once

namespace game {

void WinLoad();
void WinInit();
void WinUpdate(float dt);
void WinUnload();

}  // namespace game
