// RotateAround and MoveBetweenTwoPoints: positions after single steps, the snap and
// turn at the ends, and the wait counted in frames.
#include "components/rotate_around.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <array>

#include "component_fixture.h"
#include "components/move_between_two_points.h"

namespace {

using components::MoveBetweenTwoPoints;
using components::RotateAround;

class MoversTest : public component_testing::ComponentTest {
 protected:
  // A mover on a new object at (99, 99), from (0, 0) towards (point0, 0).
  MoveBetweenTwoPoints* MakePointMover(float point0, float speed, float delaySeconds) {
    auto* mover = Add(MakeObject("Mover" + std::to_string(count_++), 99.0f, 99.0f), new MoveBetweenTwoPoints());
    mover->point0 = {point0, 0.0f};
    mover->speed = speed;
    mover->delay = delaySeconds;
    EXPECT_TRUE(mover->Initialize());
    return mover;
  }
  int count_ = 0;
};

TEST_F(MoversTest, RotateAroundStartsOnTheCentreAndTurnsByItsDirection) {
  for (float direction : {-1.0f, 1.0f}) {
    auto* rotator = Add(MakeObject(direction < 0 ? "Clockwise" : "Anticlockwise", 99.0f, 99.0f), new RotateAround());
    rotator->centre = {10.0f, 0.0f, 0.0f, 0.0f};
    rotator->radius = 2.0f;
    rotator->speed = 90.0f;
    rotator->clockwise = direction;
    ASSERT_TRUE(rotator->Initialize());
    const base::XMFLOAT4& p = rotator->transform->translation;
    EXPECT_EQ(p.x, 10.0f);
    rotator->transform->dirty = false;
    rotator->Update(1.0f);
    // Clockwise -1 turns to (10, -2); z and w take the centre's x as well.
    EXPECT_EQ((std::array{p.x, p.y, p.z, p.w}), (std::array{10.0f, 2.0f * direction, 10.0f, 10.0f}));
    EXPECT_TRUE(rotator->transform->dirty);
    for (int i = 0; i < 7; ++i) rotator->Update(1.0f);
    EXPECT_EQ(rotator->angle, 720.0f * direction);  // never wrapped
  }
}

TEST_F(MoversTest, PointMoverStepsSnapsTurnsAndWaitsInFrames) {
  MoveBetweenTwoPoints* mover = MakePointMover(10.0f, 5.0f, 0.5f);
  ASSERT_TRUE(mover->Initialize());  // a second pass (prefab layer, reload) keeps 0.5 s
  EXPECT_EQ(mover->delay, 0.5f);
  std::vector<float> xs;
  std::vector<float> waits;
  for (int i = 0; i < 6; ++i) {
    mover->Update(1.0f);
    xs.push_back(mover->transform->translation.x);
    waits.push_back(mover->waitTimer);
  }
  // 5, 10, then snap and turn with the first frame of waiting, leave at once, arrive
  // back at 0 and count the frames spent there.
  EXPECT_EQ(xs, (std::vector<float>{5, 10, 10, 5, 0, 0}));
  EXPECT_EQ(waits, (std::vector<float>{0, 0, 1, 1, 1, 2}));
  EXPECT_EQ(mover->target.x, 0.0f);
  // 0.5 s is 30 frames at an end: the wait counts up to 30, then starts again.
  float longest = mover->waitTimer;
  for (int i = 0; i < 40; ++i) {
    mover->Update(1.0f);
    longest = std::max(longest, mover->waitTimer);
  }
  EXPECT_EQ(longest, 30.0f);
  // Overshooting an end snaps back to it from the other side.
  MoveBetweenTwoPoints* fast = MakePointMover(1.0f, 1.5f, 0.0f);
  fast->point1 = {-5.0f, 0.0f};
  fast->Update(1.0f);
  EXPECT_EQ(fast->transform->translation.x, 1.5f);
  fast->Update(1.0f);
  EXPECT_EQ(fast->transform->translation.x, 1.0f);
  EXPECT_EQ(fast->target.x, -5.0f);
}

TEST_F(MoversTest, MoversRefuseObjectsWithoutATransform) {
  std::shared_ptr<objects::GameObject> bare = space_.CreateObject("Bare");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Add(*bare, new RotateAround())->Initialize());
  EXPECT_FALSE(Add(*bare, new MoveBetweenTwoPoints())->Initialize());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("object Bare"), std::string::npos);
  RotateAround loose;
  loose.Update(1.0f);  // never initialised: nothing to move, no crash
  EXPECT_EQ(loose.angle, 0.0f);
}

}  // namespace
