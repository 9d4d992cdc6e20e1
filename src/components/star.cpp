// Star: the registration of "Star".
#include "components/star.h"

#include "objects/type_registry.h"

namespace components {

Star::Star() : BaseComponent("Star") {}

void RegisterStar(objects::TypeRegistry& registry) {
  using objects::MemberType;
  registry.RegisterType<Star>("Star")
      .AddHeaderMember()
      .AddMember(MemberType::String, "playerName", VELMARIS_FIELD(Star, playerName))
      .FinishType();
}

}  // namespace components
