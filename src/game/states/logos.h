// State 7, the logo intro: a white screen with three logos, each shown and faded in
// turn (under 2 s each, timed in seconds), then a black screen, then Level1 (whose
// intro fades the welcome text in over the black screen). Any key, mouse button or
// controller button skips to the end.
#pragma once

namespace game {

void LogosLoad();
void LogosInit();
void LogosUpdate(float dt);
void LogosUnload();

// The logo space as the finished sequence leaves it (black screen opaque, logos
// hidden), read from its file first when Level1 starts without the logos having run.
void PrepareLogosForLevelIntro();

}  // namespace game
