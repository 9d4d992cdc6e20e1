// Names a component's object for diagnostics ("object Player in space Level1").
#pragma once

#include <string>

namespace objects {

class GameObject;

// "object <name> in space <space>", "object <name>" outside a space, or "a
// component without an object" for null.
std::string DescribeObject(const GameObject* object);

}  // namespace objects
