// Notices: a few lines of text near the bottom of the screen, in the HUD's lettering,
// telling the player what the game did for them besides play (a screenshot or a
// recording saved, and where, or why not). One shows at a time for kNoticeSeconds,
// then fades out; a new one takes its place. They are drawn over each finished frame
// after its F12 screenshot (objects::GetOverlaySpace), so screenshots never show them.
#pragma once

#include <string>
#include <vector>

#include "base/player_notice.h"

namespace game {

inline constexpr float kNoticeSeconds = 3.0f;      // shown whole
inline constexpr float kNoticeFadeSeconds = 0.5f;  // then faded out

// Shows `notice` from the next frame on, in place of the one showing (the player
// notice hook the game installs).
void ShowNotice(const base::PlayerNotice& notice);

// The frame overlay the game installs: draws the notice showing and counts its
// time down by dt, in seconds.
void DrawNotice(float dt);

// The lines the notice shows on screen now, top to bottom (empty lines left out;
// none when no notice shows), as read back from its glyphs, and their opacity.
std::vector<std::string> NoticeLinesShown();
float NoticeOpacity();

}  // namespace game
