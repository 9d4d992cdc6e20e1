// Star: the registration of "Star".
#include "components/star.h"

#include "serialization/type_registry.h"

namespace components {

Star::Star() : BaseComponent("Star") {}

void RegisterStar(serialization::TypeRegistry& registry) {
  using serialization::MemberType;
  registry.RegisterType<Star>("Star")
      .AddHeaderMember()
      .AddMember(MemberType::String, "playerName", VELMARIS_FIELD(Star, playerName))
      .FinishType();
}

}  // namespace components
