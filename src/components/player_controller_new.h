// PlayerControllerNew ("NewPlayerController"): the controller the levels use. The
// player faces the pointer, holding the left mouse button accelerates towards it,
// releasing it lets drag bring the player to rest, and a knock-back started by the
// "bounceBack" handler takes control away for a number of frames. P toggles whether
// the player may move at all. All its constants are per frame (60 frames a second).
#pragma once

#include "objects/base_component.h"

namespace objects {
class Transform;
class TypeRegistry;
}  // namespace objects

namespace components {

class Physics;
class PlayerControllerNew : public objects::BaseComponent {
 public:
  PlayerControllerNew();

  // Finds the owner's Physics and Transform. False without an object or without
  // either sibling.
  bool Initialize() override;
  // Steers the Physics velocity from the pointer; dt is not used.
  void Update(float dt) override;

  float movementSpeed = 0.0f;     // velocity added per frame while the button is held
  float maxMovementSpeed = 0.0f;  // speed limit of steered flight
  float movementDrag = 0.0f;      // speed removed per frame when not accelerating
  // Seconds of a knock-back, counted in frames at 60 per second. It stays in seconds
  // so that initialising again (each prefab layer, a reload) cannot scale it twice.
  float knockbackTime = 1.0f;
  float knockbackSpeed = 1.0f;              // speed the "bounceBack" handler gives
  float knockbackTimer = 0.0f;              // frames since the knock-back started
  Physics* physics = nullptr;               // sibling, not owned; null until found
  objects::Transform* transform = nullptr;  // sibling, not owned; null until found
  bool canMove = true;
  bool knockbackActive = false;
};

// Registers "NewPlayerController" with its serialized members.
void RegisterPlayerControllerNew(objects::TypeRegistry& registry);

}  // namespace components
