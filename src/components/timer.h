// Timer: a Pool whose counter moves by one for every whole second that passes while
// it is active, upwards or downwards; the fraction of a second carries over.
#pragma once

#include <cstdint>

#include "components/pool.h"

namespace objects {
class TypeRegistry;
}

namespace components {

class Timer : public Pool {
 public:
  // Counter 0, capacity 4294967295, minimum 0, counting up, active.
  Timer();
  // startValue is kept for scripts only; the counter still starts at 0.
  explicit Timer(std::int32_t startValue);

  // dt in seconds. While active, adds dt to timePassed and steps the counter once per
  // whole second in it, held at the capacity or the minimum.
  void Update(float dt) override;

  // The operations scripts call under these names.
  void CountUp() { countUp = true; }
  void CountDown() { countUp = false; }
  // Start value and timePassed back to 0; the counter stays where it is.
  void Reset();
  void SetStartValue(std::int32_t value) { startValue = value; }
  std::int32_t GetStartValue() const { return startValue; }
  // false freezes the counter and the accumulated fraction.
  void SetActive(bool isActive) { active = isActive; }
  bool IsActive() const { return active; }
  float GetTimePassed() const { return timePassed; }

  // Seconds accumulated towards the next step, 0 <= timePassed < 1 after an update.
  float timePassed = 0.0f;
  // Serialized as "time"; read by scripts, never by the update.
  std::int32_t startValue = 0;
  bool countUp = true;
  bool active = true;
};

// Registers "Timer": the Pool members, then its own.
void RegisterTimer(objects::TypeRegistry& registry);

}  // namespace components
