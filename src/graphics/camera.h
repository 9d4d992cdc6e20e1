// Camera: centres the view on its game object, after every object has moved.
#pragma once

#include "objects/base_component.h"

namespace objects {
class TypeRegistry;
}

namespace graphics {

class Camera : public objects::BaseComponent {
 public:
  Camera() : BaseComponent("Camera") {}
  // Sets the camera view to look at the object's position from z = -15; rotation and
  // scale are ignored. dt is not used.
  void LateUpdate(float dt) override;
};

void RegisterCamera(objects::TypeRegistry& registry);

}  // namespace graphics
