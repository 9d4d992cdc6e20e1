// Star: the registration of "Star".
#include "components/star.h"

#include "objects/type_registry.h"

namespace components {

Star::Star() : BaseComponent("Star") {}

void RegisterStar(objects::TypeRegistry& registry) {
  registry.RegisterType<Star>("Star")
      .AddHeaderMember()
      .Add("playerName", VELMARIS_FIELD(Star, playerName))
      .FinishType();
}

}  // namespace components
