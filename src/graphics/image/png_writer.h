// Writing a picture as a PNG file through libpng: what screenshots are saved with.
#pragma once

#include <string>

#include "graphics/render_device.h"

namespace graphics::image {

// Writes an RGBA8 picture (rows top-down, 4 bytes a pixel) as a PNG file. False, with
// a line on standard error naming the file, when the picture is empty or does not
// match its size, or the file cannot be written.
bool WritePng(const std::string& path, const Picture& picture);
// The same, with the reason in `error` (naming the file) instead of on standard error.
bool WritePng(const std::string& path, const Picture& picture, std::string& error);

}  // namespace graphics::image
