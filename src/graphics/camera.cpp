#include "graphics/camera.h"

#include "graphics/graphics.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "objects/type_registry.h"

namespace graphics {

void Camera::LateUpdate(float) {
  // Without a Transform the view stays where it was.
  auto* transform = objects::RequireSibling<objects::Transform>(*this, "Transform");
  if (transform == nullptr) return;
  const base::XMFLOAT4& position = transform->GetTranslation();
  const base::XMFLOAT4 eye{position.x, position.y, -15.0f, 1.0f};
  const base::XMFLOAT4 direction{0.0f, 0.0f, 15.0f, 0.0f};  // towards (x, y, 0)
  SetCameraView(eye, direction, {0.0f, 1.0f, 0.0f, 0.0f});
}

void RegisterCamera(objects::TypeRegistry& registry) {
  registry.RegisterType<Camera>("Camera")
      .Describe("centres the view of its space on its object's position", R"({})")
      .AddHeaderMember()
      .FinishType();
}

}  // namespace graphics
