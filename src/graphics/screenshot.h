// Saving the presented picture as a PNG file: the F12 key in the game and the
// headless runner's --screenshot.
#pragma once

#include <filesystem>
#include <string>

namespace graphics {

// Reads back the frame drawn so far and writes it to `path`.
bool SaveScreenshot(const std::string& path);

// The name a screenshot taken now gets: "velmaris-YYYYMMDD-HHMMSS.png".
std::string ScreenshotFileName();

// F12 in the game: saves the frame into `folder` (made when missing) under a new
// timestamped name and says where on standard output, or why not on standard error,
// and in a player notice (base/player_notice.h) either way.
// The path of the file, or empty when it could not be saved.
std::filesystem::path SaveScreenshotToFolder(const std::filesystem::path& folder);

}  // namespace graphics
