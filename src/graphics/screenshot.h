// Saving the presented picture as a PNG file: the F12 key in the game and the
// headless runner's --screenshot.
#pragma once

#include <string>

namespace graphics {

// Reads back the frame drawn so far and writes it to `path`.
bool SaveScreenshot(const std::string& path);

// The name a screenshot taken now gets: "velmaris-YYYYMMDD-HHMMSS.png".
std::string ScreenshotFileName();

// F12 in the game: saves the frame into screenshots/ under the working directory.
void SaveScreenshotToFolder();

}  // namespace graphics
