// Sprite: draws its game object as a textured, tinted quad placed by the object's
// Transform, showing one cell of the object's SpriteSource sheet. The quad goes to the
// graphics block's sprite batch, which draws runs of sprites as one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/math.h"
#include "graphics/mesh.h"
#include "objects/base_component.h"

namespace objects {
class Transform;
class TypeRegistry;
}  // namespace objects

namespace graphics {

class SpriteSource;

// Texture coordinates of one cell of a sheet: u and v of its top-left corner and its
// width and height, all in 0..1. Frames count row by row from the top left.
struct SheetCell {
  float u, v, du, dv;
};
SheetCell CellOfFrame(std::uint32_t frame, std::int32_t rows, std::int32_t columns);

class Sprite : public objects::BaseComponent {
 public:
  Sprite();
  // A sprite made by code, with a label of its own.
  explicit Sprite(std::string label);

  // Finds the object's SpriteSource and Transform (null when it has none; a missing
  // one is reported when drawing); always true. Called again after each prefab layer
  // and reload, so a sibling replaced since is found again.
  bool Initialize() override;
  // Draws the current frame with the fixed view when static, else the camera view: its
  // mesh's four corners, placed by the world matrix, go to the sprite batch.
  void Draw() override;

  std::string name;
  std::unique_ptr<Mesh> mesh;               // the unit quad
  SpriteSource* source = nullptr;           // a sibling component; not owned
  objects::Transform* transform = nullptr;  // a sibling component; not owned
  base::XMFLOAT4 colour{1.0f, 1.0f, 1.0f, 1.0f};
  std::int32_t frameIndex = 0;
  bool isStatic = false;  // screen-fixed (menus, HUD)
};

void RegisterSprite(objects::TypeRegistry& registry);

}  // namespace graphics
