// Transform: the world matrix (scale, then rotation in degrees, then translation)
// and when it is recomputed; the matrix helpers it is built from.
#include "components/transform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using graphics::TransformPoint;
using graphics::vector2D;

TEST(TransformTest, WorldMatrixScalesThenRotatesCounterClockwiseThenTranslates) {
  struct Case {
    const char* what;
    vector2D position, scale;  // a scale of (0, 0) is the constructor's
    float degrees;
    vector2D point, expected;
  };
  const Case cases[] = {
      {"zero scale, origin", {4, -2}, {0, 0}, 0, {0, 0}, {4, -2}},
      {"zero scale collapses", {4, -2}, {0, 0}, 0, {-7, 13}, {4, -2}},
      {"quarter turn", {10, 20}, {1, 1}, 90, {1, 0}, {10, 21}},
      {"scale first", {3, 0}, {2, 1}, 90, {1, 1}, {2, 2}},
      {"large angles are reduced", {0, 0}, {1, 1}, 30 + 3600, {1, 0}, {std::sqrt(3.0f) / 2, 0.5f}},
  };
  for (const Case& c : cases) {
    components::Transform transform(c.position.x, c.position.y, 0.0f);
    if (c.scale.x != 0.0f) transform.SetScale(c.scale.x, c.scale.y);
    transform.SetRotation(c.degrees);
    const vector2D mapped = TransformPoint(c.point, transform.GetMatrix());
    EXPECT_NEAR(mapped.x, c.expected.x, 1e-5f) << c.what;
    EXPECT_NEAR(mapped.y, c.expected.y, 1e-5f) << c.what;
  }
  // Rows (sx cos, sx sin), (-sy sin, sy cos), translation in row 3.
  components::Transform transform(3.0f, 0.0f, 0.0f);
  transform.SetScale(2.0f, 1.0f);
  transform.SetRotation(90.0f);
  const graphics::Matrix4& m = transform.GetMatrix();
  EXPECT_NEAR(m.m[0][0], 0.0f, 1e-6f);
  EXPECT_NEAR(m.m[0][1], 2.0f, 1e-6f);
  EXPECT_NEAR(m.m[1][0], -1.0f, 1e-6f);
  EXPECT_EQ(m.m[2][2], 1.0f);
  EXPECT_EQ(m.m[3][0], 3.0f);
  EXPECT_EQ(m.m[3][3], 1.0f);
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

TEST(MathTest, MultiplyTransposeAndAffineBuilder) {
  graphics::Matrix4 a;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) a.m[r][c] = static_cast<float>(r * 4 + c);
  }
  graphics::Matrix4 shift = graphics::MatrixIdentity();
  shift.m[3][0] = 1.0f;  // a translation by x + 1
  const graphics::Matrix4 product = graphics::MatrixMultiply(a, shift);
  EXPECT_EQ(product.m[0][0], a.m[0][0] + a.m[0][3]);
  EXPECT_EQ(product.m[2][1], a.m[2][1]);
  const graphics::Matrix4 transposed = graphics::MatrixTranspose(a);
  EXPECT_EQ(transposed.m[1][2], a.m[2][1]);
  EXPECT_EQ(transposed.m[3][0], a.m[0][3]);
  // Scale then translate equals the affine builder without rotation.
  graphics::Matrix4 scale = graphics::MatrixIdentity();
  scale.m[0][0] = 2.0f;
  scale.m[1][1] = 3.0f;
  const graphics::Matrix4 built = graphics::MatrixAffineTransformation2D({2.0f, 3.0f}, {0.0f, 0.0f}, 0.0f, {1.0f, 0.0f});
  const graphics::Matrix4 composed = graphics::MatrixMultiply(scale, shift);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) EXPECT_EQ(built.m[r][c], composed.m[r][c]) << r << c;
  }
  // A quarter turn about (1, 1) takes (2, 1) to (1, 2).
  const vector2D turned = TransformPoint(
      {2.0f, 1.0f}, graphics::MatrixAffineTransformation2D({1.0f, 1.0f}, {1.0f, 1.0f}, 1.5707964f, {0.0f, 0.0f}));
  EXPECT_NEAR(turned.x, 1.0f, 1e-6f);
  EXPECT_NEAR(turned.y, 2.0f, 1e-6f);
}

}  // namespace
