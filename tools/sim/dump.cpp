#include "dump.h"

#include <cstdint>
#include <cstdio>
#include <sstream>

#include <rapidjson/document.h>
#include <rapidjson/ostreamwrapper.h>
#include <rapidjson/prettywriter.h>

#include "audio/sound_system.h"
#include "game/session.h"
#include "serialization/serializer.h"

namespace sim {
namespace {

// The level state and the flags around it, as the level logic and the menus see them.
rapidjson::Value LevelJson(rapidjson::Document::AllocatorType& allocator) {
  const game::GameSession& session = game::Session();
  const game::LevelState& level = session.level;
  rapidjson::Value json(rapidjson::kObjectType);
  auto add = [&](const char* key, auto value) {
    json.AddMember(rapidjson::StringRef(key), value, allocator);
  };
  add("introStage", level.introStage);
  add("introFade", level.introFade);
  add("elapsedTime", level.elapsedTime);
  add("timerRate", level.timerRate);
  add("timerVisible", level.timerVisible);
  add("maxShown", level.maxShown);
  add("levelEnded", level.levelEnded);
  add("endTime", level.endTime);
  add("collectedStars", level.collectedStars);
  add("starGoal", level.starGoal);
  add("timeGoal", level.timeGoal);
  add("rating", level.rating);
  add("debugKeysEnabled", level.debugKeysEnabled);
  add("menuOpen", session.menuOpen);
  add("gamePaused", session.gamePaused);
  add("fullScreen", session.fullScreen);
  add("musicOn", audio::Audio().musicOn);
  add("sfxOn", audio::Audio().sfxOn);
  json.AddMember("currentLevelSpace", rapidjson::Value(session.currentLevelSpace.c_str(), allocator),
                 allocator);
  return json;
}

}  // namespace

void WriteDump(std::ostream& stream) {
  std::ostringstream spaces;
  serialization::WriteSpacesJson(spaces);
  rapidjson::Document document;
  document.Parse(spaces.str().c_str());
  document.AddMember("level", LevelJson(document.GetAllocator()), document.GetAllocator());
  rapidjson::OStreamWrapper wrapper(stream);
  rapidjson::PrettyWriter<rapidjson::OStreamWrapper> writer(wrapper);
  document.Accept(writer);
  stream << '\n';
}

std::string DumpHash() {
  std::ostringstream dump;
  WriteDump(dump);
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : dump.str()) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

}  // namespace sim
