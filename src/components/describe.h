// Names a component's object for diagnostics ("object Player in space Level1").
// Private to the components module.
#pragma once

#include <string>

namespace objects {
class GameObject;
}

namespace components {

// "object <name> in space <space>", "object <name>" outside a space, or "a
// component without an object" for null.
std::string DescribeObject(const objects::GameObject* object);

}  // namespace components
