// Animation: steps its object's Sprite through a list of frame numbers, each shown
// for its own time, from minFrame to maxFrame, once or in a loop.
#pragma once

#include <cstdint>
#include <vector>

#include "objects/base_component.h"

namespace graphics {
class Sprite;
}
namespace objects {
class TypeRegistry;
}

namespace components {

class Animation : public objects::BaseComponent {
 public:
  Animation();

  // Finds the owner's Sprite and starts at minFrame (the sprite's frame is not
  // changed yet). Always true; an index range that the two lists do not cover is
  // reported and the animation then never advances.
  bool Initialize() override;
  // dt in seconds. Advances at most one index per update, once more than the
  // current index's time has passed; the time beyond it is dropped.
  void Update(float dt) override;

  // Sprite frame number of each animation index ("AnimationFrames").
  std::vector<std::int32_t> frames;
  // Seconds each index is shown ("AnimationFrameTimes").
  std::vector<float> frameTimes;
  std::int32_t minFrame = 0;
  std::int32_t maxFrame = 0;
  std::int32_t currentIndex = 0;
  std::int32_t currentFrame = 0;       // frames[currentIndex]
  float currentDuration = 0.0f;        // frameTimes[currentIndex], seconds
  float elapsed = 0.0f;                // seconds the current index has been shown
  graphics::Sprite* sprite = nullptr;  // sibling component, not owned; may be null
  // Whether minFrame..maxFrame index both lists; set by Initialize.
  bool rangeValid = false;
  bool isLooping = true;
  bool isPlaying = true;
  bool isPaused = false;

 private:
  bool IndexInRange(std::int32_t index) const;
};

// Registers "Animation" with its serialized members.
void RegisterAnimation(objects::TypeRegistry& registry);

}  // namespace components
