// The collision pass of a space: run by Space::Update after every component of the
// space's active objects has been updated.
#pragma once

namespace objects {
class Space;
}

namespace components {

// Tests the circle of the active object named "Player" against the box and circle
// colliders of every other active object of the space, in object-name order (an
// object with both is tested as a box first), and runs both colliders' handlers on
// each contact: the player's first, then the other's. Components are looked up by
// type name on every pass; nothing is kept between frames.
void CheckCollisions(objects::Space& space);

}  // namespace components
