// RotateAround and MoveBetweenTwoPoints: positions after single steps, the snap and
// turn at the ends, and the wait counted in frames.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "component_fixture.h"
#include "components/move_between_two_points.h"
#include "components/rotate_around.h"

namespace {

using components::MoveBetweenTwoPoints;
using components::RotateAround;

class MoversTest : public component_testing::ComponentTest {
 protected:
  // A mover on a new object at (99, 99), from (0, 0) towards (point0, 0).
  MoveBetweenTwoPoints* MakePointMover(float point0, float speed, float delaySeconds) {
    auto* mover =
        Add(MakeObject("Mover" + std::to_string(count_++), 99.0f, 99.0f), new MoveBetweenTwoPoints());
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
    auto* rotator =
        Add(MakeObject(direction < 0 ? "Clockwise" : "Anticlockwise", 99.0f, 99.0f), new RotateAround());
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
  // A step past an end lands on it; the next update turns there.
  MoveBetweenTwoPoints* fast = MakePointMover(1.0f, 1.5f, 0.0f);
  fast->point1 = {-5.0f, 0.0f};
  fast->Update(1.0f);
  EXPECT_EQ(fast->transform->translation.x, 1.0f);
  EXPECT_EQ(fast->target.x, 1.0f);
  fast->Update(1.0f);
  EXPECT_EQ(fast->transform->translation.x, 1.0f);
  EXPECT_EQ(fast->target.x, -5.0f);
}

// Steps longer than the arrival distance (0.5): the mover lands on each end, turns
// there in the next frame, and from the second arrival on lingers `delay` frames.
// (Stepping on past an end by a whole step, it jumped around the end for ever.)
TEST_F(MoversTest, FastPointMoverLandsOnItsEndsTurnsAndLingers) {
  struct Case {
    const char* what;
    base::vector2D point0;
    float step;                             // world units per frame (dt 1)
    float delaySeconds;                     // 1/60 s per frame
    std::vector<base::vector2D> positions;  // after each update, from (0, 0), point1 (0, 0)
  };
  const Case cases[] = {
      {"no delay",
       {10, 0},
       4,
       0.0f,
       {{4, 0}, {8, 0}, {10, 0}, {10, 0}, {6, 0}, {2, 0}, {0, 0}, {0, 0}, {4, 0}}},
      // 3 frames: one at the first arrival, then 5 frames at each end (land, wait
      // 3, snap and turn).
      {"3 frames' delay",
       {10, 0},
       4,
       0.05f,
       {{4, 0},
        {8, 0},
        {10, 0},
        {10, 0},
        {6, 0},
        {2, 0},
        {0, 0},
        {0, 0},
        {0, 0},
        {0, 0},
        {0, 0},
        {4, 0},
        {8, 0},
        {10, 0},
        {10, 0},
        {10, 0},
        {10, 0},
        {10, 0},
        {6, 0}}},
      {"diagonal",
       {6, 8},
       4,
       0.0f,
       {{2.4f, 3.2f}, {4.8f, 6.4f}, {6, 8}, {6, 8}, {3.6f, 4.8f}, {1.2f, 1.6f}, {0, 0}}},
      {"longer than the way", {3, 0}, 25, 0.0f, {{3, 0}, {3, 0}, {0, 0}, {0, 0}, {3, 0}}},
  };
  for (const Case& c : cases) {
    MoveBetweenTwoPoints* mover = MakePointMover(0.0f, c.step, c.delaySeconds);
    mover->point0 = c.point0;
    ASSERT_TRUE(mover->Initialize());
    for (size_t frame = 0; frame < c.positions.size(); ++frame) {
      mover->Update(1.0f);
      const base::XMFLOAT4& p = mover->transform->translation;
      EXPECT_NEAR(p.x, c.positions[frame].x, 1e-5) << c.what << ", frame " << frame + 1;
      EXPECT_NEAR(p.y, c.positions[frame].y, 1e-5) << c.what << ", frame " << frame + 1;
      EXPECT_EQ(p.z, 0.0f);
    }
  }
  // Any step from a quarter of the arrival distance to three times the way: every
  // turn happens on an end, and the ends take turns.
  for (float step = 0.125f; step <= 30.0f; step *= 1.37f) {
    MoveBetweenTwoPoints* mover = MakePointMover(10.0f, step, 0.0f);
    int turns = 0;
    for (int frame = 0; frame < 1000; ++frame) {
      const float before = mover->target.x;
      mover->Update(1.0f);
      if (mover->target.x == before) continue;
      ++turns;
      EXPECT_EQ(mover->transform->translation.x, before) << "step " << step;
    }
    // A leg takes ceil(10 / step) frames and one more to turn.
    const int legFrames = static_cast<int>(std::ceil(10.0f / step)) + 1;
    EXPECT_GE(turns, 1000 / legFrames - 1) << "step " << step;
  }
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
