// ScriptData: a block of tunable numbers for the script of its object, filled from
// the level file and read and written by the script as the global `data`.
#pragma once

#include "base/math.h"
#include "objects/base_component.h"

namespace objects {
class TypeRegistry;
}

namespace scripting {

class ScriptData : public objects::BaseComponent {
 public:
  // Every field zero, not bound.
  ScriptData();

  // Becomes the data of the object's "Script" (which keeps the block it made for
  // itself, unused, so that references a script kept stay valid) and runs that script's initialisation once.
  // False when the object has no "Script". Initialising a block that is already bound changes nothing and
  // succeeds, so an object initialised again (a prefab layer, a level loaded again)
  // keeps loading.
  bool Initialize() override;

  // Free for the script's own use; the engine gives them no meaning. Positions in
  // world units, times in seconds, angles as the script chooses.
  base::vector2D start;
  base::vector2D finish;
  float initTime = 0.0f;
  float timer = 0.0f;
  float angle = 0.0f;
  float radius = 0.0f;
  float speed = 0.0f;
  bool state = false;
  // True once the block is the data of its object's script.
  bool bound = false;
};

// Registers "ScriptData" with its serialized members.
void RegisterScriptData(objects::TypeRegistry& registry);

}  // namespace scripting
