#include "graphics/sprite.h"

#include <cassert>

#include "base/log.h"
#include "graphics/graphics.h"
#include "graphics/sprite_source.h"
#include "objects/describe.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "objects/type_registry.h"

namespace graphics {

SheetCell CellOfFrame(std::uint32_t frame, std::int32_t rows, std::int32_t columns) {
  const auto columnCount = static_cast<std::uint32_t>(columns);
  const std::uint32_t row = frame / columnCount;
  const std::uint32_t column = frame % columnCount;
  const float du = 1.0f / static_cast<float>(columns);
  const float dv = 1.0f / static_cast<float>(rows);
  return {static_cast<float>(column) * du, static_cast<float>(row) * dv, du, dv};
}

Sprite::Sprite() : Sprite(std::string()) {}

Sprite::Sprite(std::string label)
    : BaseComponent("Sprite"), name(std::move(label)), mesh(std::make_unique<Mesh>(UnitQuad())) {}

bool Sprite::Initialize() {
  // The sheet may still come with a later layer of the object's file (a prefab's
  // sprite, the level's sheet), so a missing one is only reported when drawing.
  const objects::GameObject* owner = GetOwner();
  source = owner != nullptr ? owner->GetComponent<SpriteSource>("SpriteSource") : nullptr;
  transform = owner != nullptr ? owner->GetComponent<objects::Transform>("Transform") : nullptr;
  return true;
}

namespace {

// A point of the mesh placed by an affine world matrix (row-vector convention).
SpriteVertex Place(const Vertex& corner, const base::Matrix4& world) {
  const auto& m = world.m;
  SpriteVertex placed{};
  placed.x = corner.x * m[0][0] + corner.y * m[1][0] + corner.z * m[2][0] + m[3][0];
  placed.y = corner.x * m[0][1] + corner.y * m[1][1] + corner.z * m[2][1] + m[3][1];
  placed.z = corner.x * m[0][2] + corner.y * m[1][2] + corner.z * m[2][2] + m[3][2];
  return placed;
}

}  // namespace

void Sprite::Draw() {
  // A sprite needs its sheet and its place; without them it is reported once and
  // skipped. A sprite built by code may draw without having been initialised.
  if (source == nullptr) source = objects::RequireSibling<SpriteSource>(*this, "SpriteSource");
  if (transform == nullptr) transform = objects::RequireSibling<objects::Transform>(*this, "Transform");
  if (source == nullptr || transform == nullptr) return;
  if (source->rows <= 0 || source->columns <= 0) {
    base::LogErrorOnce("sprite", objects::DescribeObject(GetOwner()) + ": SpriteSource " + source->image +
                                     " needs at least one row and one column; it is not drawn");
    return;
  }

  const SheetCell cell = CellOfFrame(static_cast<std::uint32_t>(frameIndex), source->rows, source->columns);
  // The cell's corners in the quad's order: bottom-left, bottom-right, top-right, top-left.
  const float u[kCornersPerSprite] = {cell.u, cell.u + cell.du, cell.u + cell.du, cell.u};
  const float v[kCornersPerSprite] = {cell.v + cell.dv, cell.v + cell.dv, cell.v, cell.v};
  const base::Matrix4& world = transform->GetMatrix();
  assert(mesh->vertices.size() == kCornersPerSprite && "a sprite's mesh is the unit quad");
  SpriteCorners corners;
  for (std::size_t i = 0; i < kCornersPerSprite; ++i) {
    corners[i] = Place(mesh->vertices[i], world);
    corners[i].u = u[i];
    corners[i].v = v[i];
    corners[i].colour = colour;
  }
  DrawSprite(corners, isStatic ? Block().fixedView : Block().cameraView, source->texture);
}

void RegisterSprite(objects::TypeRegistry& registry) {
  registry.RegisterType<Sprite>("Sprite")
      .Describe(
          "draws its object as a tinted quad showing one frame of its SpriteSource, placed by its Transform",
          R"({"frame_index": 2, "r_color": 1.0, "g_color": 0.8, "b_color": 0.8})")
      .AddHeaderMember()
      .Add("name", VELMARIS_FIELD(Sprite, name), {"a label; nothing reads it"})
      .Hide(VELMARIS_FIELD(Sprite, mesh))
      .Hide(VELMARIS_FIELD(Sprite, source))
      .Hide(VELMARIS_FIELD(Sprite, transform))
      .AddVector({"r_color", "g_color", "b_color", ""}, VELMARIS_FIELD(Sprite, colour),
                 {"tint multiplied into the picture, 0 to 1"})
      .Add("frame_index", VELMARIS_FIELD(Sprite, frameIndex),
           {"the sheet's frame shown, counted row by row from the top left, from 0"})
      .Add("static", VELMARIS_FIELD(Sprite, isStatic),
           {"fixed on the screen (menus, HUD) instead of in the world"})
      .FinishType();
}

}  // namespace graphics
