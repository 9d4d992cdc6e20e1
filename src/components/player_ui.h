// PlayerUI: mirrors the star counter held in its object's Pool into the frame of a
// digit sprite, and publishes it as the collected-star count the level end reads.
#pragma once

#include <cstdint>

#include "objects/base_component.h"

namespace graphics {
class Sprite;
class SpriteSource;
}  // namespace graphics
namespace objects {
class TypeRegistry;
}

namespace components {

class Pool;

class PlayerUI : public objects::BaseComponent {
 public:
  PlayerUI();

  // Finds the owner's SpriteSource, Sprite and Pool (each may be missing); always
  // true. A missing Sprite or Pool is reported: the display then stays as it is.
  bool Initialize() override;
  // When the pool's amount differs from prevCount: shows it as the sprite's frame
  // and publishes it through the star-count handler. dt is not used.
  void Update(float dt) override;

  std::int32_t prevCount = 0;                // the count last shown
  std::int32_t nextState = 0;                // kept for the file format; nothing reads it
  graphics::SpriteSource* source = nullptr;  // siblings, not owned; may be null
  graphics::Sprite* sprite = nullptr;
  Pool* pool = nullptr;
  bool canChangeState = false;  // kept for the file format; nothing reads it
};

// Registers "PlayerUI" with its serialized members.
void RegisterPlayerUI(objects::TypeRegistry& registry);

}  // namespace components
