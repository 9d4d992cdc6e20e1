// Screenshots: reading back the presented frame and naming and placing its file.
#include "graphics/screenshot.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <vector>

#include "base/file_names.h"
#include "base/log.h"
#include "graphics/graphics.h"
#include "graphics/image/png_writer.h"

namespace graphics {

bool SaveScreenshot(const std::string& path) {
  Picture picture;
  if (!CapturePicture(picture)) {
    base::LogError("screenshot", path + ": this renderer cannot read back its frames");
    return false;
  }
  return image::WritePng(path, picture);
}

std::string ScreenshotFileName() { return base::TimestampedFileName("png"); }

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
