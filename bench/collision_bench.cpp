// The collision pass of one moving player against 1,000 colliders (half boxes, half
// circles, spread around it; target <= 0.1 ms per frame), and the swept
// circle-against-box test on its own.
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "components/collider.h"
#include "components/collision_pass.h"
#include "components/physics.h"
#include "objects/space.h"
#include "objects/transform.h"

namespace {

constexpr int kColliders = 1000;

// A space with the player sweeping a short step each frame and kColliders other
// colliders in a grid around it, none of them touched (so no handler runs and the
// pass does its full work every frame).
struct Arena {
  objects::Space space{"BenchArena"};
  components::Physics* physics = nullptr;
  objects::Transform* transform = nullptr;

  Arena() {
    std::shared_ptr<objects::GameObject> player = space.CreateObject("Player");
    transform = new objects::Transform(0.0f, 0.0f, 0.0f);
    player->AddComponent(transform);
    physics = new components::Physics();
    player->AddComponent(physics);
    auto* circle = new components::CircleCollider();
    circle->radius = 0.75f;
    player->AddComponent(circle);
    player->Initialize();

    for (int i = 0; i < kColliders; ++i) {
      const float x = static_cast<float>(i % 40 - 20) * 3.0f;
      const float y = static_cast<float>(i / 40 + 1) * 3.0f;
      std::shared_ptr<objects::GameObject> object = space.CreateObject("obj" + std::to_string(i));
      object->AddComponent(new objects::Transform(x, y, 0.0f));
      if (i % 2 == 0) {
        auto* box = new components::BoxCollider();
        box->xSize = 1.0f;
        box->ySize = 0.5f;
        box->handler = "stopMovement";
        object->AddComponent(box);
      } else {
        auto* other = new components::CircleCollider();
        other->radius = 0.5f;
        other->handler = "starCollect";
        object->AddComponent(other);
      }
      object->Initialize();
    }
  }

  // A frame's motion: from (0, 0) a small step to the right.
  void Move() {
    physics->previousPosition = {0.0f, 0.0f};
    transform->translation.x = 0.2f;
    transform->translation.y = 0.0f;
  }
};

void BM_CollisionPassOnePlayerThousandColliders(benchmark::State& state) {
  Arena arena;
  for (auto _ : state) {
    arena.Move();
    components::CheckCollisions(arena.space);
    benchmark::DoNotOptimize(arena.transform->translation.x);
  }
  state.SetItemsProcessed(state.iterations() * kColliders);
}
BENCHMARK(BM_CollisionPassOnePlayerThousandColliders)->Unit(benchmark::kMicrosecond);

void BM_SweepCircleAgainstBoxCorner(benchmark::State& state) {
  const components::BoxBounds box{5.5f, 7.5f, 2.5f, 0.5f};
  for (auto _ : state) {
    auto result = components::SweepCircleAgainstBox({0.0f, 0.0f}, {10.0f, 0.0f}, 1.0f, box);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_SweepCircleAgainstBoxCorner);

}  // namespace
