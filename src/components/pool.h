// Pool: a bounded unsigned counter. The level keeps its collected stars in one (on
// the object "c_UI"); Timer builds on it to count whole seconds.
#pragma once

#include <cstdint>
#include <string>

#include "objects/base_component.h"

namespace objects {
class TypeRegistry;
}

namespace components {

class Pool : public objects::BaseComponent {
 public:
  // amount 0, capacity 4294967295 (no practical limit), minimum 0.
  Pool();
  // The constructor scripts use.
  Pool(std::uint32_t amount, std::uint32_t capacity, std::uint32_t minimum);

  std::uint32_t GetAmount() const { return amount; }

  // amount + steps, held at the capacity (never wraps past 4294967295).
  void Increase(std::uint64_t steps = 1);
  // amount - steps, held at the minimum (never wraps below 0).
  void Decrease(std::uint64_t steps = 1);

  std::uint32_t amount = 0;
  // Serialized as "max"; a file writes the default as -1.
  std::uint32_t capacity = 0xFFFFFFFFu;
  // Serialized as "min".
  std::uint32_t minimum = 0;

 protected:
  // For derived counters, which register under their own type name.
  Pool(std::string typeName, std::uint32_t amount, std::uint32_t capacity, std::uint32_t minimum);
};

// Registers "Pool" with its members amount, max and min.
void RegisterPool(objects::TypeRegistry& registry);

}  // namespace components
