// Transform: fields, the world matrix and the registration of "Transform".
#include "objects/transform.h"

#include <cstring>

#include "objects/type_registry.h"

namespace objects {

Transform::Transform() : BaseComponent("Transform") {}

Transform::Transform(float x, float y, float z) : Transform() { translation = {x, y, z, 1.0f}; }

const base::Matrix4& Transform::GetMatrix() {
  const float fields[5] = {translation.x, translation.y, rotation, scale.x, scale.y};
  // Compared as bytes: a NaN field equals itself here, so it does not force a rebuild
  // every frame, and -0 versus +0 (which build the same matrix) rebuilds once.
  if (dirty || std::memcmp(fields, builtFrom_, sizeof fields) != 0) {
    matrix = base::MatrixAffineTransformation2D(
        {scale.x, scale.y}, {0.0f, 0.0f}, rotation * base::kDegreesToRadians, {translation.x, translation.y});
    std::memcpy(builtFrom_, fields, sizeof fields);
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
      .Describe("where its object is: position, rotation and scale; most components need one",
                R"({"x_position": 4.0, "y_position": 2.0, "x_scale": 0.6, "y_scale": 0.6})")
      .AddHeaderMember()
      .AddVector(
          {"x_position", "y_position", "z_position", ""}, VELMARIS_FIELD(Transform, translation),
          {"position, +y up, (0, 0) the centre of the view; only x and y move and collide", "world units"})
      .Add("rotation", VELMARIS_FIELD(Transform, rotation),
           {"turn of the drawn quad, counter-clockwise", "degrees"})
      .AddVector(
          {"x_scale", "y_scale", "z_scale", ""}, VELMARIS_FIELD(Transform, scale),
          {"half width and half height of the drawn quad and of a Button; 0 draws nothing", "world units"})
      .Hide(VELMARIS_FIELD(Transform, matrix))
      .Add("", VELMARIS_FIELD(Transform, dirty))
      .FinishType();
}

}  // namespace objects
