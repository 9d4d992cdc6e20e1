// The collision pass: tests the colliders of a space against each other.
#include "components/collision_pass.h"

namespace components {

// Collider types plug their tests and handlers in here.
void CheckCollisions(objects::Space&) {}

}  // namespace components
