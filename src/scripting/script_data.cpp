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
  using objects::MemberType;
  registry.RegisterType<ScriptData>("ScriptData")
      .AddHeaderMember()
      .AddVectorMember({"start_x", "start_y"}, VELMARIS_OFFSETOF(ScriptData, start))
      .AddVectorMember({"end_x", "end_y"}, VELMARIS_OFFSETOF(ScriptData, finish))
      .AddMember(MemberType::Float, "initTime", VELMARIS_FIELD(ScriptData, initTime))
      .AddMember(MemberType::Float, "timer", VELMARIS_FIELD(ScriptData, timer))
      .AddMember(MemberType::Float, "angle", VELMARIS_FIELD(ScriptData, angle))
      .AddMember(MemberType::Float, "radius", VELMARIS_FIELD(ScriptData, radius))
      .AddMember(MemberType::Float, "speed", VELMARIS_FIELD(ScriptData, speed))
      .AddMember(MemberType::Bool, "state", VELMARIS_FIELD(ScriptData, state))
      .AddMember(MemberType::Bool, "", VELMARIS_FIELD(ScriptData, bound))
      .FinishType();
}

}  // namespace scripting
