// Matrix operations in the row-vector convention.
#include "base/math.h"

#include <cmath>

namespace base {

Matrix4 MatrixIdentity() {
  Matrix4 result;
  for (int i = 0; i < 4; ++i) result.m[i][i] = 1.0f;
  return result;
}

Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 result;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.m[row][k] * b.m[k][column];
      result.m[row][column] = sum;
    }
  }
  return result;
}

Matrix4 MatrixTranspose(const Matrix4& m) {
  Matrix4 result;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) result.m[row][column] = m.m[column][row];
  }
  return result;
}

void ScalarSinCos(float* sine, float* cosine, float angle) {
  constexpr float kTwoPi = 6.283185307f;
  constexpr float kOneOverTwoPi = 0.159154943f;
  // Map the angle into -pi..pi first, as DirectXMath does, so large angles keep
  // the same precision as small ones. Rounded in floating point (half away from
  // zero): an angle too large for an int, or NaN, must not go through one.
  const float quotient = std::round(kOneOverTwoPi * angle);
  const float reduced = angle - kTwoPi * quotient;
  *sine = std::sin(reduced);
  *cosine = std::cos(reduced);
}

Matrix4 MatrixAffineTransformation2D(vector2D scaling, vector2D rotationOrigin, float rotation,
                                     vector2D translation) {
  float sine = 0.0f;
  float cosine = 1.0f;
  ScalarSinCos(&sine, &cosine, rotation);

  // scale x (translate(-origin) x rotate x translate(origin)) x translate
  Matrix4 result = MatrixIdentity();
  result.m[0][0] = scaling.x * cosine;
  result.m[0][1] = scaling.x * sine;
  result.m[1][0] = -scaling.y * sine;
  result.m[1][1] = scaling.y * cosine;
  const float ox = rotationOrigin.x;
  const float oy = rotationOrigin.y;
  result.m[3][0] = ox - (ox * cosine - oy * sine) + translation.x;
  result.m[3][1] = oy - (ox * sine + oy * cosine) + translation.y;
  return result;
}

Matrix4 MatrixInverse(const Matrix4& m) {
  const float(*a)[4] = m.m;
  // 2 x 2 minors of the lower and upper row pairs.
  const float s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
  const float s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
  const float s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
  const float s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
  const float s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
  const float s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];
  const float c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
  const float c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
  const float c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
  const float c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
  const float c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
  const float c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];
  const float determinant = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
  const float r = 1.0f / determinant;
  Matrix4 inverse;
  float(*b)[4] = inverse.m;
  b[0][0] = (a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3) * r;
  b[0][1] = (-a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3) * r;
  b[0][2] = (a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3) * r;
  b[0][3] = (-a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3) * r;
  b[1][0] = (-a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1) * r;
  b[1][1] = (a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1) * r;
  b[1][2] = (-a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1) * r;
  b[1][3] = (a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1) * r;
  b[2][0] = (a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0) * r;
  b[2][1] = (-a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0) * r;
  b[2][2] = (a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0) * r;
  b[2][3] = (-a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0) * r;
  b[3][0] = (-a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0) * r;
  b[3][1] = (a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0) * r;
  b[3][2] = (-a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0) * r;
  b[3][3] = (a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0) * r;
  return inverse;
}

bool HasNonFinite(const Matrix4& m) {
  for (const auto& row : m.m) {
    for (float value : row) {
      if (!std::isfinite(value)) return true;
    }
  }
  return false;
}

vector2D TransformPoint(vector2D point, const Matrix4& m) {
  return {point.x * m.m[0][0] + point.y * m.m[1][0] + m.m[3][0],
          point.x * m.m[0][1] + point.y * m.m[1][1] + m.m[3][1]};
}

}  // namespace base
