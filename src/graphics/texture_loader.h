// Image file to texture on the render device: decoding, format choice, size cap and
// upload in one call. Sprite sources are its users.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/render_device.h"
#include "graphics/texture_format.h"

namespace graphics {

// Loads `path` (relative to the working directory) into a texture of at most
// `maxSize` pixels a side, 0 meaning the device's own limit. Returns null on failure,
// with the reason in `result` when given and one line on standard error naming the file.
std::unique_ptr<Texture> LoadTextureFromFile(const std::string& path, std::uint32_t maxSize = 0,
                                             ImageResult* result = nullptr);

}  // namespace graphics
