// The OpenGL realisation of the GPU formats: gray and alpha swizzles, BGR upload
// orders, padding that must not become alpha, and the GL values themselves.
#include "graphics/gl/gl_texture_format.h"

#include <gtest/gtest.h>

#include <array>

namespace graphics::gl {
namespace {

TEST(GlTextureFormat, GrayShowsGrayNotRedAndBgrOrdersUploadAsBgra) {
  const std::array<GlSwizzle, 4> gray{GlSwizzle::kRed, GlSwizzle::kRed, GlSwizzle::kRed,
                                      GlSwizzle::kOne};
  for (GpuFormat format : {GpuFormat::kR8Unorm, GpuFormat::kR16Unorm, GpuFormat::kR16Float,
                           GpuFormat::kR32Float}) {
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
  EXPECT_EQ(GlFormatFor(GpuFormat::kB8G8R8A8UnormSrgb)->internalFormat,
            GlInternalFormat::kSRGB8_ALPHA8);
  EXPECT_EQ(GlFormatFor(GpuFormat::kB5G5R5A1Unorm)->layout, GlPixelLayout::kBGRA);
  // Padding bytes must not become alpha.
  EXPECT_EQ(GlFormatFor(GpuFormat::kB8G8R8X8Unorm)->internalFormat, GlInternalFormat::kRGB8);
  EXPECT_FALSE(GlFormatFor(GpuFormat::kR8G8B8A8Unorm)->needsSwizzle);
  EXPECT_EQ(static_cast<uint32_t>(GlFormatFor(GpuFormat::kR8G8B8A8Unorm)->internalFormat),
            0x8058u);  // GL_RGBA8
}

}  // namespace
}  // namespace graphics::gl
