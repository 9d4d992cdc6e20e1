// UI: ties its object to the state manager and to a counter. It asks for the state
// in gmHolder every frame and shows one of six counter pictures by its Pool.
#pragma once

#include <array>
#include <cstdint>

#include "objects/base_component.h"

namespace objects {
class TypeRegistry;
}

namespace components {

// The counter pictures for the amounts 1 to 6.
inline constexpr std::array<const char*, 6> kCounterPictures{"images/Counter_1.bmp", "images/Counter_2.bmp",
                                                             "images/Counter_3.bmp", "images/Counter_4.bmp",
                                                             "images/Counter_5.bmp", "images/Counter_6.bmp"};

class UI : public objects::BaseComponent {
 public:
  UI();

  // With an amount of 1 to 6 in the owner's Pool, shows that counter picture in the
  // owner's SpriteSource (loading it once, not every frame); other amounts leave the
  // picture alone. A gmHolder of 0 to 12 becomes the next state. dt is not used.
  void Update(float dt) override;

  // The state this object asks for; outside 0..12 none. -1 until a file gives it, so
  // a UI without the member does not send the game to state 0.
  std::int32_t gmHolder = -1;
};

// Registers "UI" with its serialized member.
void RegisterUI(objects::TypeRegistry& registry);

}  // namespace components
