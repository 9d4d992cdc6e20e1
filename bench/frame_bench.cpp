// A whole headless frame (every space's Update with the collision pass, LateUpdate
// and Draw on the recording device) of a level of N objects, each with a Transform,
// Physics, a sprite sheet, a Sprite and a collider, around one moving player. One
// object in ten drifts; the rest stand, as walls and stars do. Items are objects, so
// the time per item is the cost per object per frame; compare 1,000 with 10,000 to
// see that it stays flat.
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "components/collider.h"
#include "components/physics.h"
#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "objects/space_registry.h"
#include "objects/transform.h"

namespace {

constexpr float kDt = 1.0f / 60.0f;
constexpr const char* kPicture = VELMARIS_TESTDATA_DIR "/pngsuite/basn6a08.png";

// Adds a placed, drawn, physical object and returns its Physics.
components::Physics* AddBody(objects::Space& space, const std::string& name, float x, float y,
                             components::Collider* collider) {
  std::shared_ptr<objects::GameObject> object = space.CreateObject(name);
  auto* transform = new objects::Transform(x, y, 0.0f);
  transform->SetScale(0.5f, 0.5f);
  object->AddComponent(transform);
  auto* physics = new components::Physics();
  object->AddComponent(physics);
  object->AddComponent(new graphics::SpriteSource(kPicture));
  object->AddComponent(new graphics::Sprite());
  object->AddComponent(collider);
  object->Initialize();
  return physics;
}

void BM_HeadlessFrame(benchmark::State& state) {
  auto device = std::make_unique<graphics::recording::RecordingRenderDevice>();
  auto* recording = device.get();
  graphics::Block().device = std::move(device);
  {
    objects::SpaceRegistry registry;
    objects::Space& level = registry.CreateSpace("Level");
    auto* playerCircle = new components::CircleCollider();
    playerCircle->radius = 0.75f;
    AddBody(level, "Player", 0.0f, 0.0f, playerCircle)->velocity = {0.5f, 0.0f};

    const auto count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
      // A grid that keeps clear of the player's path.
      const float x = static_cast<float>(i % 100 - 50) * 3.0f;
      const float y = static_cast<float>(i / 100 + 1) * 3.0f;
      components::Collider* collider = nullptr;
      if (i % 2 == 0) {
        auto* box = new components::BoxCollider();
        box->xSize = 1.0f;
        box->ySize = 0.5f;
        collider = box;
      } else {
        auto* circle = new components::CircleCollider();
        circle->radius = 0.5f;
        collider = circle;
      }
      components::Physics* physics = AddBody(level, "Object" + std::to_string(i), x, y, collider);
      if (i % 10 == 0) physics->velocity = {0.0f, 0.01f};
    }

    for (auto _ : state) {
      registry.UpdateSpaces(kDt);
      registry.LateUpdateSpaces(kDt);
      registry.DrawSpaces();
      recording->ForgetRecords();
    }
    state.SetItemsProcessed(state.iterations() * (count + 1));
  }
  graphics::Block().device.reset();
}
BENCHMARK(BM_HeadlessFrame)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
