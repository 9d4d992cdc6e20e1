// Transform: where a game object is in the world (position, rotation in degrees,
// scale) and the world matrix the sprite drawing uses.
#pragma once

#include "base/math.h"
#include "objects/base_component.h"

namespace objects {

class TypeRegistry;

class Transform : public BaseComponent {
 public:
  // Position (0, 0, 0, 1), rotation 0, scale (0, 0, 0, 0): an object whose file
  // gives no scale is drawn with no extent.
  Transform();
  // Position (x, y, z, 1), other fields as the default.
  Transform(float x, float y, float z);

  // The world matrix (scale, then rotation about the object's origin, then
  // translation; row-vector convention). Recomputed only when the dirty flag is set or
  // a field it is built from differs from the last build, so writers that skip
  // SetDirty (physics, scripts' AddX) still get a current matrix, and a still object
  // costs a comparison instead of a sine and a cosine each frame.
  const base::Matrix4& GetMatrix();
  // Makes the next GetMatrix recompute; writers of the fields call it.
  void SetDirty() { dirty = true; }

  // Operations the scripts use. Only SetTranslation sets the dirty flag.
  void SetTranslation(const base::XMFLOAT4& position);
  const base::XMFLOAT4& GetTranslation() const { return translation; }
  void AddX(float value) { translation.x += value; }
  void AddY(float value) { translation.y += value; }
  void AddZ(float value) { translation.z += value; }
  void SetRotation(float degrees) { rotation = degrees; }
  float GetRotation() const { return rotation; }
  // Sets x and y of the scale; z and w keep their values.
  void SetScale(float x, float y);
  const base::XMFLOAT4& GetScale() const { return scale; }

  // World units; only x and y enter motion, collision and the matrix.
  base::XMFLOAT4 translation{0.0f, 0.0f, 0.0f, 1.0f};
  // Degrees, counter-clockwise with y up.
  float rotation = 0.0f;
  // Factors; only x and y enter the matrix.
  base::XMFLOAT4 scale{0.0f, 0.0f, 0.0f, 0.0f};
  base::Matrix4 matrix;
  bool dirty = true;

 private:
  // The fields `matrix` was last built from: x, y, rotation, x scale, y scale.
  float builtFrom_[5] = {};
};

// Registers "Transform" with its serialized members.
void RegisterTransform(TypeRegistry& registry);

}  // namespace objects
