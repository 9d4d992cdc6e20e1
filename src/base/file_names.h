// Names of the files the game writes on a player's request (screenshots, recordings).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace base {

// "velmaris-YYYYMMDD-HHMMSS.<extension>" for the local time now.
std::string TimestampedFileName(std::string_view extension);

// `folder / name`, or, when that exists, the first free "stem-2.ext", "stem-3.ext", ...:
// two files asked for within one second do not overwrite each other.
std::filesystem::path FreeFilePath(const std::filesystem::path& folder, const std::string& name);

}  // namespace base
