// Colliders: circle against circle, the swept circle against box (entry times, edge
// order, corners, velocity changes, degenerate corners), edges, and initialisation
// with the shared handler table.
#include "components/collider.h"

#include <array>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "component_fixture.h"
#include "components/physics.h"
#include "objects/probe_component.h"

namespace {

using base::vector2D;
using components::BoxCollider;
using components::CircleCollider;
using components::SweepCircleAgainstBox;
using components::SweepContact;

using ColliderTest = component_testing::ComponentTest;

TEST_F(ColliderTest, CirclesCollideOnlyWhenCloserThanTheSumOfTheRadii) {
  auto* a = MakeShape<CircleCollider>("A", 0.0f, 0.0f, 1.0f);
  EXPECT_FALSE(a->CollidesWithCircle(MakeShape<CircleCollider>("B", 2.0f, 0.0f, 1.0f)));
  EXPECT_TRUE(a->CollidesWithCircle(MakeShape<CircleCollider>("C", 0.0f, -1.999f, 1.0f)));
  EXPECT_FALSE(a->collisionInfo.hit);  // nothing is recorded
  auto* box = MakeShape<BoxCollider>("Box", 0.0f, 0.0f, 5.0f, 5.0f);
  EXPECT_FALSE(a->CollidesWithCircle(nullptr));
  EXPECT_FALSE(a->CollidesWithCircle(box));  // a box is no circle
  EXPECT_FALSE(box->CollidesWithCircle(a));
  EXPECT_FALSE(a->CollidesWithBox(box));  // no Physics: no previous position
}

TEST_F(ColliderTest, BoxHitRecordsTheTouchingCentreAndStopsTheVelocityOfTheEdge) {
  struct Case {
    const char* what;
    vector2D from, to, velocity, boxAt;
    bool hit;
    vector2D point, velocityAfter;
  };
  const Case cases[] = {
      // Left edge with no other entry time computed: both axes stop.
      {"left edge", {-5, 0}, {1, 0}, {3, 4}, {2, 0}, true, {0, 0}, {0, 0}},
      {"upper edge", {0, 5}, {0, -0.5f}, {3, -4}, {0, -2}, true, {0, 0}, {3, 0}},
      // Along y = 0 past the lower-left corner (5.5, 0.5): the left entry lies below
      // the box and the lower entry time is -infinity (no vertical motion).
      {"corner", {0, 0}, {10, 0}, {3, 4}, {6.5f, 1.5f}, true, {5.5f - std::sqrt(0.75f), 0}, {0, 0}},
      {"did not move, deep inside", {2, 0}, {2, 0}, {3, 4}, {2, 0}, false, {}, {3, 4}},
  };
  int count = 0;
  for (const Case& c : cases) {
    const std::string name = "Mover" + std::to_string(count++);
    objects::GameObject& object = MakeObject(name, c.to.x, c.to.y);
    auto* physics = Add(object, new components::Physics());
    auto* circle = Add(object, new CircleCollider());
    circle->radius = 1.0f;
    ASSERT_TRUE(object.Initialize());
    physics->previousPosition = c.from;
    physics->velocity = c.velocity;
    auto* box = MakeShape<BoxCollider>(name + "Wall", c.boxAt.x, c.boxAt.y, 1.0f, 1.0f);
    ASSERT_EQ(circle->CollidesWithBox(box), c.hit) << c.what;
    EXPECT_EQ(physics->velocity.x, c.velocityAfter.x) << c.what;
    EXPECT_EQ(physics->velocity.y, c.velocityAfter.y) << c.what;
    if (!c.hit) continue;
    EXPECT_TRUE(circle->collisionInfo.hit);
    EXPECT_EQ(circle->collisionInfo.other, box);
    EXPECT_NEAR(circle->collisionInfo.point.x, c.point.x, 1e-5) << c.what;
    EXPECT_NEAR(circle->collisionInfo.point.y, c.point.y, 1e-6) << c.what;
  }
  const components::BoxBounds wall{1.0f, 3.0f, 1.0f, -1.0f};
  const auto left = SweepCircleAgainstBox({-5.0f, 0.0f}, {1.0f, 0.0f}, 1.0f, wall);
  EXPECT_FLOAT_EQ(left.tLeft, 5.0f / 6.0f);
  EXPECT_TRUE(std::isinf(left.tRight) && std::isinf(left.tTop) && std::isinf(left.tBottom));
  const components::BoxBounds floor{-1.0f, 1.0f, -1.0f, -3.0f};
  EXPECT_FLOAT_EQ(SweepCircleAgainstBox({0.0f, 5.0f}, {0.0f, -0.5f}, 1.0f, floor).tTop, 5.0f / 5.5f);
}

TEST_F(ColliderTest, SweepContactsAtEdgesCornersAndDegenerateStarts) {
  const components::BoxBounds square{-1.0f, 1.0f, 1.0f, -1.0f};  // left, right, top, bottom
  const components::BoxBounds wall{1.0f, 3.0f, 1.0f, -1.0f};
  const components::BoxBounds block{1.0f, 3.0f, 3.0f, 1.0f};
  const components::BoxBounds ledge{-9.0f, -3.0f, 4.5f, 3.5f};
  // Taken from a run: stopped at the ledge's upper-right corner (-3, 4.5), the stop
  // point rounds a hair inside the radius. Pushing on towards the corner is a
  // contact right there, as from an exact touch; it used to count as moving out of
  // an overlap that already existed, and the player ended the frame inside the ledge.
  const vector2D stop{-2.42629218f, 4.98307276f};
  const vector2D next{-2.43461561f, 4.98266792f};
  ASSERT_LT(std::hypot(next.x + 3.0, next.y - 4.5), 0.75);
  ASSERT_LT(std::hypot(stop.x + 3.0, stop.y - 4.5), 0.75);
  // Stopped on top of the square, a hair below y = 2 (its top plus r).
  const float onTop = 1.99999988f;
  const float sqrt3Half = std::sqrt(0.75f);
  const components::BoxBounds low{1.0f, 3.0f, 0.4f, 0.0f};  // lower than the radius
  const components::BoxBounds slab{-1.0f, 1.0f, 0.5f, -0.5f};
  struct Case {
    const char* what;
    vector2D from, to;
    float r;
    components::BoxBounds box;
    SweepContact contact;
    vector2D point;  // checked when there is a contact, unless NaN
  };
  const float kAny = std::nanf("");
  const float diagonal = 1.0f - 1.0f / std::sqrt(2.0f);
  const Case cases[] = {
      {"lower edge", {0, -5}, {0, 0.5f}, 1, square, SweepContact::LowerEdge, {0, -2}},
      {"right edge", {5, 0.5f}, {0, 0.5f}, 1, square, SweepContact::RightEdge, {2, 0.5f}},
      {"ends exactly touching", {-5, 0}, {0, 0}, 1, wall, SweepContact::None, {}},
      {"pushes on from touching", {0, 0}, {0.5f, 0}, 1, wall, SweepContact::LeftEdge, {0, 0}},
      {"passes below a corner", {0, -0.6f}, {10, -0.6f}, 1, {5.5f, 7.5f, 2.5f, 0.5f}, SweepContact::None, {}},
      {"starts on the corner", {1, 1}, {1.5f, 1.2f}, 1, wall, SweepContact::None, {}},  // 0/0 angle
      {"straight at a corner", {-2, -2}, {1, 1}, 1, block, SweepContact::Corner, {diagonal, diagonal}},
      {"straight away from it", {0.6f, 0.6f}, {0.3f, 0.3f}, 1, block, SweepContact::None, {}},
      {"rounded inside a corner", stop, next, 0.75f, ledge, SweepContact::Corner, stop},
      {"just outside that corner",
       {stop.x + 0.001f, stop.y + 0.001f},
       next,
       0.75f,
       ledge,
       SweepContact::Corner,
       {kAny, kAny}},
      {"deeper inside that corner",
       {stop.x - 0.01f, stop.y - 0.01f},
       next,
       0.75f,
       ledge,
       SweepContact::None,
       {}},
      {"rounded into the top, pushes on",
       {0, onTop},
       {0.1f, 1.8f},
       1,
       square,
       SweepContact::UpperEdge,
       {0, onTop}},
      {"rounded into the top, slides on", {0, onTop}, {0.5f, onTop}, 1, square, SweepContact::None, {}},
      {"rounded into a corner, slides over it",
       {0.99999f, onTop},
       {1.5f, onTop},
       1,
       square,
       SweepContact::None,
       {}},
      // Along an axis the entry times of the sides parallel to the motion are
      // infinite; the corner on the circle's side is the one it meets.
      {"straight up beside the right side",
       {1.5f, -3},
       {1.5f, -1},
       1,
       square,
       SweepContact::Corner,
       {1.5f, -1 - sqrt3Half}},
      {"straight down beside the right side",
       {1.5f, 3},
       {1.5f, 1},
       1,
       square,
       SweepContact::Corner,
       {1.5f, 1 + sqrt3Half}},
      {"straight down beside the left side",
       {-1.5f, 3},
       {-1.5f, 1},
       1,
       square,
       SweepContact::Corner,
       {-1.5f, 1 + sqrt3Half}},
      // Below a box lower than the circle, which has both its upper and lower side
      // entered: the lower corner comes first (the upper one at t 0.901).
      {"along a low box", {-1, -0.4f}, {1, -0.6f}, 1, low, SweepContact::Corner, {0.1423507f, -0.5142351f}},
      // A motion longer than the radius, up past the upper-left corner.
      {"up past an upper corner",
       {-1.6f, 0.3f},
       {-1.0f, 0.85f},
       0.33f,
       slab,
       SweepContact::Corner,
       {-1.3260107f, 0.5511569f}},
  };
  for (const Case& c : cases) {
    const auto sweep = SweepCircleAgainstBox(c.from, c.to, c.r, c.box);
    EXPECT_EQ(sweep.contact, c.contact) << c.what;
    EXPECT_FALSE(std::isnan(sweep.point.x) || std::isnan(sweep.point.y)) << c.what;
    if (c.contact != SweepContact::None && !std::isnan(c.point.x)) {
      EXPECT_NEAR(sweep.point.x, c.point.x, 1e-5) << c.what;
      EXPECT_NEAR(sweep.point.y, c.point.y, 1e-5) << c.what;
    }
  }
  EXPECT_TRUE(
      std::isinf(SweepCircleAgainstBox({-5, 0}, {0, 0}, 1, wall).tLeft));  // no entry time when touching
}

TEST_F(ColliderTest, SweepsOnAGridNeverReportANonFiniteContact) {
  // A quarter grid puts starts and ends exactly on edges, corners and each other.
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> coordinate(-16, 16);
  int contacts = 0;
  for (int i = 0; i < 200000; ++i) {
    const vector2D from{coordinate(random) * 0.25f, coordinate(random) * 0.25f};
    const vector2D to{coordinate(random) * 0.25f, coordinate(random) * 0.25f};
    const float radius = static_cast<float>(coordinate(random) + 17) * 0.125f;
    const auto sweep = SweepCircleAgainstBox(from, to, radius, {-1.0f, 1.0f, 0.5f, -0.5f});
    if (sweep.contact == SweepContact::None) continue;
    ++contacts;
    ASSERT_TRUE(std::isfinite(sweep.point.x) && std::isfinite(sweep.point.y))
        << "from (" << from.x << ", " << from.y << ") to (" << to.x << ", " << to.y << ") r " << radius;
  }
  EXPECT_GT(contacts, 1000);
}

TEST_F(ColliderTest, EdgesRunAroundTheBoxAndOtherIndicesLeaveTheOutputAlone) {
  auto* box = MakeShape<BoxCollider>("Box", 2.0f, -1.0f, 3.0f, 0.5f);  // L -1, R 5, T -0.5, B -1.5
  const std::array<float, 4> expected[] = {
      {-1, -0.5f, -1, -1.5f}, {-1, -0.5f, 5, -0.5f}, {5, -0.5f, 5, -1.5f}, {-1, -1.5f, 5, -1.5f}};
  for (int i = 0; i < 4; ++i) {
    components::EdgeSegment edge;
    box->GetEdge(i, edge);
    EXPECT_EQ((std::array{edge.x1, edge.y1, edge.x2, edge.y2}), expected[i]) << "edge " << i;
  }
  components::EdgeSegment untouched{9.0f, 9.0f, 9.0f, 9.0f};
  box->GetEdge(4, untouched);
  box->GetEdge(-1, untouched);
  EXPECT_EQ(untouched.x1, 9.0f);
}

TEST_F(ColliderTest, InitializeResolvesTheHandlerByNameInTheSharedTable) {
  components::GetCollisionHandlers().clear();
  components::RegisterCollisionHandlers();
  auto* wall = MakeShape<BoxCollider>("Wall", 0.0f, 0.0f, 1.0f, 1.0f);
  const auto& table = components::GetCollisionHandlers();
  for (const char* name : {"stopMovement", "bounceBack", "nextLevelTrigger", "starCollect"}) {
    EXPECT_NE(table.at(name), nullptr) << name;
  }
  EXPECT_EQ(table.size(), 4u) << "a lookup of an empty or unknown name adds nothing";
  EXPECT_EQ(wall->handlerFunction, nullptr);
  wall->handler = "stopMovement";
  ASSERT_TRUE(wall->Initialize());
  EXPECT_EQ(wall->handlerFunction, table.at("stopMovement"));
  testing::internal::CaptureStderr();
  wall->handler = "explode";
  ASSERT_TRUE(wall->Initialize());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("object Wall"), std::string::npos);
  EXPECT_EQ(wall->handlerFunction, nullptr);
  EXPECT_FALSE(table.contains("explode"));
  // Only an actual Transform counts.
  std::shared_ptr<objects::GameObject> bare = space_.CreateObject("Bare");
  auto* circle = Add(*bare, new CircleCollider());
  bare->AddComponent(new testing_support::Probe("Transform"));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(circle->Initialize());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("object Bare"), std::string::npos);
}

}  // namespace
