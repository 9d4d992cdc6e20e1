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
      .Describe("numbers for its object's Script, which sees them as data; needs a Script on the object",
                R"({"start_x": 92.5, "start_y": 9.0, "end_x": 107.5, "end_y": 9.0, "speed": 1.6})")
      .AddHeaderMember()
      .AddVector({"start_x", "start_y"}, VELMARIS_FIELD(ScriptData, start),
                 {"data.start: for the script (a position, as a rule)", "world units"})
      .AddVector({"end_x", "end_y"}, VELMARIS_FIELD(ScriptData, finish),
                 {"data.finish: for the script (a position, as a rule)", "world units"})
      .Add("initTime", VELMARIS_FIELD(ScriptData, initTime),
           {"data.initTime: for the script (a time, as a rule)", "seconds"})
      .Add("timer", VELMARIS_FIELD(ScriptData, timer),
           {"data.timer: for the script (a time, as a rule)", "seconds"})
      .Add("angle", VELMARIS_FIELD(ScriptData, angle), {"data.angle: for the script, in the unit it chooses"})
      .Add("radius", VELMARIS_FIELD(ScriptData, radius),
           {"data.radius: for the script (a distance, as a rule)", "world units"})
      .Add("speed", VELMARIS_FIELD(ScriptData, speed), {"data.speed: for the script"})
      .Add("state", VELMARIS_FIELD(ScriptData, state), {"data.state: a flag for the script"})
      .Add("", VELMARIS_FIELD(ScriptData, bound))
      .FinishType();
}

}  // namespace scripting
