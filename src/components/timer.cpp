// Timer: whole-second counting and the registration of "Timer".
#include "components/timer.h"

#include <cmath>
#include <limits>
#include <new>

#include "base/log.h"
#include "objects/describe.h"
#include "objects/type_registry.h"

namespace components {

Timer::Timer() : Timer(0) {}

Timer::Timer(std::int32_t startValue) : Pool("Timer", 0, 0xFFFFFFFFu, 0), startValue(startValue) {}

void Timer::Update(float dt) {
  if (!active) return;
  // Scripts may pass any number; an infinite or NaN step would never leave the
  // counting below and would spoil timePassed for good.
  if (!std::isfinite(dt)) {
    base::LogErrorOnce(
        "timer", objects::DescribeObject(GetOwner()) + ": Timer update with a non-finite dt is ignored");
    return;
  }
  timePassed += dt;
  if (!(timePassed >= 1.0f)) return;
  // A long frame counts several seconds at once and the fraction carries over. The
  // whole seconds are taken in one step (the same result as subtracting 1 at a time,
  // which is exact in float) so that a huge dt does not loop for ages.
  const float whole = std::floor(timePassed);
  timePassed -= whole;
  if (!std::isfinite(timePassed)) timePassed = 0.0f;  // the sum overflowed to infinity
  const auto steps =
      whole >= 1.8e19f ? std::numeric_limits<std::uint64_t>::max() : static_cast<std::uint64_t>(whole);
  if (countUp) {
    Increase(steps);
  } else {
    Decrease(steps);
  }
}

void Timer::Reset() {
  startValue = 0;
  timePassed = 0.0f;
}

namespace {

// The factory builds timers with the start value 0.
objects::BaseComponent* CreateTimer(void* memory) { return new (memory) Timer(0); }

}  // namespace

void RegisterTimer(objects::TypeRegistry& registry) {
  registry.RegisterType<Timer>("Timer", &CreateTimer)
      .Describe("a Pool that steps by one every whole second while it is active",
                R"({"amount": 120, "countUp": false, "active": true})")
      .AddHeaderMember()
      .Add("amount", VELMARIS_FIELD(Timer, amount), {"the count"})
      .Add("max", VELMARIS_FIELD(Timer, capacity), {"the largest count; -1 means no limit"})
      .Add("min", VELMARIS_FIELD(Timer, minimum), {"the smallest count"})
      .Add("", VELMARIS_FIELD(Timer, timePassed))
      .Add("time", VELMARIS_FIELD(Timer, startValue),
           {"a start value for scripts; the count still starts at amount"})
      .Add("countUp", VELMARIS_FIELD(Timer, countUp), {"counts up (true) or down (false)"})
      .Add("active", VELMARIS_FIELD(Timer, active), {"the timer runs"})
      .FinishType();
}

}  // namespace components
