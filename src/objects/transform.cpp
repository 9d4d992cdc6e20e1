// Transform: fields, the world matrix and the registration of "Transform".
#include "objects/transform.h"

#include "objects/type_registry.h"

namespace objects {

Transform::Transform() : BaseComponent("Transform") {}

Transform::Transform(float x, float y, float z) : Transform() { translation = {x, y, z, 1.0f}; }

const base::Matrix4& Transform::GetMatrix() {
  if (dirty) {
    matrix = base::MatrixAffineTransformation2D(
        {scale.x, scale.y}, {0.0f, 0.0f}, rotation * base::kDegreesToRadians, {translation.x, translation.y});
    dirty = false;
  }
  return matrix;
}

void Transform::SetTranslation(const base::XMFLOAT4& position) {
  translation = position;
  dirty = true;
}

void Transform::SetScale(float x, float y) {
  scale.x = x;
  scale.y = y;
}

void RegisterTransform(TypeRegistry& registry) {
  registry.RegisterType<Transform>("Transform")
      .AddHeaderMember()
      .AddVectorMember({"x_position", "y_position", "z_position", ""},
                       VELMARIS_OFFSETOF(Transform, translation))
      .AddMember(MemberType::Float, "rotation", VELMARIS_FIELD(Transform, rotation))
      .AddVectorMember({"x_scale", "y_scale", "z_scale", ""}, VELMARIS_OFFSETOF(Transform, scale))
      .AddMember(MemberType::None, "", VELMARIS_FIELD(Transform, matrix))
      .AddMember(MemberType::Bool, "", VELMARIS_FIELD(Transform, dirty))
      .FinishType();
}

}  // namespace objects
