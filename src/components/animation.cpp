// Animation: frame stepping and the registration of "Animation".
#include "components/animation.h"

#include <string>

#include "base/log.h"
#include "graphics/sprite.h"
#include "objects/describe.h"
#include "objects/game_object.h"
#include "objects/type_registry.h"

namespace components {

Animation::Animation() : BaseComponent("Animation") {}

bool Animation::IndexInRange(std::int32_t index) const {
  return index >= 0 && static_cast<std::size_t>(index) < frames.size() &&
         static_cast<std::size_t>(index) < frameTimes.size();
}

bool Animation::Initialize() {
  sprite = objects::RequireSibling<graphics::Sprite>(*this, "Sprite");
  currentIndex = minFrame;
  elapsed = 0.0f;
  // Every index between minFrame and maxFrame is read during play, so both ends
  // must lie inside both lists.
  rangeValid = minFrame <= maxFrame && IndexInRange(minFrame) && IndexInRange(maxFrame);
  if (!rangeValid) {
    base::LogError("animation", objects::DescribeObject(GetOwner()) + ": Animation MinFrame " +
                                    std::to_string(minFrame) + " to MaxFrame " + std::to_string(maxFrame) +
                                    " is not covered by its " + std::to_string(frames.size()) +
                                    " AnimationFrames and " + std::to_string(frameTimes.size()) +
                                    " AnimationFrameTimes; it does not play");
    currentFrame = 0;
    currentDuration = 0.0f;
    return true;
  }
  currentFrame = frames[static_cast<std::size_t>(minFrame)];
  currentDuration = frameTimes[static_cast<std::size_t>(minFrame)];
  return true;
}

void Animation::Update(float dt) {
  if (!isPlaying || isPaused || !rangeValid) return;
  elapsed += dt;
  if (!(elapsed > currentDuration)) return;

  ++currentIndex;
  if (currentIndex > maxFrame) {
    if (isLooping) {
      currentIndex = minFrame;
    } else {
      currentIndex = maxFrame;
      isPlaying = false;
      elapsed = currentDuration;
    }
  }
  // A script may have moved currentIndex anywhere; start over rather than read
  // outside the lists.
  if (!IndexInRange(currentIndex)) currentIndex = minFrame;
  currentFrame = frames[static_cast<std::size_t>(currentIndex)];
  currentDuration = frameTimes[static_cast<std::size_t>(currentIndex)];
  if (isPlaying) {
    elapsed = 0.0f;
    if (sprite != nullptr) sprite->frameIndex = currentFrame;
  }
}

void RegisterAnimation(objects::TypeRegistry& registry) {
  registry.RegisterType<Animation>("Animation")
      .Describe(
          "steps its object's Sprite through a list of frames, each shown for its own time",
          R"({"AnimationFrames": [0, 1, 2, 3], "AnimationFrameTimes": [0.1, 0.1, 0.1, 0.1], "MinFrame": 0, "MaxFrame": 3})")
      .AddHeaderMember()
      .Add("AnimationFrames", VELMARIS_FIELD(Animation, frames),
           {"the sprite sheet frame shown at each step"})
      .Add("AnimationFrameTimes", VELMARIS_FIELD(Animation, frameTimes),
           {"how long each step shows", "seconds"})
      .Add("MinFrame", VELMARIS_FIELD(Animation, minFrame),
           {"the first step played (an index into both lists)"})
      .Add("MaxFrame", VELMARIS_FIELD(Animation, maxFrame),
           {"the last step played (an index into both lists)"})
      .Add("", VELMARIS_FIELD(Animation, currentIndex))
      .Add("", VELMARIS_FIELD(Animation, currentFrame))
      .Add("", VELMARIS_FIELD(Animation, currentDuration))
      .Add("", VELMARIS_FIELD(Animation, elapsed))
      .Hide(VELMARIS_FIELD(Animation, sprite))
      .Add("IsLooping", VELMARIS_FIELD(Animation, isLooping), {"starts again after the last step"})
      .Add("IsPlaying", VELMARIS_FIELD(Animation, isPlaying), {"the animation runs"})
      .Add("IsPaused", VELMARIS_FIELD(Animation, isPaused), {"the animation holds its current step"})
      .FinishType();
}

}  // namespace components
