// Walls that hold: a player circle steered at random through rooms of
// "stopMovement" boxes, with the real Physics, colliders and collision pass, never
// ends a frame inside a box. Rooms have thin boxes, boxes that meet at corners and
// boxes that share an edge; the steering holds a velocity for a while, often
// straight along an axis or straight at a box corner, at up to one radius a frame,
// and pushes on after contacts.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "component_fixture.h"
#include "components/collider.h"
#include "components/physics.h"
#include "objects/space.h"
#include "objects/transform.h"

namespace {

using base::vector2D;
using components::BoxBounds;
using components::BoxCollider;
using components::CircleCollider;

constexpr float kFrame = 1.0f / 60.0f;  // seconds
constexpr double kMostOverlap = 1e-3;   // world units

// How far a circle reaches into a box, in world units; 0 or less when apart.
double Overlap(vector2D centre, float radius, const BoxBounds& box) {
  const double x = centre.x;
  const double y = centre.y;
  const bool inside = x > box.left && x < box.right && y > box.bottom && y < box.top;
  if (inside) {
    const double toEdge = std::min({x - box.left, box.right - x, y - box.bottom, box.top - y});
    return radius + toEdge;
  }
  const double nearX = std::clamp<double>(x, box.left, box.right);
  const double nearY = std::clamp<double>(y, box.bottom, box.top);
  return radius - std::hypot(x - nearX, y - nearY);
}

class WallSteeringTest : public component_testing::ComponentTest {
 protected:
  struct Room {
    std::unique_ptr<objects::Space> space;
    components::Physics* physics = nullptr;
    objects::Transform* transform = nullptr;
    float radius = 0.0f;
    std::vector<BoxBounds> boxes;
  };

  // A walled room 24 x 16 with 3 to 7 boxes inside: free-standing ones of random
  // size (down to 0.1 half extent), pairs meeting at a corner, pairs sharing an
  // edge. The player starts clear of every box.
  Room MakeRoom(std::mt19937& random) {
    Room room;
    room.space = std::make_unique<objects::Space>("Room");
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto addBox = [&](float x, float y, float xSize, float ySize) {
      std::shared_ptr<objects::GameObject> object =
          room.space->CreateObject("w_" + std::to_string(room.boxes.size() + 10));
      object->AddComponent(new objects::Transform(x, y, 0.0f));
      auto* box = static_cast<BoxCollider*>(object->AddComponent(new BoxCollider()));
      box->xSize = xSize;
      box->ySize = ySize;
      box->handler = "stopMovement";
      EXPECT_TRUE(object->Initialize());
      room.boxes.push_back(box->GetBounds());
    };
    addBox(0.0f, -8.5f, 13.0f, 0.5f);
    addBox(0.0f, 8.5f, 13.0f, 0.5f);
    addBox(-12.5f, 0.0f, 0.5f, 9.0f);
    addBox(12.5f, 0.0f, 0.5f, 9.0f);
    const int count = 3 + static_cast<int>(unit(random) * 5.0f);
    for (int i = 0; i < count; ++i) {
      const float x = -9.0f + 18.0f * unit(random);
      const float y = -5.5f + 11.0f * unit(random);
      const float a = 0.1f + 2.4f * unit(random);
      const float b = 0.1f + 2.4f * unit(random);
      addBox(x, y, a, b);
      const float kind = unit(random);
      if (kind < 0.3f) {
        // Meets the first at its upper-right corner.
        const float c = 0.1f + 1.5f * unit(random);
        const float d = 0.1f + 1.5f * unit(random);
        addBox(x + a + c, y + b + d, c, d);
      } else if (kind < 0.5f) {
        // Shares its right edge.
        const float c = 0.1f + 1.5f * unit(random);
        addBox(x + a + c, y, c, b);
      }
    }

    std::shared_ptr<objects::GameObject> player = room.space->CreateObject("Player");
    room.transform = static_cast<objects::Transform*>(player->AddComponent(new objects::Transform()));
    room.physics = static_cast<components::Physics*>(player->AddComponent(new components::Physics()));
    auto* circle = static_cast<CircleCollider*>(player->AddComponent(new CircleCollider()));
    const float radii[] = {0.25f, 0.5f, 0.75f, 1.25f};
    room.radius = circle->radius = radii[static_cast<int>(unit(random) * 4.0f) % 4];
    EXPECT_TRUE(player->Initialize());
    for (int attempt = 0; attempt < 1000; ++attempt) {
      const vector2D at{-11.0f + 22.0f * unit(random), -7.0f + 14.0f * unit(random)};
      const bool clear = std::ranges::all_of(
          room.boxes, [&](const BoxBounds& box) { return Overlap(at, room.radius, box) < -0.01; });
      if (clear) {
        room.transform->translation = {at.x, at.y, 0.0f, 1.0f};
        return room;
      }
    }
    ADD_FAILURE() << "no free place for the player";
    return room;
  }
};

TEST_F(WallSteeringTest, RandomSteeringNeverLeavesThePlayerInsideAStopMovementBox) {
  std::mt19937 random(4242);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::uniform_int_distribution<int> hold(5, 60);
  int stops = 0;
  int axisStops = 0;
  int cornerStops = 0;  // stopped touching a box beyond its corner
  for (int run = 0; run < 300; ++run) {
    Room room = MakeRoom(random);
    if (HasFailure()) return;
    // Half of the runs push the held velocity every frame, as the player
    // controllers do; the others leave what a contact has stopped stopped.
    const bool pushEveryFrame = run % 2 == 0;
    vector2D steer;
    bool alongAxis = false;
    for (int frame = 0, until = 0; frame < 600; ++frame) {
      if (frame >= until) {
        until = frame + hold(random);
        const float speed = 1.0f + (60.0f * room.radius - 1.0f) * unit(random);  // up to a radius a frame
        const float mode = unit(random);
        alongAxis = mode < 0.35f;
        if (alongAxis) {
          // Straight up, down, left or right: one velocity component exactly 0.
          const int way = static_cast<int>(unit(random) * 4.0f) % 4;
          steer =
              way < 2 ? vector2D{0.0f, way == 0 ? speed : -speed} : vector2D{way == 2 ? speed : -speed, 0.0f};
        } else if (mode < 0.7f) {
          // Straight at a corner of a box, a little off either side.
          const BoxBounds& box =
              room.boxes[static_cast<size_t>(unit(random) * room.boxes.size()) % room.boxes.size()];
          const int corner = static_cast<int>(unit(random) * 4.0f) % 4;
          const float kx = (corner & 1) ? box.right : box.left;
          const float ky = (corner & 2) ? box.top : box.bottom;
          const float ex = kx + room.radius * (unit(random) - 0.5f) - room.transform->translation.x;
          const float ey = ky + room.radius * (unit(random) - 0.5f) - room.transform->translation.y;
          const float length = std::hypot(ex, ey);
          steer = length > 0.0f ? vector2D{ex / length * speed, ey / length * speed} : vector2D{speed, 0.0f};
        } else {
          const float angle = 6.2831853f * unit(random);
          steer = {std::cos(angle) * speed, std::sin(angle) * speed};
        }
        room.physics->velocity = steer;
      } else if (pushEveryFrame) {
        room.physics->velocity = steer;
      }
      const vector2D from{room.transform->translation.x, room.transform->translation.y};
      const vector2D velocity = room.physics->velocity;
      room.space->Update(kFrame);
      const vector2D to{room.transform->translation.x, room.transform->translation.y};
      const vector2D free{velocity.x * kFrame + from.x, velocity.y * kFrame + from.y};
      if (to.x != free.x || to.y != free.y) {
        ++stops;
        if (alongAxis) ++axisStops;
        const bool atCorner = std::ranges::any_of(room.boxes, [&](const BoxBounds& b) {
          const bool beyond = (to.x < b.left || to.x > b.right) && (to.y < b.bottom || to.y > b.top);
          return beyond && Overlap(to, room.radius, b) > -kMostOverlap;
        });
        if (atCorner) ++cornerStops;
      }
      for (size_t i = 0; i < room.boxes.size(); ++i) {
        const BoxBounds& b = room.boxes[i];
        ASSERT_LE(Overlap(to, room.radius, b), kMostOverlap) << [&] {
          char where[320];
          std::snprintf(
              where, sizeof where,
              "run %d frame %d: r %.9g from (%.9g, %.9g) with velocity (%.9g, %.9g) to (%.9g, %.9g); "
              "box %zu left %.9g right %.9g top %.9g bottom %.9g",
              run, frame, room.radius, from.x, from.y, velocity.x, velocity.y, to.x, to.y, i, b.left, b.right,
              b.top, b.bottom);
          return std::string(where);
        }();
      }
    }
  }
  // The runs really lean on walls and corners, also moving along an axis.
  EXPECT_GT(stops, 30000);
  EXPECT_GT(axisStops, 10000);
  EXPECT_GT(cornerStops, 7000);
}

}  // namespace
