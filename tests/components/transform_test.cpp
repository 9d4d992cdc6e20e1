// Transform: defaults, the constructor with a position, the world matrix and when it
// is recomputed, the script-facing operations.
#include "components/transform.h"

#include <gtest/gtest.h>

namespace {

using graphics::TransformPoint;
using graphics::vector2D;

TEST(TransformTest, DefaultsAndPositionConstructor) {
  components::Transform transform;
  EXPECT_EQ(transform.type, "Transform");
  EXPECT_EQ(transform.translation.z, 0.0f);
  EXPECT_EQ(transform.translation.w, 1.0f);
  EXPECT_EQ(transform.rotation, 0.0f);
  EXPECT_EQ(transform.scale.x, 0.0f);
  EXPECT_EQ(transform.scale.y, 0.0f);
  EXPECT_EQ(transform.scale.z, 0.0f);
  EXPECT_TRUE(transform.dirty);

  components::Transform placed(1.0f, 2.0f, 3.0f);
  EXPECT_EQ(placed.translation.x, 1.0f);
  EXPECT_EQ(placed.translation.y, 2.0f);
  EXPECT_EQ(placed.translation.z, 3.0f);
  EXPECT_EQ(placed.translation.w, 1.0f);
  EXPECT_EQ(placed.scale.x, 0.0f);
}

TEST(TransformTest, ZeroScaleCollapsesEveryPointToThePosition) {
  components::Transform transform(4.0f, -2.0f, 0.0f);
  for (vector2D point : {vector2D{0, 0}, vector2D{1, 0}, vector2D{-7, 13}}) {
    const vector2D mapped = TransformPoint(point, transform.GetMatrix());
    EXPECT_EQ(mapped.x, 4.0f);
    EXPECT_EQ(mapped.y, -2.0f);
  }
}

TEST(TransformTest, RotationIsCounterClockwiseInDegreesAboutTheOrigin) {
  components::Transform transform(10.0f, 20.0f, 0.0f);
  transform.SetScale(1.0f, 1.0f);
  transform.SetRotation(90.0f);
  const vector2D mapped = TransformPoint({1.0f, 0.0f}, transform.GetMatrix());
  EXPECT_NEAR(mapped.x, 10.0f, 1e-6f);
  EXPECT_NEAR(mapped.y, 21.0f, 1e-6f);
}

TEST(TransformTest, ScaleThenRotateThenTranslate) {
  components::Transform transform(3.0f, 0.0f, 0.0f);
  transform.SetScale(2.0f, 1.0f);
  transform.SetRotation(90.0f);
  const graphics::Matrix4& m = transform.GetMatrix();
  // Rows (sx cos, sx sin), (-sy sin, sy cos), translation in row 3.
  EXPECT_NEAR(m.m[0][0], 0.0f, 1e-6f);
  EXPECT_NEAR(m.m[0][1], 2.0f, 1e-6f);
  EXPECT_NEAR(m.m[1][0], -1.0f, 1e-6f);
  EXPECT_NEAR(m.m[1][1], 0.0f, 1e-6f);
  EXPECT_EQ(m.m[2][2], 1.0f);
  EXPECT_EQ(m.m[3][0], 3.0f);
  EXPECT_EQ(m.m[3][3], 1.0f);
  const vector2D mapped = TransformPoint({1.0f, 1.0f}, m);
  EXPECT_NEAR(mapped.x, 2.0f, 1e-6f);
  EXPECT_NEAR(mapped.y, 2.0f, 1e-6f);
}

TEST(TransformTest, LargeAnglesAreReducedBeforeSineAndCosine) {
  components::Transform a(0.0f, 0.0f, 0.0f);
  components::Transform b(0.0f, 0.0f, 0.0f);
  a.SetScale(1.0f, 1.0f);
  b.SetScale(1.0f, 1.0f);
  a.SetRotation(30.0f);
  b.SetRotation(30.0f + 3600.0f);
  EXPECT_NEAR(a.GetMatrix().m[0][0], b.GetMatrix().m[0][0], 1e-4f);
  EXPECT_NEAR(a.GetMatrix().m[0][1], b.GetMatrix().m[0][1], 1e-4f);
}

TEST(TransformTest, MatrixIsRecomputedOnlyWhenDirty) {
  components::Transform transform(1.0f, 1.0f, 0.0f);
  transform.SetScale(1.0f, 1.0f);
  EXPECT_EQ(transform.GetMatrix().m[3][0], 1.0f);
  EXPECT_FALSE(transform.dirty);
  transform.AddX(5.0f);  // does not mark the matrix out of date
  EXPECT_EQ(transform.GetMatrix().m[3][0], 1.0f);
  transform.SetDirty();
  EXPECT_EQ(transform.GetMatrix().m[3][0], 6.0f);
  transform.SetTranslation({-2.0f, 0.0f, 0.0f, 1.0f});
  EXPECT_TRUE(transform.dirty);
  EXPECT_EQ(transform.GetMatrix().m[3][0], -2.0f);
}

TEST(TransformTest, ScriptOperations) {
  components::Transform transform(1.0f, 2.0f, 3.0f);
  transform.AddX(1.0f);
  transform.AddY(-1.0f);
  transform.AddZ(0.5f);
  EXPECT_EQ(transform.GetTranslation().x, 2.0f);
  EXPECT_EQ(transform.GetTranslation().y, 1.0f);
  EXPECT_EQ(transform.GetTranslation().z, 3.5f);
  transform.scale = {0.0f, 0.0f, 7.0f, 9.0f};
  transform.SetScale(0.5f, 0.25f);
  EXPECT_EQ(transform.GetScale().x, 0.5f);
  EXPECT_EQ(transform.GetScale().y, 0.25f);
  EXPECT_EQ(transform.GetScale().z, 7.0f);
  EXPECT_EQ(transform.GetScale().w, 9.0f);
  transform.SetRotation(-45.0f);
  EXPECT_EQ(transform.GetRotation(), -45.0f);
}

TEST(MathTest, MultiplyAndTranspose) {
  graphics::Matrix4 a;
  graphics::Matrix4 b = graphics::MatrixIdentity();
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) a.m[r][c] = static_cast<float>(r * 4 + c);
  }
  b.m[3][0] = 1.0f;  // a translation by x + 1
  const graphics::Matrix4 product = graphics::MatrixMultiply(a, b);
  EXPECT_EQ(product.m[0][0], a.m[0][0] + a.m[0][3]);
  EXPECT_EQ(product.m[2][1], a.m[2][1]);
  const graphics::Matrix4 transposed = graphics::MatrixTranspose(a);
  EXPECT_EQ(transposed.m[1][2], a.m[2][1]);
  EXPECT_EQ(transposed.m[3][0], a.m[0][3]);
  // Scale then translate equals the affine builder without rotation.
  graphics::Matrix4 scale = graphics::MatrixIdentity();
  scale.m[0][0] = 2.0f;
  scale.m[1][1] = 3.0f;
  const graphics::Matrix4 built =
      graphics::MatrixAffineTransformation2D({2.0f, 3.0f}, {0.0f, 0.0f}, 0.0f, {1.0f, 0.0f});
  const graphics::Matrix4 composed = graphics::MatrixMultiply(scale, b);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) EXPECT_EQ(built.m[r][c], composed.m[r][c]) << r << c;
  }
}

TEST(MathTest, RotationAboutAnOrigin) {
  // A quarter turn about (1, 1) takes (2, 1) to (1, 2).
  const graphics::Matrix4 m =
      graphics::MatrixAffineTransformation2D({1.0f, 1.0f}, {1.0f, 1.0f}, 1.5707964f, {0.0f, 0.0f});
  const vector2D mapped = TransformPoint({2.0f, 1.0f}, m);
  EXPECT_NEAR(mapped.x, 1.0f, 1e-6f);
  EXPECT_NEAR(mapped.y, 2.0f, 1e-6f);
}

}  // namespace
