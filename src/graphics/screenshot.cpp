#include "graphics/screenshot.h"

#include <png.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <vector>

#include "base/log.h"
#include "graphics/graphics.h"

namespace graphics {

bool WritePng(const std::string& path, const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4) {
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

bool SaveScreenshot(const std::string& path) {
  Picture picture;
  if (!CapturePicture(picture)) {
    base::LogError("screenshot", path + ": this renderer cannot read back its frames");
    return false;
  }
  return WritePng(path, picture);
}

std::string ScreenshotFileName() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char name[40];
  std::strftime(name, sizeof name, "velmaris-%Y%m%d-%H%M%S.png", &local);
  return name;
}

void SaveScreenshotToFolder() {
  std::error_code error;
  std::filesystem::create_directories("screenshots", error);
  if (error) {
    base::LogError("screenshot", "cannot create screenshots/: " + error.message());
    return;
  }
  // Two shots within one second get -2, -3, ... rather than overwrite each other.
  const std::string name = ScreenshotFileName();
  std::string path = "screenshots/" + name;
  for (int copy = 2; std::filesystem::exists(path, error); ++copy) {
    path = "screenshots/" + name.substr(0, name.size() - 4) + "-" + std::to_string(copy) + ".png";
  }
  if (SaveScreenshot(path)) std::cout << "Screenshot saved: " << path << std::endl;
}

}  // namespace graphics
