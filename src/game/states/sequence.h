// What the timed sequences of the logos and of Level1's intro share: waits counted
// in seconds of dt, and pictures faded by their opacity.
#pragma once

#include "graphics/sprite.h"

namespace game {

// Adds dt to `clock`; true (and the clock back at 0) once `seconds` have passed.
inline bool Waited(float& clock, float dt, float seconds) {
  clock += dt;
  if (clock < seconds) return false;
  clock = 0.0f;
  return true;
}

// Shows the sprite's picture untinted at `alpha` opacity (0 gone, 1 opaque); a null
// sprite is left alone.
inline void SetAlpha(graphics::Sprite* sprite, float alpha) {
  if (sprite != nullptr) sprite->colour = {1.0f, 1.0f, 1.0f, alpha};
}

}  // namespace game
