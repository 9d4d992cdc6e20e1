// Pictures past the size limit are refused from their header, with the size, before
// a byte of pixels is decoded; a broken picture shown by many sprites is decoded once.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "graphics/graphics.h"
#include "graphics/image_decoder.h"
#include "graphics/recording/recording_render_device.h"
#include "graphics/texture_cache.h"

namespace {

using graphics::ImageResult;
using testing::HasSubstr;

void Put32(std::vector<uint8_t>& out, uint32_t value, bool bigEndian) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (bigEndian ? 24 - 8 * i : 8 * i)));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PngChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  Put32(png, static_cast<uint32_t>(data.size()), true);
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  Put32(png, Crc32(png.data() + start, png.size() - start), true);
}

// A PNG whose header claims width x height RGBA pixels, with a few bytes of image data.
std::vector<uint8_t> PngClaiming(uint32_t width, uint32_t height) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Put32(header, width, true);
  Put32(header, height, true);
  header.insert(header.end(), {8, 6, 0, 0, 0});
  PngChunk(png, "IHDR", header);
  PngChunk(png, "IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
  PngChunk(png, "IEND", {});
  return png;
}

// A 24-bit BMP whose header claims width x height pixels, with no pixel data.
std::vector<uint8_t> BmpClaiming(uint32_t width, uint32_t height) {
  std::vector<uint8_t> bmp = {'B', 'M'};
  Put32(bmp, 54, false);
  Put32(bmp, 0, false);
  Put32(bmp, 54, false);
  Put32(bmp, 40, false);
  Put32(bmp, width, false);
  Put32(bmp, height, false);
  bmp.insert(bmp.end(), {1, 0, 24, 0});
  for (int i = 0; i < 6; ++i) Put32(bmp, 0, false);
  return bmp;
}

TEST(PictureLimitsTest, PicturesPastTheLimitAreRefusedWithTheirSize) {
  const struct {
    const char* what;
    std::vector<uint8_t> file;
    const char* size;  // null: within the limits
  } cases[] = {
      {"png 16384 a side", PngClaiming(16384, 16384), "16384 x 16384 pixels"},
      {"png one side too long", PngClaiming(8193, 1), "8193 x 1 pixels"},
      {"png 8192 x 8192 is 64 M pixels", PngClaiming(8192, 8192), nullptr},
      {"bmp 16384 a side", BmpClaiming(16384, 16384), "16384 x 16384 pixels"},
      {"bmp 8192 x 8193", BmpClaiming(8192, 8193), "8192 x 8193 pixels"},
  };
  for (const auto& c : cases) {
    graphics::DecodedImage image;
    std::string reason;
    const ImageResult result = graphics::DecodeImage(c.file, image, reason);
    EXPECT_NE(result, ImageResult::kOk) << c.what << ": the test files hold no real pixels";
    if (c.size != nullptr) {
      EXPECT_EQ(result, ImageResult::kOutOfMemory) << c.what;
      EXPECT_THAT(reason, HasSubstr(c.size)) << c.what;
      EXPECT_THAT(reason, HasSubstr("at most 8192 a side and 64 M pixels")) << c.what;
    } else {
      EXPECT_THAT(reason, testing::Not(HasSubstr("larger than a picture may be"))) << c.what;
    }
    EXPECT_TRUE(image.pixels.empty()) << c.what << ": nothing kept";
  }
}

TEST(PictureLimitsTest, ABrokenPictureShownByManySpritesIsDecodedAndReportedOnce) {
  graphics::Block().device = std::make_unique<graphics::recording::RecordingRenderDevice>();
  const std::filesystem::path path =
      std::filesystem::path(testing::TempDir()) / ("velmaris-broken-" + std::to_string(::getpid()) + ".png");
  std::vector<uint8_t> broken = PngClaiming(64, 64);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(broken.data()), broken.size());
  testing::internal::CaptureStderr();
  for (int sprite = 0; sprite < 200; ++sprite) EXPECT_EQ(graphics::LoadSharedTexture(path.string()), nullptr);
  const std::string log = testing::internal::GetCapturedStderr();
  const size_t named = log.find(path.string());
  ASSERT_NE(named, std::string::npos) << log;
  EXPECT_EQ(log.find(path.string(), named + 1), std::string::npos) << "once, not once a sprite: " << log;

  std::filesystem::copy_file(VELMARIS_TESTDATA_DIR "/pngsuite/basn6a08.png", path,
                             std::filesystem::copy_options::overwrite_existing);
  EXPECT_NE(graphics::LoadSharedTexture(path.string()), nullptr) << "a changed file is tried again";
  graphics::ShutdownGraphics();
  std::filesystem::remove(path);
}

}  // namespace
