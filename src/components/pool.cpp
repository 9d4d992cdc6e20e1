// Pool: the bounded counter and the registration of "Pool".
#include "components/pool.h"

#include "objects/type_registry.h"

namespace components {

Pool::Pool() : Pool("Pool", 0, 0xFFFFFFFFu, 0) {}

Pool::Pool(std::uint32_t amount, std::uint32_t capacity, std::uint32_t minimum)
    : Pool("Pool", amount, capacity, minimum) {}

Pool::Pool(std::string typeName, std::uint32_t amount, std::uint32_t capacity, std::uint32_t minimum)
    : BaseComponent(std::move(typeName)), amount(amount), capacity(capacity), minimum(minimum) {}

void Pool::Increase(std::uint64_t steps) {
  // Compared before adding, so a counter at 4294967295 stays there instead of
  // wrapping to 0; an amount already above the capacity comes down to it.
  if (amount >= capacity || steps >= static_cast<std::uint64_t>(capacity - amount)) {
    amount = capacity;
  } else {
    amount += static_cast<std::uint32_t>(steps);
  }
}

void Pool::Decrease(std::uint64_t steps) {
  // Compared before subtracting, so 0 never wraps to 4294967295.
  if (amount <= minimum || steps >= static_cast<std::uint64_t>(amount - minimum)) {
    amount = minimum;
  } else {
    amount -= static_cast<std::uint32_t>(steps);
  }
}

void RegisterPool(objects::TypeRegistry& registry) {
  registry.RegisterType<Pool>("Pool")
      .Describe("a bounded counter; the level's stars are counted in the Pool of \"c_UI\"",
                R"({"amount": 0, "max": 30})")
      .AddHeaderMember()
      .Add("amount", VELMARIS_FIELD(Pool, amount), {"the count"})
      .Add("max", VELMARIS_FIELD(Pool, capacity), {"the largest count; -1 means no limit"})
      .Add("min", VELMARIS_FIELD(Pool, minimum), {"the smallest count"})
      .FinishType();
}

}  // namespace components
