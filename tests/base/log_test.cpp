// Lines written once: by text, by place, and within a bounded memory.
#include "base/log.h"

#include <string>

#include <gtest/gtest.h>

namespace {

class LogOnceTest : public ::testing::Test {
 protected:
  void SetUp() override { base::ResetLogOnce(); }
  void TearDown() override { base::ResetLogOnce(); }
};

TEST_F(LogOnceTest, PlaceKeyWritesOncePerPlaceWhateverTheText) {
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(base::LogErrorOnceAt("SCRIPT", "a.lua:3:", "a.lua:3: t=1"));
  EXPECT_FALSE(base::LogErrorOnceAt("SCRIPT", "a.lua:3:", "a.lua:3: t=2"));
  EXPECT_TRUE(base::LogErrorOnceAt("SCRIPT", "a.lua:4:", "a.lua:4: t=3"));
  EXPECT_TRUE(base::LogErrorOnceAt("sprite", "a.lua:3:", "other tag, same place"));
  // A text key with the characters of a place is another key.
  EXPECT_TRUE(base::LogErrorOnce("SCRIPT", "a.lua:3:"));
  EXPECT_FALSE(base::LogErrorOnce("SCRIPT", "a.lua:3:"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "SCRIPT: a.lua:3: t=1\nSCRIPT: a.lua:4: t=3\nsprite: other tag, same place\nSCRIPT: a.lua:3:\n");
}

// Endless distinct errors (a text with a counter in it) do not grow memory without
// limit: the oldest keys are forgotten, the newest still hold.
TEST_F(LogOnceTest, RememberedKeysStayWithinTheLimit) {
  ::testing::internal::CaptureStderr();
  const std::size_t total = 3 * base::kLogOnceLimit;
  for (std::size_t i = 0; i < total; ++i) base::LogErrorOnce("SCRIPT", "error " + std::to_string(i));
  for (std::size_t i = 0; i < total; ++i) base::LogErrorOnceAt("SCRIPT", std::to_string(i), "x");
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(base::LogOnceRemembered(), base::kLogOnceLimit);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(base::LogErrorOnceAt("SCRIPT", std::to_string(total - 1), "x"));
  EXPECT_TRUE(base::LogErrorOnce("SCRIPT", "error 0"));  // forgotten long ago
  ::testing::internal::GetCapturedStderr();
}

}  // namespace
