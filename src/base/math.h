// Shared math types: the engine's 2D vector, the four-float vector and the 4x4 matrix
// in the row-vector convention (a point p maps to p x M; matrices are uploaded
// transposed). Values match DirectXMath's for the operations given here.
#pragma once

namespace base {

// Two 32-bit floats, x then y: positions, velocities, accelerations in world units.
struct vector2D {
  float x = 0.0f;
  float y = 0.0f;
};

// Four 32-bit floats: a transform's translation or scale, or an RGBA colour.
struct XMFLOAT4 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 0.0f;
};

// Sixteen floats, row-major: m[row][column]; row 3 holds the translation.
struct alignas(16) Matrix4 {
  float m[4][4] = {};
};

// pi / 180 as a 32-bit float: degrees to radians.
inline constexpr float kDegreesToRadians = 0.0174532924f;

Matrix4 MatrixIdentity();

// a x b: applying the result applies a first, then b.
Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b);

Matrix4 MatrixTranspose(const Matrix4& m);

// Scale, then rotate by `rotation` radians (counter-clockwise, y up) about
// `rotationOrigin`, then translate; as XMMatrixAffineTransformation2D.
Matrix4 MatrixAffineTransformation2D(vector2D scaling, vector2D rotationOrigin, float rotation,
                                     vector2D translation);

// Sine and cosine in single precision after reducing the angle (radians) to -pi..pi.
void ScalarSinCos(float* sine, float* cosine, float angle);

// The inverse of m by cofactors. A singular matrix gives non-finite entries (the
// reciprocal of a zero determinant), which callers test for.
Matrix4 MatrixInverse(const Matrix4& m);

// True when any entry is NaN or infinite.
bool HasNonFinite(const Matrix4& m);

// The point (x, y, 0, 1) times m; returns x and y of the result.
vector2D TransformPoint(vector2D point, const Matrix4& m);

}  // namespace base
