#include "base/user_folders.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "base/file_read.h"
#include "base/log.h"

namespace base {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgramFolder = "velmaris";

// An absolute path from the environment, else empty.
fs::path AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  return fs::path(value);
}

// The base folder a variable names, or HOME's fallback below it.
fs::path BaseFolder(const char* variable, const char* homeFallback) {
  fs::path folder = AbsoluteVariable(variable);
  if (!folder.empty()) return folder;
  const fs::path home = AbsoluteVariable("HOME");
  return home.empty() ? fs::path() : home / homeFallback;
}

// The pictures folder the desktop names: XDG_PICTURES_DIR in the environment or in
// the user-dirs.dirs file of the configuration folder ("$HOME/Pictures" form).
fs::path DesktopPicturesFolder() {
  fs::path folder = AbsoluteVariable("XDG_PICTURES_DIR");
  if (!folder.empty()) return folder;
  const fs::path config = BaseFolder("XDG_CONFIG_HOME", ".config");
  if (config.empty()) return {};
  const std::string listPath = (config / "user-dirs.dirs").string();
  std::string text;
  const FileRead read = ReadWholeFile(listPath, kDataFileLimit, text);
  // Without the list there is no pictures folder; only a list that is there but
  // cannot be read is worth a line.
  if (!read.Ok() && read.outcome != ReadOutcome::kMissing) {
    LogErrorOnce("folders", listPath + " " + read.Said() + "; it names no pictures folder");
  }
  std::istringstream dirs(text);
  constexpr std::string_view kKey = "XDG_PICTURES_DIR=\"";
  for (std::string line; std::getline(dirs, line);) {
    if (line.rfind(kKey, 0) != 0 || line.size() < kKey.size() + 1 || line.back() != '"') continue;
    std::string value = line.substr(kKey.size(), line.size() - kKey.size() - 1);
    if (value.rfind("$HOME", 0) == 0) {
      const fs::path home = AbsoluteVariable("HOME");
      if (home.empty()) return {};
      value = home.string() + value.substr(5);
    }
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    // The rules say a pictures folder of HOME itself means "none".
    if (value.empty() || value[0] != '/' || fs::path(value) == AbsoluteVariable("HOME")) return {};
    return fs::path(value);
  }
  return {};
}

}  // namespace

fs::path UserFolderPath(UserFolder folder) {
  fs::path base;
  switch (folder) {
    case UserFolder::kConfig:
      base = BaseFolder("XDG_CONFIG_HOME", ".config");
      break;
    case UserFolder::kData:
      base = BaseFolder("XDG_DATA_HOME", ".local/share");
      break;
    case UserFolder::kCache:
      base = BaseFolder("XDG_CACHE_HOME", ".cache");
      break;
    case UserFolder::kState:
      base = BaseFolder("XDG_STATE_HOME", ".local/state");
      break;
    case UserFolder::kReplays:
    case UserFolder::kLevels: {
      const fs::path data = UserFolderPath(UserFolder::kData);
      if (data.empty()) return {};
      return data / (folder == UserFolder::kReplays ? "replays" : "levels");
    }
    case UserFolder::kScreenshots: {
      const fs::path pictures = DesktopPicturesFolder();
      if (!pictures.empty()) return pictures / "Velmaris";
      const fs::path data = UserFolderPath(UserFolder::kData);
      return data.empty() ? fs::path() : data / "screenshots";
    }
  }
  return base.empty() ? fs::path() : base / kProgramFolder;
}

}  // namespace base
