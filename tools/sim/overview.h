// A level's overview picture: every sprite of the loaded spaces that lives in the
// world, drawn at the scale that fits the whole level into one 1280 x 720 picture.
#pragma once

#include <string>

namespace sim {

// Runs one update of the loaded spaces with no time passing (so that movers stand
// on their paths), draws the overview and saves it as a PNG at `path`. The
// screen-fixed sprites (backgrounds, HUD) are left out: they belong to the view, not
// to the level. False (with a line on standard error) when there is nothing to draw
// or the picture cannot be written.
bool SaveLevelOverview(const std::string& path);

}  // namespace sim
