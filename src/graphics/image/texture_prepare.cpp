// Texture preparation: picks the GPU format for a decoded image, applies the size
// cap and the sRGB rule, and converts or shrinks the pixels into upload order.
#include <algorithm>
#include <cstring>
#include <new>

#include "graphics/image_decoder.h"

namespace graphics {
namespace {

bool IsSrgbImage(const DecodedImage& image, uint32_t load_flags) {
  if (load_flags & kLoadForceSrgb) return true;
  if (load_flags & kLoadIgnoreSrgb) return false;
  if (image.container == ImageContainer::kPng) return image.has_srgb_intent;
  return image.colour_space == 1;
}

bool Supported(const TextureLoadOptions& options, const std::optional<GlTextureFormat>& gl) {
  if (!gl) return false;
  return !options.format_supported || options.format_supported(*gl);
}

}  // namespace

void TargetSize(uint32_t width, uint32_t height, uint32_t max_size, uint32_t& target_width,
                uint32_t& target_height) {
  target_width = width;
  target_height = height;
  if (width <= max_size && height <= max_size) return;
  // The aspect ratio is taken in single precision, as the sizes have always been.
  float ar = static_cast<float>(height) / static_cast<float>(width);
  if (width > height) {
    target_width = max_size;
    target_height = std::max<uint32_t>(1, static_cast<uint32_t>(static_cast<float>(max_size) * ar));
  } else {
    target_height = max_size;
    target_width = std::max<uint32_t>(1, static_cast<uint32_t>(static_cast<float>(max_size) / ar));
  }
}

ImageResult PrepareTexture(const DecodedImage& image, const TextureLoadOptions& options,
                           TextureImage& out) {
  out = TextureImage{};
  const uint32_t source_bits = BitsPerPixel(image.format);
  if (image.width == 0 || image.height == 0 ||
      image.row_pitch < (static_cast<uint64_t>(image.width) * source_bits + 7) / 8 ||
      image.pixels.size() / image.height < image.row_pitch) {
    return ImageResult::kInvalidArgument;
  }

  uint32_t max_size = options.max_size;
  if (max_size == 0) max_size = options.device_max_texture_size;
  if (max_size == 0) max_size = kFallbackMaxTextureSize;
  uint32_t width = 0, height = 0;
  TargetSize(image.width, image.height, max_size, width, height);

  PixelFormat target = image.format;
  GpuFormat gpu = DirectGpuFormat(image.format);
  uint32_t bits = source_bits;
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
  if (gpu == GpuFormat::kR32G32B32Float && options.want_mips) {
    auto gl = GlFormatFor(gpu);
    if (!Supported(options, gl) || !gl->can_generate_mips) {
      target = PixelFormat::k128bppRGBAFloat;
      gpu = GpuFormat::kR32G32B32A32Float;
      bits = 128;
    }
  }
  if (bits == 0) return ImageResult::kFail;

  if (IsSrgbImage(image, options.load_flags)) gpu = ToSrgbFormat(gpu);

  auto gl = GlFormatFor(gpu);
  if (!Supported(options, gl)) {
    target = PixelFormat::k32bppRGBA;
    gpu = GpuFormat::kR8G8B8A8Unorm;
    bits = 32;
    gl = GlFormatFor(gpu);
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
      std::memcpy(out.pixels.data() + y * pitch, image.pixels.data() + y * image.row_pitch,
                  pitch);
    }
  } else {
    DecodedImage converted;
    ImageResult result = ConvertImage(image, target, width, height, converted);
    if (result != ImageResult::kOk) return result;
    out.pixels = std::move(converted.pixels);
  }

  out.width = width;
  out.height = height;
  out.gpu_format = gpu;
  out.pixel_format = target;
  out.gl = *gl;
  out.bits_per_pixel = bits;
  out.row_pitch = static_cast<size_t>(pitch);
  out.generate_mips = options.want_mips && gl->can_generate_mips;
  return ImageResult::kOk;
}

}  // namespace graphics
