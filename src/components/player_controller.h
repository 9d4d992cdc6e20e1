// PlayerController: the simple keyboard controller. W, A, S, D give a direction
// whose unit vector times speed becomes the Physics velocity; holding the left
// mouse button uses the pointer's view position as the velocity instead.
#pragma once

#include "objects/base_component.h"

namespace objects {
class TypeRegistry;
}

namespace components {

class Physics;

class PlayerController : public objects::BaseComponent {
 public:
  PlayerController();

  // Finds the owner's Physics; false without an object or without Physics.
  bool Initialize() override;
  // Writes the velocity while canMove; dt is not used. "PlayerController" updates
  // after "Physics", so the velocity moves the player in the next frame.
  void Update(float dt) override;

  float speed = 0.0f;          // world units per second
  Physics* physics = nullptr;  // sibling, not owned; null until found
  bool canMove = true;
};

// Registers "PlayerController" with its serialized members.
void RegisterPlayerController(objects::TypeRegistry& registry);

}  // namespace components
