// The PNG writer: what it writes decodes back to the same pixels, and pictures it
// cannot write are refused with a line naming the file.
#include "graphics/image/png_writer.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/image_decoder.h"

namespace graphics::image {
namespace {

std::string TempPath(const std::string& name) {
  return (std::filesystem::path(testing::TempDir()) / name).string();
}

TEST(PngWriter, WrittenPictureDecodesToTheSamePixelsAndAlpha) {
  Picture picture;
  picture.width = 3;
  picture.height = 2;
  // Top row red, green, blue; bottom row white, half-transparent gray, clear black.
  picture.rgba = {255, 0,   0,   255, 0,   255, 0,   255, 0, 0, 255, 255,
                  255, 255, 255, 255, 128, 128, 128, 128, 0, 0, 0,   0};
  const std::string path = TempPath("png_writer_round_trip.png");
  ASSERT_TRUE(WritePng(path, picture));

  DecodedImage decoded;
  ASSERT_EQ(DecodeImageFile(path, decoded), ImageResult::kOk);
  EXPECT_EQ(decoded.width, 3u);
  EXPECT_EQ(decoded.height, 2u);
  ASSERT_EQ(decoded.format, PixelFormat::k32bppBGRA);  // four 8-bit channels, BGRA in memory
  for (std::uint32_t y = 0; y < 2; ++y) {
    for (std::uint32_t x = 0; x < 3; ++x) {
      const std::uint8_t* written = &picture.rgba[(y * 3 + x) * 4];
      const std::uint8_t* read = &decoded.pixels[y * decoded.rowPitch + x * 4];
      EXPECT_EQ(read[2], written[0]) << x << "," << y;  // red
      EXPECT_EQ(read[1], written[1]) << x << "," << y;  // green
      EXPECT_EQ(read[0], written[2]) << x << "," << y;  // blue
      EXPECT_EQ(read[3], written[3]) << x << "," << y;  // alpha
    }
  }
  std::filesystem::remove(path);
}

TEST(PngWriter, RefusesPicturesItCannotWriteAndNamesTheFile) {
  Picture good;
  good.width = 1;
  good.height = 1;
  good.rgba = {1, 2, 3, 4};
  Picture empty;
  Picture shortPicture = good;
  shortPicture.width = 2;  // 2 x 1 pixels need 8 bytes
  const std::string missingFolder = TempPath("no-such-folder/shot.png");
  struct Case {
    const char* what;
    const Picture& picture;
    std::string path;
    const char* reason;
  };
  const Case cases[] = {
      {"empty", empty, TempPath("empty.png"), "no picture to write"},
      {"fewer bytes than its size", shortPicture, TempPath("short.png"), "no picture to write"},
      {"folder missing", good, missingFolder, "cannot write"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(WritePng(c.path, c.picture)) << c.what;
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find(c.path), std::string::npos) << c.what << ": " << log;
    EXPECT_NE(log.find(c.reason), std::string::npos) << c.what << ": " << log;
    EXPECT_FALSE(std::filesystem::exists(c.path)) << c.what;
  }
}

}  // namespace
}  // namespace graphics::image
