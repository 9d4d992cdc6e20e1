// The four collision handlers of the shared table, and the seam through which the
// level logic learns that the player reached the end of a level. Every handler does
// nothing unless `other` belongs to the object named "Player".
#pragma once

#include <vector>

namespace components {

class Collider;

// The sounds the handlers play, relative to the data folder.
inline constexpr const char* kBounceBackSound = "Audio/BirdSmack.ogg";
inline constexpr const char* kLevelEndSound = "Audio/LevelEndSound.ogg";
inline constexpr const char* kStarCollectSound = "Audio/Alt2StarCollect.ogg";

// Moves the player to the contact point its circle recorded (z and w 0).
void StopMovement(Collider& self, Collider& other);
// Starts the player's knock-back away from self's object and plays "BirdSmack".
void BounceBack(Collider& self, Collider& other);
// Plays the level-end sound and runs the level-end operation.
void NextLevelTrigger(Collider& self, Collider& other);
// Counts a star in the Pool of "c_UI" (held at its capacity), plays the pick-up
// sound and deactivates self's object.
void StarCollect(Collider& self, Collider& other);

// A handler as files name it, and what it does, for the generated reference.
struct NamedHandler {
  const char* name;
  void (*function)(Collider& self, Collider& other);
  const char* description;
};

// The four handlers, in name order.
const std::vector<NamedHandler>& CollisionHandlerList();

// Fills the shared handler table with the four handlers above, by the names the
// files use. Called once by the engine's start-up, before any level loads.
void RegisterCollisionHandlers();

}  // namespace components
