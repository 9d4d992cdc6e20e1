#include "game/settings.h"

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "audio/sound_system.h"
#include "base/atomic_file.h"
#include "base/log.h"
#include "base/user_folders.h"
#include "game/blocks.h"
#include "serialization/json_file.h"

namespace game {
namespace {

// The file's keys and the fields they fill.
struct Key {
  const char* name;
  bool Settings::*field;
};
constexpr Key kKeys[] = {
    {"music", &Settings::music},
    {"soundEffects", &Settings::sfx},
    {"fullScreen", &Settings::fullScreen},
};

void Report(const std::filesystem::path& path, const std::string& problem) {
  base::LogError("settings", path.string() + ": " + problem);
}

void Store(bool Settings::*field, bool on) {
  SettingsBlock& block = StoredSettings();
  block.stored.*field = on;
  if (block.file) block.file->Save(block.stored);
}

}  // namespace

std::filesystem::path SettingsFile::DefaultPath() {
  const std::filesystem::path config = base::UserFolderPath(base::UserFolder::kConfig);
  return config.empty() ? config : config / "settings";
}

Settings SettingsFile::Load() {
  Settings settings;
  kept_.SetObject();
  std::error_code error;
  if (!std::filesystem::exists(path_, error)) return settings;
  rapidjson::Document read;
  std::string why;
  const serialization::JsonFileResult result = serialization::ReadJsonFile(path_.string(), read, why);
  if (result != serialization::JsonFileResult::Parsed) {
    Report(path_, (why.empty() ? std::string("cannot be read") : why) + "; the default settings are used");
    return settings;
  }
  if (!read.IsObject()) {
    Report(path_, "holds no JSON object; the default settings are used");
    return settings;
  }
  kept_.Swap(read);
  for (const Key& key : kKeys) {
    const auto member = kept_.FindMember(key.name);
    if (member == kept_.MemberEnd()) continue;
    if (member->value.IsBool()) {
      settings.*key.field = member->value.GetBool();
    } else {
      Report(path_, std::string("\"") + key.name + "\" should be true or false; the default (on) is used");
    }
  }
  return settings;
}

bool SettingsFile::Save(const Settings& settings) {
  if (!kept_.IsObject()) kept_.SetObject();
  auto& allocator = kept_.GetAllocator();
  for (const Key& key : kKeys) {
    const auto member = kept_.FindMember(key.name);
    if (member != kept_.MemberEnd()) {
      member->value.SetBool(settings.*key.field);
    } else {
      kept_.AddMember(rapidjson::StringRef(key.name), settings.*key.field, allocator);
    }
  }
  rapidjson::StringBuffer text;
  rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(text);
  kept_.Accept(writer);
  std::string error;
  const std::string bytes = std::string(text.GetString(), text.GetSize()) + "\n";
  if (base::MakeFolder(path_.parent_path(), error) && base::WriteFileAtomically(path_, bytes, error))
    return true;
  base::LogErrorOnce("settings", error + "; the settings are kept for this run only");
  return false;
}

SettingsBlock& StoredSettings() { return GameBlock<SettingsBlock>(); }

Settings LoadSettings(std::filesystem::path path) {
  SettingsBlock& block = StoredSettings();
  block.file = path.empty() ? nullptr : std::make_unique<SettingsFile>(std::move(path));
  block.stored = block.file ? block.file->Load() : Settings{};
  audio::Audio().musicOn = block.stored.music;
  audio::Audio().sfxOn = block.stored.sfx;
  return block.stored;
}

void StoreMusic(bool on) { Store(&Settings::music, on); }
void StoreSfx(bool on) { Store(&Settings::sfx, on); }
void StoreFullScreen(bool on) { Store(&Settings::fullScreen, on); }

}  // namespace game
