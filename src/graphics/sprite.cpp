#include "graphics/sprite.h"

#include "components/transform.h"
#include "core/log.h"
#include "graphics/graphics.h"
#include "graphics/sprite_source.h"
#include "objects/describe.h"
#include "objects/game_object.h"
#include "serialization/type_registry.h"

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
  source = objects::GetSibling<SpriteSource>(*this, "SpriteSource");
  return true;
}

void Sprite::Draw() {
  auto* transform = objects::GetSibling<components::Transform>(*this, "Transform");
  // A sprite needs its sheet and its place; without them it is skipped, said once.
  if (source == nullptr || transform == nullptr) {
    core::LogErrorOnce("sprite", objects::DescribeObject(owner) + " has a Sprite without " +
                                     (source == nullptr ? "a SpriteSource" : "a Transform") +
                                     "; it is not drawn");
    return;
  }
  if (source->rows <= 0 || source->columns <= 0) {
    core::LogErrorOnce("sprite", objects::DescribeObject(owner) + ": SpriteSource " + source->image +
                                     " needs at least one row and one column; it is not drawn");
    return;
  }

  const SheetCell cell = CellOfFrame(static_cast<std::uint32_t>(frameIndex), source->rows, source->columns);
  g_Vertices = mesh->vertices;
  if (g_Vertices.size() >= 4) {
    g_Vertices[0].u = cell.u;           g_Vertices[0].v = cell.v + cell.dv;
    g_Vertices[1].u = cell.u + cell.du; g_Vertices[1].v = cell.v + cell.dv;
    g_Vertices[2].u = cell.u + cell.du; g_Vertices[2].v = cell.v;
    g_Vertices[3].u = cell.u;           g_Vertices[3].v = cell.v;
  }
  g_Indices = mesh->indices;

  UploadView(isStatic ? g_FixedView : g_CameraView);
  transform->SetDirty();
  UploadObject({MatrixTranspose(transform->GetMatrix()), colour});
  g_TextureView = source->GetTexture();
  DrawMesh();
}

void RegisterSprite(serialization::TypeRegistry& registry) {
  using serialization::MemberType;
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
