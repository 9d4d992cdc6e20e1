// Screenshots: reading back the presented frame and naming and placing its file.
#include "graphics/screenshot.h"

#include <filesystem>
#include <iostream>
#include <vector>

#include "base/atomic_file.h"
#include "base/file_names.h"
#include "base/log.h"
#include "base/player_notice.h"
#include "graphics/graphics.h"
#include "graphics/image/png_writer.h"

namespace graphics {
namespace {

bool SaveScreenshot(const std::string& path, std::string& error) {
  Picture picture;
  if (!CapturePicture(picture)) {
    error = path + ": this renderer cannot read back its frames";
    return false;
  }
  return image::WritePng(path, picture, error);
}

// The file written into `folder`, or empty with `error` set.
std::filesystem::path SaveScreenshotInto(const std::filesystem::path& folder, std::string& error) {
  if (folder.empty()) {
    error = "no folder to save into (neither XDG_DATA_HOME nor HOME is set)";
    return {};
  }
  if (!base::MakeFolder(folder, error)) return {};
  const std::filesystem::path path = base::FreeFilePath(folder, ScreenshotFileName());
  if (!SaveScreenshot(path.string(), error)) return {};
  return path;
}

}  // namespace

bool SaveScreenshot(const std::string& path) {
  std::string error;
  if (SaveScreenshot(path, error)) return true;
  base::LogError("screenshot", error);
  return false;
}

std::string ScreenshotFileName() { return base::TimestampedFileName("png"); }

std::filesystem::path SaveScreenshotToFolder(const std::filesystem::path& folder) {
  std::string error;
  const std::filesystem::path path = SaveScreenshotInto(folder, error);
  if (path.empty()) {
    base::LogError("screenshot", error);
    base::NotifyPlayer({"Screenshot not saved", error, true});
    return {};
  }
  std::cout << "Screenshot saved: " << path.string() << std::endl;
  base::NotifyPlayer({"Screenshot saved", path.string(), false});
  return path;
}

}  // namespace graphics
