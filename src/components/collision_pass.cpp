// The collision pass: the player's circle against the other colliders of its space.
#include "components/collision_pass.h"

#include <memory>

#include "components/collider.h"
#include "objects/game_object.h"
#include "objects/space.h"

namespace components {
namespace {

void RunHandlers(Collider& first, Collider& second) {
  if (first.handlerFunction != nullptr) first.handlerFunction(first, second);
  if (second.handlerFunction != nullptr) second.handlerFunction(second, first);
}

Collider* ColliderOf(const objects::GameObject& object, const char* typeName) {
  return object.GetComponent<Collider>(typeName);
}

}  // namespace

void CheckCollisions(objects::Space& space) {
  // Object names are unique in a space, so the one player is found by name.
  const std::shared_ptr<objects::GameObject> player = space.FindObject("Player").lock();
  if (player == nullptr || !player->IsActive()) return;
  // Looked up once per pass: handlers change positions, velocities and activity,
  // never the player's set of components.
  Collider* circle = ColliderOf(*player, "CircleCollider");
  if (circle == nullptr) return;

  // Handlers may deactivate objects or add new ones (a map insertion leaves the
  // iteration valid); each visited object is held for the length of its tests.
  for (const auto& [name, entry] : space.GetObjects()) {
    const std::shared_ptr<objects::GameObject> other = entry;
    if (other == nullptr || other == player) continue;
    if (other->IsActive()) {
      Collider* box = ColliderOf(*other, "BoxCollider");
      if (box != nullptr && circle->CollidesWithBox(box)) RunHandlers(*circle, *box);
    }
    // A handler of the box test may have deactivated the object.
    if (other->IsActive()) {
      Collider* otherCircle = ColliderOf(*other, "CircleCollider");
      if (otherCircle != nullptr && circle->CollidesWithCircle(otherCircle))
        RunHandlers(*circle, *otherCircle);
    }
  }
}

}  // namespace components
