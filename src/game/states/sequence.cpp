// Timed sequences: steps run by seconds, the overshoot of one going to the next.
#include "game/states/sequence.h"

#include <algorithm>

#include "core/frame_loop.h"

namespace game {
namespace {

void Show(const TimedStep& step, float progress) {
  if (step.show != nullptr) step.show(std::clamp(progress, 0.0f, 1.0f));
}

}  // namespace

float WallSeconds() { return std::min(core::CurrentFrameTimes().real, kLongestTimedFrame); }

void RunTimedSteps(std::span<const TimedStep> steps, SequencePlace& place, float dt) {
  const int count = static_cast<int>(steps.size());
  if (place.step < 0 || place.step >= count) return;
  // A negative or non-finite dt would run the sequence backwards or stop it.
  if (dt > 0.0f) place.clock += dt;
  while (place.step < count && place.clock >= steps[place.step].seconds) {
    const TimedStep& step = steps[place.step];
    Show(step, 1.0f);
    place.clock -= step.seconds;
    ++place.step;
    if (step.finish != nullptr) step.finish();
  }
  if (place.step < count) {
    const TimedStep& step = steps[place.step];
    Show(step, place.clock / step.seconds);
  } else {
    place.clock = 0.0f;
  }
}

float SequenceSeconds(std::span<const TimedStep> steps) {
  float seconds = 0.0f;
  for (const TimedStep& step : steps) seconds += step.seconds;
  return seconds;
}

}  // namespace game
