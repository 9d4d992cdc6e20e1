// Texture preparation: picks the GPU format for a decoded image, applies the size
// cap and the sRGB rule, and converts or shrinks the pixels into upload order.
#include <algorithm>
#include <cstring>
#include <new>

#include "graphics/image_decoder.h"

namespace graphics {
namespace {

bool IsSrgbImage(const DecodedImage& image, uint32_t loadFlags) {
  if (loadFlags & kLoadForceSrgb) return true;
  if (loadFlags & kLoadIgnoreSrgb) return false;
  if (image.container == ImageContainer::kPng) return image.hasSrgbIntent;
  return image.colourSpace == 1;
}

bool Supported(const TextureLoadOptions& options, const std::optional<gl::GlTextureFormat>& glFormat) {
  if (!glFormat) return false;
  return !options.formatSupported || options.formatSupported(*glFormat);
}

// One pass over prepared 8-bit RGBA or BGRA pixels; nothing is known of the other
// formats.
TexelSummary SummarizeTexels(const TextureImage& image) {
  const bool bgra = image.pixelFormat == PixelFormat::k32bppBGRA;
  if (!bgra && image.pixelFormat != PixelFormat::k32bppRGBA) return {};
  const uint8_t* first = image.pixels.data();
  bool opaque = true;
  bool uniform = true;
  uint32_t left = image.width, top = image.height, right = 0, bottom = 0;  // covered texels
  for (uint32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = image.pixels.data() + y * image.rowPitch;
    for (uint32_t x = 0; x < image.width; ++x) {
      const uint8_t* texel = row + x * 4;
      opaque = opaque && texel[3] == 0xFF;
      uniform = uniform && std::memcmp(texel, first, 4) == 0;
      if (texel[3] == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x + 1);
      top = std::min(top, y);
      bottom = std::max(bottom, y + 1);
    }
  }
  TexelSummary summary;
  summary.opaque = opaque;
  const auto width = static_cast<float>(image.width);
  const auto height = static_cast<float>(image.height);
  summary.covered = right == 0
                        ? UvRect{0.0f, 0.0f, 0.0f, 0.0f}
                        : UvRect{static_cast<float>(left) / width, static_cast<float>(top) / height,
                                 static_cast<float>(right) / width, static_cast<float>(bottom) / height};
  if (uniform) {
    // As sampled: the sRGB forms are stored as their bytes too, never decoded.
    summary.uniform = base::XMFLOAT4{first[bgra ? 2 : 0] / 255.0f, first[1] / 255.0f,
                                     first[bgra ? 0 : 2] / 255.0f, first[3] / 255.0f};
  }
  return summary;
}

}  // namespace

void TargetSize(uint32_t width, uint32_t height, uint32_t maxSize, uint32_t& targetWidth,
                uint32_t& targetHeight) {
  targetWidth = width;
  targetHeight = height;
  if (width <= maxSize && height <= maxSize) return;
  // The aspect ratio is taken in single precision, as the sizes have always been.
  float ar = static_cast<float>(height) / static_cast<float>(width);
  if (width > height) {
    targetWidth = maxSize;
    targetHeight = std::max<uint32_t>(1, static_cast<uint32_t>(static_cast<float>(maxSize) * ar));
  } else {
    targetHeight = maxSize;
    targetWidth = std::max<uint32_t>(1, static_cast<uint32_t>(static_cast<float>(maxSize) / ar));
  }
}

ImageResult PrepareTexture(const DecodedImage& image, const TextureLoadOptions& options, TextureImage& out) {
  out = TextureImage{};
  const uint32_t sourceBits = BitsPerPixel(image.format);
  if (image.width == 0 || image.height == 0 ||
      image.rowPitch < (static_cast<uint64_t>(image.width) * sourceBits + 7) / 8 ||
      image.pixels.size() / image.height < image.rowPitch) {
    return ImageResult::kInvalidArgument;
  }

  uint32_t maxSize = options.maxSize;
  if (maxSize == 0) maxSize = options.deviceMaxTextureSize;
  if (maxSize == 0) maxSize = kFallbackMaxTextureSize;
  uint32_t width = 0, height = 0;
  TargetSize(image.width, image.height, maxSize, width, height);

  PixelFormat target = image.format;
  GpuFormat gpu = DirectGpuFormat(image.format);
  uint32_t bits = sourceBits;
  if (gpu == GpuFormat::kUnknown) {
    if (image.format == PixelFormat::k96bppRGBFixedPoint) {
      target = PixelFormat::k96bppRGBFloat;
    } else {
      auto converted = ConversionTarget(image.format);
      if (!converted || DirectGpuFormat(*converted) == GpuFormat::kUnknown) {
        return ImageResult::kNotSupported;
      }
      target = *converted;
    }
    gpu = DirectGpuFormat(target);
    bits = BitsPerPixel(target);
  }
  // Three-channel floats cannot have their mips generated: take four channels.
  if (gpu == GpuFormat::kR32G32B32Float && options.wantMips) {
    const auto glFormat = gl::GlFormatFor(gpu);
    if (!Supported(options, glFormat) || !glFormat->canGenerateMips) {
      target = PixelFormat::k128bppRGBAFloat;
      gpu = GpuFormat::kR32G32B32A32Float;
      bits = 128;
    }
  }
  if (bits == 0) return ImageResult::kFail;

  if (IsSrgbImage(image, options.loadFlags)) gpu = ToSrgbFormat(gpu);

  auto glFormat = gl::GlFormatFor(gpu);
  if (!Supported(options, glFormat)) {
    target = PixelFormat::k32bppRGBA;
    gpu = GpuFormat::kR8G8B8A8Unorm;
    bits = 32;
    glFormat = gl::GlFormatFor(gpu);
  }

  const uint64_t pitch = (static_cast<uint64_t>(width) * bits + 7) / 8;
  const uint64_t size = pitch * height;
  if (pitch > 0xFFFFFFFFu || size > 0xFFFFFFFFu) return ImageResult::kArithmeticOverflow;

  if (target == image.format && width == image.width && height == image.height) {
    try {
      out.pixels.resize(size);
    } catch (const std::bad_alloc&) {
      return ImageResult::kOutOfMemory;
    }
    for (uint32_t y = 0; y < height; ++y) {
      std::memcpy(out.pixels.data() + y * pitch, image.pixels.data() + y * image.rowPitch, pitch);
    }
  } else {
    DecodedImage converted;
    ImageResult result = ConvertImage(image, target, width, height, converted);
    if (result != ImageResult::kOk) return result;
    out.pixels = std::move(converted.pixels);
  }

  out.width = width;
  out.height = height;
  out.gpuFormat = gpu;
  out.pixelFormat = target;
  out.gl = *glFormat;
  out.bitsPerPixel = bits;
  out.rowPitch = static_cast<size_t>(pitch);
  out.generateMips = options.wantMips && glFormat->canGenerateMips;
  out.texels = SummarizeTexels(out);
  return ImageResult::kOk;
}

}  // namespace graphics
