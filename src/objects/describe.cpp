#include "objects/describe.h"

#include "objects/game_object.h"
#include "objects/space.h"

namespace objects {

std::string DescribeObject(const objects::GameObject* object) {
  if (object == nullptr) return "a component without an object";
  std::string text = "object " + object->GetName();
  if (object->GetSpace() != nullptr) text += " in space " + object->GetSpace()->GetName();
  return text;
}

}  // namespace objects
