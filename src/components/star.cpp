// Star: the registration of "Star".
#include "components/star.h"

#include "objects/type_registry.h"

namespace components {

Star::Star() : BaseComponent("Star") {}

void RegisterStar(objects::TypeRegistry& registry) {
  registry.RegisterType<Star>("Star")
      .Describe("marks a collectable star; its collider's \"starCollect\" handler does the collecting",
                R"({})")
      .AddHeaderMember()
      .Add("playerName", VELMARIS_FIELD(Star, playerName), {"kept in the file; nothing reads it"})
      .FinishType();
}

}  // namespace components
