// The collision pass of a space: run by Space::Update after every component of the
// space's active objects has been updated.
#pragma once

namespace objects {
class Space;
}

namespace components {

void CheckCollisions(objects::Space& space);

}  // namespace components
