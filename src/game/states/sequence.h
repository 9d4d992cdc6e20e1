// What the timed sequences of the logos and of Level1's intro share: steps that
// last a number of seconds (not of frames) on the wall clock, and pictures faded by
// their opacity.
#pragma once

#include <span>

#include "graphics/sprite.h"

namespace game {

// One step of a timed sequence. Both functions may be null (a plain wait).
struct TimedStep {
  float seconds = 0.0f;
  // Shows the step `progress` of the way through, 0 at its start to 1 at its end.
  void (*show)(float progress) = nullptr;
  // Runs once, when the step's time is up.
  void (*finish)() = nullptr;
};

// Where a timed sequence is: the step running (steps.size() once all are over) and
// the seconds spent in it.
struct SequencePlace {
  int step = 0;
  float clock = 0.0f;
};

// Adds dt to the sequence: every step whose time is up is shown at its end and
// finished, and the time left over goes to the next one, so the whole sequence
// lasts the sum of its steps at any frame rate; then the current step is shown.
// A step of 0 seconds finishes as soon as it is reached.
void RunTimedSteps(std::span<const TimedStep> steps, SequencePlace& place, float dt);

// A stall (a dragged window, a machine that froze) counts at most this long, in
// seconds, on the clocks the player sees.
inline constexpr float kLongestTimedFrame = 0.25f;
// This frame's real time in seconds, at most kLongestTimedFrame: what the player's
// clocks (the logos, the intro, the level timer) count. The simulation's dt is capped
// much shorter, which on a slow machine would stretch them.
float WallSeconds();

// Total seconds of the steps.
float SequenceSeconds(std::span<const TimedStep> steps);

// Shows the sprite's picture untinted at `alpha` opacity (0 gone, 1 opaque); a null
// sprite is left alone.
inline void SetAlpha(graphics::Sprite* sprite, float alpha) {
  if (sprite != nullptr) sprite->colour = {1.0f, 1.0f, 1.0f, alpha};
}

}  // namespace game
