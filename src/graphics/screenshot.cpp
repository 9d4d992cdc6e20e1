// Screenshots: reading back the presented frame and naming and placing its file.
#include "graphics/screenshot.h"

#include <filesystem>
#include <iostream>
#include <vector>

#include "base/atomic_file.h"
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

std::filesystem::path SaveScreenshotToFolder(const std::filesystem::path& folder) {
  if (folder.empty()) {
    base::LogError("screenshot", "no folder to save into (neither XDG_DATA_HOME nor HOME is set)");
    return {};
  }
  std::string error;
  if (!base::MakeFolder(folder, error)) {
    base::LogError("screenshot", error);
    return {};
  }
  const std::filesystem::path path = base::FreeFilePath(folder, ScreenshotFileName());
  if (!SaveScreenshot(path.string())) return {};
  std::cout << "Screenshot saved: " << path.string() << std::endl;
  return path;
}

}  // namespace graphics
