// Names of the files the game writes on a player's request (screenshots, recordings).
#pragma once

#include <string>
#include <string_view>

namespace base {

// "velmaris-YYYYMMDD-HHMMSS.<extension>" for the local time now.
std::string TimestampedFileName(std::string_view extension);

}  // namespace base
