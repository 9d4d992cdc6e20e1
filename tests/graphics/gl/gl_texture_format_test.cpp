// The OpenGL realisation of the GPU formats: gray and alpha swizzles, BGR upload
// orders, padding that must not become alpha, and the GL values themselves.
#include "graphics/gl/gl_texture_format.h"

#include <array>
#include <utility>

#include <gtest/gtest.h>

namespace graphics::gl {
namespace {

TEST(GlTextureFormat, GrayShowsGrayNotRedAndBgrOrdersUploadAsBgra) {
  const std::array<GlSwizzle, 4> gray{GlSwizzle::kRed, GlSwizzle::kRed, GlSwizzle::kRed, GlSwizzle::kOne};
  for (GpuFormat format :
       {GpuFormat::kR8Unorm, GpuFormat::kR16Unorm, GpuFormat::kR16Float, GpuFormat::kR32Float}) {
    auto gl = GlFormatFor(format);
    ASSERT_TRUE(gl);
    EXPECT_TRUE(gl->needsSwizzle);
    EXPECT_EQ(gl->swizzle, gray);
    EXPECT_EQ(gl->layout, GlPixelLayout::kRed);
  }
  auto alpha = GlFormatFor(GpuFormat::kA8Unorm);
  ASSERT_TRUE(alpha);
  EXPECT_EQ(alpha->swizzle[0], GlSwizzle::kZero);
  EXPECT_EQ(alpha->swizzle[3], GlSwizzle::kRed);

  EXPECT_EQ(GlFormatFor(GpuFormat::kB8G8R8A8Unorm)->layout, GlPixelLayout::kBGRA);
  EXPECT_EQ(GlFormatFor(GpuFormat::kB5G5R5A1Unorm)->layout, GlPixelLayout::kBGRA);
  // Padding bytes must not become alpha.
  EXPECT_EQ(GlFormatFor(GpuFormat::kB8G8R8X8Unorm)->internalFormat, GlInternalFormat::kRGB8);
  EXPECT_FALSE(GlFormatFor(GpuFormat::kR8G8B8A8Unorm)->needsSwizzle);
  EXPECT_EQ(static_cast<uint32_t>(GlFormatFor(GpuFormat::kR8G8B8A8Unorm)->internalFormat),
            0x8058u);  // GL_RGBA8
}

// The frame buffer holds sRGB values as the image files store them; a texture that
// decoded sRGB to linear on sampling drew a grey of 128 as 55.
TEST(GlTextureFormat, SrgbVariantsAreSampledAsStoredLikeTheirPlainForms) {
  const std::pair<GpuFormat, GpuFormat> pairs[] = {
      {GpuFormat::kR8G8B8A8Unorm, GpuFormat::kR8G8B8A8UnormSrgb},
      {GpuFormat::kB8G8R8A8Unorm, GpuFormat::kB8G8R8A8UnormSrgb},
      {GpuFormat::kB8G8R8X8Unorm, GpuFormat::kB8G8R8X8UnormSrgb},
  };
  for (auto [plain, srgb] : pairs) {
    SCOPED_TRACE(static_cast<uint32_t>(srgb));
    ASSERT_EQ(ToSrgbFormat(plain), srgb);
    const auto plainGl = GlFormatFor(plain);
    const auto srgbGl = GlFormatFor(srgb);
    ASSERT_TRUE(plainGl && srgbGl);
    EXPECT_EQ(srgbGl->internalFormat, plainGl->internalFormat);
    EXPECT_EQ(srgbGl->layout, plainGl->layout);
    EXPECT_EQ(srgbGl->type, plainGl->type);
    EXPECT_EQ(srgbGl->swizzle, plainGl->swizzle);
    EXPECT_EQ(srgbGl->canGenerateMips, plainGl->canGenerateMips);
  }
  // Neither GL_SRGB8_ALPHA8 nor GL_SRGB8.
  EXPECT_EQ(static_cast<uint32_t>(GlFormatFor(GpuFormat::kB8G8R8A8UnormSrgb)->internalFormat), 0x8058u);
  EXPECT_EQ(static_cast<uint32_t>(GlFormatFor(GpuFormat::kB8G8R8X8UnormSrgb)->internalFormat), 0x8051u);
}

}  // namespace
}  // namespace graphics::gl
