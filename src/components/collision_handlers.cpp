// The four collision handlers and the level-end seam.
#include "components/collision_handlers.h"

#include <cmath>

#include "audio/sound_system.h"
#include "base/log.h"
#include "components/collider.h"
#include "components/hooks.h"
#include "components/physics.h"
#include "components/player_controller_new.h"
#include "components/pool.h"
#include "objects/describe.h"
#include "objects/game_object.h"
#include "objects/space.h"
#include "objects/transform.h"

namespace components {
namespace {

// The player's object when `other` belongs to it, else null.
objects::GameObject* PlayerOf(Collider& other) {
  objects::GameObject* object = other.GetOwner();
  return object != nullptr && object->GetName() == "Player" ? object : nullptr;
}

}  // namespace

ComponentHooks& Hooks() {
  static ComponentHooks hooks;
  return hooks;
}

void StopMovement(Collider& self, Collider& other) {
  objects::GameObject* player = PlayerOf(other);
  if (player == nullptr) return;
  auto* transform = player->GetComponent<objects::Transform>("Transform");
  if (transform == nullptr) return;
  // Only the swept test against a box records where the contact was; a contact
  // without its own record (a circle) would otherwise move the player to a stale
  // point, or to the origin.
  if (other.GetCollisionInfo().other != &self) return;
  const base::vector2D point = other.GetCollisionInfo().point;
  transform->translation = {point.x, point.y, 0.0f, 0.0f};
  transform->SetDirty();
}

void BounceBack(Collider& self, Collider& other) {
  objects::GameObject* player = PlayerOf(other);
  if (player == nullptr) return;
  auto* physics = player->GetComponent<Physics>("Physics");
  auto* controller = player->GetComponent<PlayerControllerNew>("NewPlayerController");
  auto* playerTransform = player->GetComponent<objects::Transform>("Transform");
  auto* ownTransform = objects::RequireSibling<objects::Transform>(self, "Transform");

  if (controller != nullptr) {
    controller->knockbackActive = true;
    controller->knockbackTimer = 0.0f;
  }
  if (physics != nullptr && controller != nullptr && playerTransform != nullptr && ownTransform != nullptr) {
    base::vector2D away{playerTransform->translation.x - ownTransform->translation.x,
                        playerTransform->translation.y - ownTransform->translation.y};
    const float length = std::sqrt(away.x * away.x + away.y * away.y);
    if (length > 0.0f) away = {away.x / length, away.y / length};
    physics->velocity = {away.x * controller->knockbackSpeed, away.y * controller->knockbackSpeed};
  } else if (ownTransform != nullptr) {  // a missing own Transform is reported above
    base::LogErrorOnce("collision", objects::DescribeObject(self.GetOwner()) +
                                        ": bounceBack needs Physics, NewPlayerController and Transform "
                                        "on the player");
  }
  audio::PlayEffect(kBounceBackSound);
}

void NextLevelTrigger(Collider&, Collider& other) {
  if (PlayerOf(other) == nullptr) return;
  audio::PlayEffect(kLevelEndSound);
  if (Hooks().levelEnd != nullptr) Hooks().levelEnd();
}

void StarCollect(Collider& self, Collider& other) {
  if (PlayerOf(other) == nullptr) return;
  objects::GameObject* star = self.GetOwner();
  objects::Space* space = star != nullptr ? star->GetSpace() : nullptr;
  const std::shared_ptr<objects::GameObject> counterObject =
      space != nullptr ? space->FindObject("c_UI").lock() : nullptr;
  auto* counter = counterObject != nullptr ? counterObject->GetComponent<Pool>("Pool") : nullptr;
  if (counter != nullptr) {
    counter->Increase();
  } else {
    base::LogErrorOnce("collision", objects::DescribeObject(star) +
                                        ": starCollect finds no object c_UI with a Pool in its space; "
                                        "the star is not counted");
  }
  audio::PlayEffect(kStarCollectSound);
  if (star != nullptr) star->SetActive(false);
}

const std::vector<NamedHandler>& CollisionHandlerList() {
  static const std::vector<NamedHandler> kHandlers = {
      {"bounceBack", &BounceBack,
       "knocks the player back away from this object (its NewPlayerController's knockbackSpeed and "
       "knockbackTime) and plays a smack"},
      {"nextLevelTrigger", &NextLevelTrigger,
       "ends the level when the player touches it: the level-end sound, then the victory screen"},
      {"starCollect", &StarCollect,
       "counts a star in the Pool of \"c_UI\" (up to its max), plays the pick-up sound and takes this "
       "object out of play"},
      {"stopMovement", &StopMovement, "a wall: the player stops at the point where its circle met this box"},
  };
  return kHandlers;
}

void RegisterCollisionHandlers() {
  CollisionHandlerTable& table = GetCollisionHandlers();
  for (const NamedHandler& handler : CollisionHandlerList()) table[handler.name] = handler.function;
}

}  // namespace components
