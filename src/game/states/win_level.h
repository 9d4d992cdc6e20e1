// State 6, the win level: a small level with its own goals (7 stars, 600 s) whose
// timer stays hidden and whose end shows no victory screen.
#pragma once

namespace game {

void WinLoad();
void WinInit();
void WinUpdate(float dt);
void WinUnload();

}  // namespace game
