// The player's settings: the options page's switches (music, sound effects, full
// screen), kept across runs in a small JSON file of the configuration folder.
#pragma once

#include <filesystem>
#include <memory>

#include <rapidjson/document.h>

namespace game {

struct Settings {
  bool music = true;
  bool sfx = true;
  bool fullScreen = true;
};

// The settings file: read at start-up, written whenever a switch changes. What it
// holds besides the three switches (a newer version's keys) is kept and written back.
class SettingsFile {
 public:
  // The file "settings" of the configuration folder; empty when there is none.
  static std::filesystem::path DefaultPath();

  explicit SettingsFile(std::filesystem::path path) : path_(std::move(path)) {}

  // The settings in the file. A missing file gives the defaults quietly; an empty,
  // malformed or mistyped one gives the defaults for what it gets wrong and one
  // line on standard error naming the file and the problem.
  Settings Load();
  // Writes the settings through a temporary file and a rename. False, with one
  // line on standard error naming the file and the reason, when it cannot.
  bool Save(const Settings& settings);

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  rapidjson::Document kept_;  // the file as read (an object), with the switches updated on save
};

// The settings of this run: the stored ones, what the player changes on the options
// page, and where they go. The runner and the tests have no file: nothing is stored.
struct SettingsBlock {
  Settings stored;  // what the file holds (a --windowed run does not change it)
  std::unique_ptr<SettingsFile> file;
};
SettingsBlock& StoredSettings();

// Reads the settings file at start-up and applies it to the sound switches; the
// caller applies `fullScreen` (which the command line may override for one run).
Settings LoadSettings(std::filesystem::path path);

// A switch of the options page changed: keeps the new values and writes the file.
void StoreMusic(bool on);
void StoreSfx(bool on);
void StoreFullScreen(bool on);

}  // namespace game
