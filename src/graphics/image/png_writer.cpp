// The PNG writer, through libpng's simplified write interface.
#include "graphics/image/png_writer.h"

#include <cstddef>

#include <png.h>

#include "base/log.h"

namespace graphics::image {

bool WritePng(const std::string& path, const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.rgba.size() != static_cast<std::size_t>(picture.width) * picture.height * 4) {
    base::LogError("screenshot", path + ": no picture to write");
    return false;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGBA;
  if (png_image_write_to_file(&image, path.c_str(), 0, picture.rgba.data(), 0, nullptr) == 0) {
    base::LogError("screenshot", path + ": cannot write: " + image.message);
    return false;
  }
  return true;
}

}  // namespace graphics::image
