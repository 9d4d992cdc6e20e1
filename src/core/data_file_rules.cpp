// The engine's data file rules, from the component types that define them.
#include "core/data_file_rules.h"

#include "components/button.h"
#include "components/collider.h"
#include "components/collision_handlers.h"
#include "scripting/script_check.h"

namespace core {
namespace {

// The names of the handler table, filled first if the engine has not started yet.
std::vector<std::string> CollisionHandlerNames() {
  components::RegisterCollisionHandlers();
  std::vector<std::string> names;
  for (const auto& [name, handler] : components::GetCollisionHandlers()) {
    if (handler != nullptr) names.push_back(name);
  }
  return names;
}

}  // namespace

std::vector<serialization::FileReference> EngineFileMembers() {
  return {
      {"SpriteSource", "image", "picture"},
      {"Script", "filename", "script"},
  };
}

serialization::ValidationRules EngineValidationRules() {
  serialization::ValidationRules rules;
  rules.references = EngineFileMembers();
  rules.impliedFiles = {{"Button", "", "", components::kButtonClickSound, "sound"}};
  // A collider plays its handler's sound; the handler names are those of the table
  // the engine fills at start-up.
  for (const char* collider : {"CircleCollider", "BoxCollider"}) {
    rules.impliedFiles.push_back({collider, "handler", "bounceBack", components::kBounceBackSound, "sound"});
    rules.impliedFiles.push_back(
        {collider, "handler", "nextLevelTrigger", components::kLevelEndSound, "sound"});
    rules.impliedFiles.push_back(
        {collider, "handler", "starCollect", components::kStarCollectSound, "sound"});
  }
  rules.sheets = {{"SpriteSource", "numrows", "numcols", "Sprite", "frame_index"}};
  rules.names = {{"CircleCollider", "handler", "collision handler", CollisionHandlerNames()},
                 {"BoxCollider", "handler", "collision handler", CollisionHandlerNames()}};
  rules.scripts = {{"Script", "filename", &scripting::CompileScriptFile}};
  // As each component's Initialize asks for its siblings; the Pool of a PlayerUI is
  // one of the objects the game requires by name, which says so.
  rules.siblings = {{"Sprite", {"SpriteSource", "Transform"}},
                    {"Animation", {"Sprite"}},
                    {"Physics", {"Transform"}},
                    {"PlayerController", {"Physics"}},
                    {"NewPlayerController", {"Physics", "Transform"}},
                    {"PlayerUI", {"Sprite"}},
                    {"PointMover2", {"Transform"}},
                    {"RotateAround", {"Transform"}},
                    {"Button", {"Transform"}},
                    {"Camera", {"Transform"}},
                    {"CircleCollider", {"Transform"}},
                    {"BoxCollider", {"Transform"}},
                    {"ScriptData", {"Script"}}};
  return rules;
}

}  // namespace core
