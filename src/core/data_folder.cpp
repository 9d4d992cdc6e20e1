#include "core/data_folder.h"

#include <filesystem>
#include <system_error>

#include "base/log.h"

namespace core {
namespace {

namespace fs = std::filesystem;

bool IsFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// `<prefix>/share/velmaris` for an executable at `<prefix>/bin/velmaris`.
fs::path InstalledDataFolder() {
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return executable.parent_path().parent_path() / "share" / "velmaris";
}

}  // namespace

std::string FindDataFolder(const std::string& chosen) {
  if (!chosen.empty()) return IsFolder(chosen) ? chosen : std::string();
  const fs::path installed = InstalledDataFolder();
  if (!installed.empty() && IsFolder(installed / "Levels")) return installed.string();
  if (IsFolder("Levels")) return fs::current_path().string();
  if (IsFolder(VELMARIS_DATA_DIR)) return VELMARIS_DATA_DIR;
  return {};
}

bool EnterDataDirectory(const std::string& chosen) {
  const std::string folder = FindDataFolder(chosen);
  if (folder.empty()) {
    base::LogError("startup", chosen.empty()
                                  ? std::string("cannot find the game's data folder: no share/velmaris "
                                                "beside the program, no Levels/ here, and no ") +
                                        VELMARIS_DATA_DIR
                                  : chosen + ": the data folder given is not a folder");
    return false;
  }
  std::error_code error;
  fs::current_path(folder, error);
  if (error) {
    base::LogError("startup", folder + ": cannot enter the data folder: " + error.message());
    return false;
  }
  return true;
}

}  // namespace core
