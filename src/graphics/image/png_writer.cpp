// The PNG writer, through libpng's simplified write interface.
#include "graphics/image/png_writer.h"

#include <cstddef>
#include <vector>

#include <png.h>

#include "base/atomic_file.h"
#include "base/log.h"

namespace graphics::image {

bool WritePng(const std::string& path, const Picture& picture) {
  std::string error;
  if (WritePng(path, picture, error)) return true;
  base::LogError("screenshot", error);
  return false;
}

bool WritePng(const std::string& path, const Picture& picture, std::string& error) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.rgba.size() != static_cast<std::size_t>(picture.width) * picture.height * 4) {
    error = path + ": no picture to write";
    return false;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGBA;
  // Encoded in memory first, so that the file is written whole or not at all.
  png_alloc_size_t size = 0;
  std::vector<unsigned char> encoded;
  if (png_image_write_get_memory_size(image, size, 0, picture.rgba.data(), 0, nullptr)) {
    encoded.resize(size);
    if (!png_image_write_to_memory(&image, encoded.data(), &size, 0, picture.rgba.data(), 0, nullptr))
      size = 0;
  }
  if (size == 0) {
    error = path + ": cannot encode the picture: " + image.message;
    return false;
  }
  return base::WriteFileAtomically(path, {reinterpret_cast<const char*>(encoded.data()), size}, error);
}

}  // namespace graphics::image
