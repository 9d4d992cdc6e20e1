// The sine and cosine helper on the angles a level file or a script can give.
#include "base/math.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(ScalarSinCosTest, ReducesAnyAngleWithoutLeavingTheFloats) {
  constexpr float kDegrees = 0.0174532924f;
  struct Case {
    float radians;
    float sine, cosine;  // expected, when the angle is small enough to be exact
  };
  const Case exact[] = {{0.0f, 0.0f, 1.0f},
                        {90.0f * kDegrees, 1.0f, 0.0f},
                        {-90.0f * kDegrees, -1.0f, 0.0f},
                        {720.0f * kDegrees, 0.0f, 1.0f},
                        {-1080.0f * kDegrees + 0.5f, std::sin(0.5f), std::cos(0.5f)}};
  for (const Case& c : exact) {
    float sine = 9.0f, cosine = 9.0f;
    base::ScalarSinCos(&sine, &cosine, c.radians);
    EXPECT_NEAR(sine, c.sine, 1e-4f) << c.radians;
    EXPECT_NEAR(cosine, c.cosine, 1e-4f) << c.radians;
  }
  // Far outside an int once divided by two pi: still a point on the unit circle.
  for (const float huge : {1e14f * kDegrees, -1e14f * kDegrees, std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::lowest()}) {
    float sine = 9.0f, cosine = 9.0f;
    base::ScalarSinCos(&sine, &cosine, huge);
    if (std::isfinite(sine)) {
      EXPECT_NEAR(sine * sine + cosine * cosine, 1.0f, 1e-4f) << huge;
    } else {
      EXPECT_TRUE(std::isnan(sine) && std::isnan(cosine))
          << huge << ": precision lost, not a wrong finite value";
    }
  }
  for (const float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    float sine = 0.0f, cosine = 0.0f;
    base::ScalarSinCos(&sine, &cosine, bad);
    EXPECT_TRUE(std::isnan(sine)) << bad;
    EXPECT_TRUE(std::isnan(cosine)) << bad;
  }
}

}  // namespace
