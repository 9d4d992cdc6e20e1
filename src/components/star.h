// Star: marks a collectable star. Collecting is done by the star's collider
// handler "starCollect"; the component itself has no behaviour.
#pragma once

#include <string>

#include "objects/base_component.h"

namespace objects {
class TypeRegistry;
}

namespace components {

class Star : public objects::BaseComponent {
 public:
  Star();

  // Always true.
  bool Initialize() override { return true; }

  std::string playerName;  // kept for the file format; nothing reads it
};

// Registers "Star" with its serialized member.
void RegisterStar(objects::TypeRegistry& registry);

}  // namespace components
