// Transform: the world matrix (scale, then rotation in degrees, then translation)
// and when it is recomputed; the matrix helpers it is built from.
#include "objects/transform.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

using base::TransformPoint;
using base::vector2D;

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
    objects::Transform transform(c.position.x, c.position.y, 0.0f);
    if (c.scale.x != 0.0f) transform.SetScale(c.scale.x, c.scale.y);
    transform.SetRotation(c.degrees);
    const vector2D mapped = TransformPoint(c.point, transform.GetMatrix());
    EXPECT_NEAR(mapped.x, c.expected.x, 1e-5f) << c.what;
    EXPECT_NEAR(mapped.y, c.expected.y, 1e-5f) << c.what;
  }
  // Rows (sx cos, sx sin), (-sy sin, sy cos), translation in row 3.
  objects::Transform transform(3.0f, 0.0f, 0.0f);
  transform.SetScale(2.0f, 1.0f);
  transform.SetRotation(90.0f);
  const base::Matrix4& m = transform.GetMatrix();
  EXPECT_NEAR(m.m[0][0], 0.0f, 1e-6f);
  EXPECT_NEAR(m.m[0][1], 2.0f, 1e-6f);
  EXPECT_NEAR(m.m[1][0], -1.0f, 1e-6f);
  EXPECT_EQ(m.m[2][2], 1.0f);
  EXPECT_EQ(m.m[3][0], 3.0f);
  EXPECT_EQ(m.m[3][3], 1.0f);
}

TEST(TransformTest, MatrixFollowsEveryWriterOfItsFields) {
  objects::Transform transform(1.0f, 1.0f, 0.0f);
  transform.SetScale(1.0f, 1.0f);
  EXPECT_EQ(transform.GetMatrix().m[3][0], 1.0f);
  EXPECT_FALSE(transform.dirty);
  transform.AddX(5.0f);  // no dirty flag, yet the matrix follows
  EXPECT_EQ(transform.GetMatrix().m[3][0], 6.0f);
  transform.rotation = 90.0f;  // written directly, as physics and handlers do
  EXPECT_NEAR(transform.GetMatrix().m[0][1], 1.0f, 1e-6f);
  transform.scale.y = 2.0f;
  EXPECT_NEAR(transform.GetMatrix().m[1][0], -2.0f, 1e-6f);
  transform.SetTranslation({-2.0f, 0.0f, 0.0f, 1.0f});
  EXPECT_TRUE(transform.dirty);
  EXPECT_EQ(transform.GetMatrix().m[3][0], -2.0f);
  EXPECT_FALSE(transform.dirty);
  // A field that is not a number builds once and then stays put.
  transform.rotation = std::nanf("");
  EXPECT_TRUE(std::isnan(transform.GetMatrix().m[0][0]));
  transform.rotation = 0.0f;
  EXPECT_EQ(transform.GetMatrix().m[0][0], 1.0f);
}

// The builder with an origin, which Transform never uses; the rest of the helpers
// are covered through the world matrix above and the input tests.
TEST(MathTest, MultiplyAndRotationAboutAnOrigin) {
  base::Matrix4 shift = base::MatrixIdentity();
  shift.m[3][0] = 1.0f;  // a translation by x + 1
  base::Matrix4 a = shift;
  a.m[0][3] = 5.0f;
  EXPECT_EQ(base::MatrixMultiply(a, shift).m[0][0], 6.0f);  // row 0 of a times column 0 of shift
  EXPECT_EQ(base::MatrixMultiply(shift, a).m[0][0], 1.0f);
  // A quarter turn about (1, 1) takes (2, 1) to (1, 2).
  const vector2D turned = TransformPoint(
      {2.0f, 1.0f}, base::MatrixAffineTransformation2D({1.0f, 1.0f}, {1.0f, 1.0f}, 1.5707964f, {0.0f, 0.0f}));
  EXPECT_NEAR(turned.x, 1.0f, 1e-6f);
  EXPECT_NEAR(turned.y, 2.0f, 1e-6f);
}

}  // namespace
