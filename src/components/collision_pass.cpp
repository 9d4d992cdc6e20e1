// The collision pass: the player's circle against the other colliders of its space.
#include "components/collision_pass.h"

#include <memory>
#include <span>
#include <string_view>

#include "components/collider.h"
#include "objects/game_object.h"
#include "objects/space.h"

namespace components {
namespace {

void RunHandlers(Collider& first, Collider& second) {
  if (first.handlerFunction != nullptr) first.handlerFunction(first, second);
  if (second.handlerFunction != nullptr) second.handlerFunction(second, first);
}

// The collider stored under typeName among an object's components (in type-name
// order, few of them), or null; a hand-built component of another class under that
// name is not a collider.
Collider* ColliderOf(std::span<objects::BaseComponent* const> components, std::string_view typeName) {
  for (objects::BaseComponent* component : components) {
    if (component->GetType() == typeName) return dynamic_cast<Collider*>(component);
  }
  return nullptr;
}

}  // namespace

void CheckCollisions(objects::Space& space) {
  // Object names are unique in a space, so the one player is found by name.
  const std::shared_ptr<objects::GameObject> player = space.FindObject("Player").lock();
  if (player == nullptr || !player->IsActive()) return;
  // Looked up once per pass: handlers change positions, velocities and activity,
  // never the player's set of components.
  auto* circle = player->GetComponent<Collider>("CircleCollider");
  if (circle == nullptr) return;

  // Handlers may deactivate objects or add new ones; the walk keeps every visited
  // object alive for the length of its tests.
  space.ForEachObject([&](objects::GameObject& other, std::span<objects::BaseComponent* const> components) {
    if (&other == player.get()) return;
    if (other.IsActive()) {
      Collider* box = ColliderOf(components, "BoxCollider");
      if (box != nullptr && circle->CollidesWithBox(box)) RunHandlers(*circle, *box);
    }
    // A handler of the box test may have deactivated the object.
    if (other.IsActive()) {
      Collider* otherCircle = ColliderOf(components, "CircleCollider");
      if (otherCircle != nullptr && circle->CollidesWithCircle(otherCircle))
        RunHandlers(*circle, *otherCircle);
    }
  });
}

}  // namespace components
