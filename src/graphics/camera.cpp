#include "graphics/camera.h"

#include "components/transform.h"
#include "core/log.h"
#include "graphics/graphics.h"
#include "objects/describe.h"
#include "objects/game_object.h"
#include "serialization/type_registry.h"

namespace graphics {

void Camera::LateUpdate(float) {
  auto* transform = objects::GetSibling<components::Transform>(*this, "Transform");
  if (transform == nullptr) {
    core::LogErrorOnce("camera", objects::DescribeObject(owner) +
                                     " has a Camera without a Transform; the view stays where it was");
    return;
  }
  const XMFLOAT4& position = transform->GetTranslation();
  const XMFLOAT4 eye{position.x, position.y, -15.0f, 1.0f};
  const XMFLOAT4 direction{0.0f, 0.0f, 15.0f, 0.0f};  // towards (x, y, 0)
  SetCameraView(eye, direction, {0.0f, 1.0f, 0.0f, 0.0f});
}

void RegisterCamera(serialization::TypeRegistry& registry) {
  registry.RegisterType<Camera>("Camera").AddHeaderMember().FinishType();
}

}  // namespace graphics
