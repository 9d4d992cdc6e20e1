// ScriptData: attaching the block to its object's script, and its registration.
#include "scripting/script_data.h"

#include "objects/game_object.h"
#include "objects/type_registry.h"
#include "scripting/script.h"

namespace scripting {

ScriptData::ScriptData() : BaseComponent("ScriptData") {}

bool ScriptData::Initialize() {
  if (bound) return true;
  auto* script = objects::RequireSibling<Script>(*this, "Script");
  if (script == nullptr) return false;
  script->AttachData(this);
  bound = true;
  script->ScriptInit();  // a failure is retried by the script's first update
  return true;
}

void RegisterScriptData(objects::TypeRegistry& registry) {
  registry.RegisterType<ScriptData>("ScriptData")
      .AddHeaderMember()
      .AddVector({"start_x", "start_y"}, VELMARIS_FIELD(ScriptData, start))
      .AddVector({"end_x", "end_y"}, VELMARIS_FIELD(ScriptData, finish))
      .Add("initTime", VELMARIS_FIELD(ScriptData, initTime))
      .Add("timer", VELMARIS_FIELD(ScriptData, timer))
      .Add("angle", VELMARIS_FIELD(ScriptData, angle))
      .Add("radius", VELMARIS_FIELD(ScriptData, radius))
      .Add("speed", VELMARIS_FIELD(ScriptData, speed))
      .Add("state", VELMARIS_FIELD(ScriptData, state))
      .Add("", VELMARIS_FIELD(ScriptData, bound))
      .FinishType();
}

}  // namespace scripting
