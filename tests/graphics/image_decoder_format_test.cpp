// Texture format choice: the direct, conversion and sRGB tables, the size cap with its
// area filter, and the conversions behind them.
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/image_decoder.h"

namespace graphics {
namespace {

using Bytes = std::vector<uint8_t>;
using gl::GlFormatFor;
using gl::GlInternalFormat;
using gl::GlTextureFormat;

DecodedImage Synthetic(PixelFormat format, uint32_t width, uint32_t height, Bytes pixels) {
  DecodedImage image;
  image.width = width;
  image.height = height;
  image.format = format;
  image.rowPitch = (uint64_t{width} * BitsPerPixel(format) + 7) / 8;
  image.pixels = std::move(pixels);
  image.pixels.resize(image.rowPitch * height);
  image.container = ImageContainer::kPng;
  return image;
}

TextureLoadOptions Options(uint32_t maxSize, bool wantMips = true,
                           std::function<bool(const GlTextureFormat&)> supported = {}) {
  TextureLoadOptions options;
  options.maxSize = maxSize;
  options.wantMips = wantMips;
  options.formatSupported = std::move(supported);
  return options;
}

TEST(TextureFormatTables, ConversionsLandOnDirectFormatsAndDirectFormatsHaveGlFormats) {
  int conversions = 0;
  for (int i = 0; i < static_cast<int>(PixelFormat::kCount); ++i) {
    const auto format = static_cast<PixelFormat>(i);
    const GpuFormat gpu = DirectGpuFormat(format);
    SCOPED_TRACE(PixelFormatName(format));
    if (auto target = ConversionTarget(format)) {
      ++conversions;
      EXPECT_EQ(gpu, GpuFormat::kUnknown);  // tables do not overlap
      EXPECT_NE(DirectGpuFormat(*target), GpuFormat::kUnknown);
      EXPECT_GT(BitsPerPixel(format), 0u);
    } else if (gpu != GpuFormat::kUnknown) {  // every one but extended range has a GL format
      EXPECT_EQ(GlFormatFor(gpu).has_value(), gpu != GpuFormat::kR10G10B10XrBiasA2Unorm);
      EXPECT_EQ(PixelFormatOf(gpu), format);
      EXPECT_TRUE(ToSrgbFormat(gpu) == gpu || GlFormatFor(ToSrgbFormat(gpu)).has_value());
    }
  }
  EXPECT_EQ(conversions, 39);
  EXPECT_EQ(ConversionTarget(PixelFormat::k24bppBGR), PixelFormat::k32bppRGBA);
  EXPECT_EQ(ConversionTarget(PixelFormat::k16bppBGR555), PixelFormat::k16bppBGRA5551);
  EXPECT_EQ(ConversionTarget(PixelFormat::k4bppGray), PixelFormat::k8bppGray);
  EXPECT_EQ(ConversionTarget(PixelFormat::k48bppRGB), PixelFormat::k64bppRGBA);
  EXPECT_EQ(ConversionTarget(PixelFormat::k32bppRGBE), PixelFormat::k128bppRGBAFloat);
  EXPECT_EQ(DirectGpuFormat(PixelFormat::k32bppBGRA), GpuFormat::kB8G8R8A8Unorm);
  EXPECT_EQ(static_cast<uint32_t>(DirectGpuFormat(PixelFormat::k8bppAlpha)), 65u);
}

TEST(TextureFormatTables, SrgbVariantsCoverExactlyTheSevenPairs) {
  const std::pair<uint32_t, uint32_t> pairs[] = {{28, 29}, {71, 72}, {74, 75}, {77, 78},
                                                 {87, 91}, {88, 93}, {98, 99}};
  for (auto [linear, srgb] : pairs) {
    EXPECT_EQ(static_cast<uint32_t>(ToSrgbFormat(static_cast<GpuFormat>(linear))), srgb);
  }
  for (GpuFormat other : {GpuFormat::kR16G16B16A16Unorm, GpuFormat::kR8Unorm, GpuFormat::kB5G6R5Unorm,
                          GpuFormat::kR8G8B8A8UnormSrgb}) {
    EXPECT_EQ(ToSrgbFormat(other), other);
  }
}

// ---- size cap ----

TEST(TextureSizeCap, LongerSideBecomesTheCapAndTheOtherKeepsTheRatio) {
  struct Case {
    uint32_t w, h, max, tw, th;
  };
  for (const Case& c :
       {Case{20000, 10000, 16384, 16384, 8192}, Case{10000, 20000, 16384, 8192, 16384},
        Case{1, 30000, 16384, 1, 16384}, Case{30000, 1, 16384, 16384, 1},
        Case{16384, 16384, 16384, 16384, 16384}, Case{300, 200, 100, 100, 66}, Case{7, 3, 2, 2, 1}}) {
    uint32_t tw = 0, th = 0;
    TargetSize(c.w, c.h, c.max, tw, th);
    EXPECT_EQ(tw, c.tw) << c.w << "x" << c.h;
    EXPECT_EQ(th, c.th) << c.w << "x" << c.h;
  }
}

TEST(TextureSizeCap, ZeroCapMeansTheDeviceLimit) {
  const auto path = std::filesystem::path(VELMARIS_TESTDATA_DIR) / "pngsuite/basn2c08.png";
  TextureLoadOptions options;
  options.deviceMaxTextureSize = 8;
  TextureImage small;
  ASSERT_EQ(LoadTextureImage(path.string(), options, small), ImageResult::kOk);
  EXPECT_EQ(small.width, 8u);
  EXPECT_EQ(small.height, 8u);
  EXPECT_EQ(small.pixels.size(), 8u * 8u * 4u);

  TextureImage full;  // neither given: the largest texture any device takes
  ASSERT_EQ(LoadTextureImage(path.string(), {}, full), ImageResult::kOk);
  EXPECT_EQ(full.width, 32u);
  EXPECT_EQ(full.height, 32u);
}

// ---- format choices and conversions ----

TEST(TexturePreparation, FormatsPixelsAndSizesFollowTheTablesAndTheCap) {
  using P = PixelFormat;
  using G = GpuFormat;
  struct Case {
    const char* what;
    DecodedImage image;
    TextureLoadOptions options;
    GpuFormat gpu;
    Bytes pixels;
    bool opaque = false;  // known only of 8-bit RGBA and BGRA
  };
  const auto no_565 = [](const GlTextureFormat& gl) {
    return gl.internalFormat != GlInternalFormat::kRGB565;
  };
  const Case cases[] = {
      {"555 gets an opaque alpha bit and nothing else changes",
       Synthetic(P::k16bppBGR555, 2, 1, {0x1F, 0x7C, 0xE0, 0x03}),
       {},
       G::kB5G5R5A1Unorm,
       {0x1F, 0xFC, 0xE0, 0x83}},
      {"2-bit gray spreads over 0..255",
       Synthetic(P::k2bppGray, 4, 1, {0b00011011}),
       {},
       G::kR8Unorm,
       {0, 85, 170, 255}},
      {"3 -> 2 columns: each output covers one and a half inputs",
       Synthetic(P::k8bppGray, 3, 1, {0, 90, 180}),
       Options(2),
       G::kR8Unorm,
       {30, 150}},
      {"4 x 2 -> 2 x 1: each output is the mean of a 2 x 2 block, alpha included",
       Synthetic(P::k32bppRGBA, 4, 2, {10, 0, 0, 255, 30, 0, 0, 255, 0, 0, 0, 0, 0,   0,   0,   0,  //
                                       50, 4, 0, 255, 70, 8, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255}),
       Options(2),
       G::kR8G8B8A8Unorm,
       {40, 3, 0, 255, 64, 64, 64, 64}},
      {"565 red, green, blue, white on a device without 565",
       Synthetic(P::k16bppBGR565, 4, 1, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF}),
       Options(0, true, no_565),
       G::kR8G8B8A8Unorm,
       {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255},
       true},
      {"extended range has no GL format (0x180 bias reads as 0)",
       Synthetic(P::k32bppRGBA1010102XR, 1, 1, {0x80, 0x01, 0x06, 0xD8}),
       {},
       G::kR8G8B8A8Unorm,
       {0, 0, 0, 255},
       true},
      {"mips need four channels",
       Synthetic(P::k96bppRGBFloat, 1, 1, {}),
       {},
       G::kR32G32B32A32Float,
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x3F}},  // alpha 1.0f
      {"a single level keeps three", Synthetic(P::k96bppRGBFloat, 1, 1, {}), Options(0, false),
       G::kR32G32B32Float, Bytes(12, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TextureImage texture;
    ASSERT_EQ(PrepareTexture(c.image, c.options, texture), ImageResult::kOk);
    EXPECT_EQ(texture.gpuFormat, c.gpu);
    EXPECT_EQ(texture.pixels, c.pixels);
    EXPECT_EQ(texture.rowPitch * texture.height, c.pixels.size());
    EXPECT_EQ(texture.generateMips, c.options.wantMips);
    EXPECT_EQ(texture.texels.opaque, c.opaque);
  }
}

// What drawing may leave out is read off the prepared pixels: where any alpha is,
// whether all of it is full, and whether every texel is one colour (as sampled, so
// in RGBA order whatever the layout).
TEST(TexturePreparation, SummarizesCoverageOpacityAndOneColourPictures) {
  const Bytes clear = {0, 0, 0, 0}, seen = {9, 9, 9, 40};
  Bytes sparse;  // 4 x 2: alpha at (1, 0) and (2, 1) only
  for (const Bytes* texel : {&clear, &seen, &clear, &clear, &clear, &clear, &seen, &clear})
    sparse.insert(sparse.end(), texel->begin(), texel->end());
  Bytes bgra;
  for (int i = 0; i < 4; ++i) bgra.insert(bgra.end(), {10, 20, 30, 255});
  struct Case {
    const char* what;
    DecodedImage image;
    bool opaque;
    UvRect covered;
    std::optional<base::XMFLOAT4> uniform;
  };
  const Case cases[] = {
      {"alpha in the middle columns",
       Synthetic(PixelFormat::k32bppRGBA, 4, 2, sparse),
       false,
       {0.25f, 0.0f, 0.75f, 1.0f},
       std::nullopt},
      {"one opaque colour, stored BGRA",
       Synthetic(PixelFormat::k32bppBGRA, 2, 2, bgra),
       true,
       {},
       base::XMFLOAT4{30 / 255.0f, 20 / 255.0f, 10 / 255.0f, 1.0f}},
      {"nothing but transparent texels",
       Synthetic(PixelFormat::k32bppRGBA, 3, 3, {}),
       false,
       {0.0f, 0.0f, 0.0f, 0.0f},
       base::XMFLOAT4{0.0f, 0.0f, 0.0f, 0.0f}},
      {"other formats are not looked at",
       Synthetic(PixelFormat::k8bppGray, 2, 1, {255, 255}),
       false,
       {},
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TextureImage texture;
    ASSERT_EQ(PrepareTexture(c.image, Options(0), texture), ImageResult::kOk);
    const TexelSummary& texels = texture.texels;
    EXPECT_EQ(texels.opaque, c.opaque);
    EXPECT_FLOAT_EQ(texels.covered.left, c.covered.left);
    EXPECT_FLOAT_EQ(texels.covered.top, c.covered.top);
    EXPECT_FLOAT_EQ(texels.covered.right, c.covered.right);
    EXPECT_FLOAT_EQ(texels.covered.bottom, c.covered.bottom);
    ASSERT_EQ(texels.uniform.has_value(), c.uniform.has_value());
    if (!c.uniform) continue;
    EXPECT_FLOAT_EQ(texels.uniform->x, c.uniform->x);
    EXPECT_FLOAT_EQ(texels.uniform->y, c.uniform->y);
    EXPECT_FLOAT_EQ(texels.uniform->z, c.uniform->z);
    EXPECT_FLOAT_EQ(texels.uniform->w, c.uniform->w);
  }
}

TEST(TexturePreparation, EveryEightBitValueSurvivesATripThroughHalfFloats) {
  Bytes ramp(256);
  for (int i = 0; i < 256; ++i) ramp[i] = static_cast<uint8_t>(i);
  DecodedImage half, back;
  ASSERT_EQ(ConvertImage(Synthetic(PixelFormat::k8bppGray, 256, 1, ramp), PixelFormat::k64bppRGBAHalf, 256, 1,
                         half),
            ImageResult::kOk);
  uint16_t one;
  std::memcpy(&one, &half.pixels[255 * 8], 2);
  EXPECT_EQ(one, 0x3C00);  // 1.0
  ASSERT_EQ(ConvertImage(half, PixelFormat::k8bppGray, 256, 1, back), ImageResult::kOk);
  EXPECT_EQ(back.pixels, ramp);
}

TEST(TexturePreparation, RefusalsCarryTheirCodes) {
  TextureImage texture;
  // In the conversion table, but no converter reads premultiplied pixels.
  EXPECT_EQ(PrepareTexture(Synthetic(PixelFormat::k32bppPBGRA, 1, 1, {}), {}, texture),
            ImageResult::kUnexpected);
  EXPECT_EQ(PrepareTexture(Synthetic(PixelFormat::kUnknown, 1, 1, {1}), {}, texture),
            ImageResult::kNotSupported);
  DecodedImage short_buffer = Synthetic(PixelFormat::k32bppRGBA, 4, 4, {});
  short_buffer.pixels.resize(20);
  EXPECT_EQ(PrepareTexture(short_buffer, {}, texture), ImageResult::kInvalidArgument);
  EXPECT_TRUE(texture.pixels.empty());
  EXPECT_EQ(PrepareTexture(DecodedImage{}, {}, texture), ImageResult::kInvalidArgument);
}

}  // namespace
}  // namespace graphics
