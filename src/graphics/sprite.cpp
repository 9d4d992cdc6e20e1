#include "graphics/sprite.h"

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
  return true;
}

void Sprite::Draw() {
  // A sprite needs its sheet and its place; without them it is reported once and
  // skipped.
  if (source == nullptr) source = objects::RequireSibling<SpriteSource>(*this, "SpriteSource");
  auto* transform = objects::RequireSibling<objects::Transform>(*this, "Transform");
  if (source == nullptr || transform == nullptr) return;
  if (source->rows <= 0 || source->columns <= 0) {
    base::LogErrorOnce("sprite", objects::DescribeObject(GetOwner()) + ": SpriteSource " + source->image +
                                     " needs at least one row and one column; it is not drawn");
    return;
  }

  const SheetCell cell = CellOfFrame(static_cast<std::uint32_t>(frameIndex), source->rows, source->columns);
  Block().vertices = mesh->vertices;
  if (Block().vertices.size() >= 4) {
    Block().vertices[0].u = cell.u;
    Block().vertices[0].v = cell.v + cell.dv;
    Block().vertices[1].u = cell.u + cell.du;
    Block().vertices[1].v = cell.v + cell.dv;
    Block().vertices[2].u = cell.u + cell.du;
    Block().vertices[2].v = cell.v;
    Block().vertices[3].u = cell.u;
    Block().vertices[3].v = cell.v;
  }
  Block().indices = mesh->indices;

  UploadView(isStatic ? Block().fixedView : Block().cameraView);
  UploadObject({base::MatrixTranspose(transform->GetMatrix()), colour});
  Block().textureView = source->GetTexture();
  DrawMesh();
}

void RegisterSprite(objects::TypeRegistry& registry) {
  using objects::MemberType;
  registry.RegisterType<Sprite>("Sprite")
      .AddHeaderMember()
      .AddMember(MemberType::String, "name", VELMARIS_FIELD(Sprite, name))
      .AddMember(MemberType::None, "", VELMARIS_FIELD(Sprite, mesh))
      .AddMember(MemberType::None, "", VELMARIS_FIELD(Sprite, source))
      .AddVectorMember({"r_color", "g_color", "b_color", ""}, VELMARIS_OFFSETOF(Sprite, colour))
      .AddMember(MemberType::Int, "frame_index", VELMARIS_FIELD(Sprite, frameIndex))
      .AddMember(MemberType::Bool, "static", VELMARIS_FIELD(Sprite, isStatic))
      .FinishType();
}

}  // namespace graphics
