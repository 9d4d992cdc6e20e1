// Cost of turning a typical sprite sheet (512 x 512 RGBA PNG) into texture pixels:
// decoding alone, decoding plus preparation, and preparation with a shrink to half.
#include <cmath>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>
#include <png.h>

#include "graphics/image_decoder.h"

namespace {

// A 512 x 512 RGBA picture with smooth areas, edges and transparency, compressed by
// libpng's defaults the way an art tool would write it.
const std::vector<uint8_t>& SpriteSheetPng() {
  static const std::vector<uint8_t> file = [] {
    constexpr uint32_t kSide = 512;
    std::vector<uint8_t> rgba(kSide * kSide * 4);
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < kSide; ++y) {
      for (uint32_t x = 0; x < kSide; ++x) {
        noise = noise * 1664525u + 1013904223u;
        uint8_t* p = &rgba[(y * kSide + x) * 4];
        const float dx = static_cast<float>(x % 64) - 32.0f;
        const float dy = static_cast<float>(y % 64) - 32.0f;
        const bool inside = dx * dx + dy * dy < 28.0f * 28.0f;
        p[0] = static_cast<uint8_t>(x / 2);
        p[1] = static_cast<uint8_t>(y / 2);
        p[2] = static_cast<uint8_t>(128 + (noise >> 28));
        p[3] = inside ? 255 : 0;
      }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kSide;
    image.height = kSide;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
    std::vector<uint8_t> bytes(size);
    png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba.data(), 0, nullptr);
    bytes.resize(size);
    return bytes;
  }();
  return file;
}

void BM_DecodePng512(benchmark::State& state) {
  const auto& file = SpriteSheetPng();
  std::string reason;
  for (auto _ : state) {
    graphics::DecodedImage image;
    if (graphics::DecodeImage(file, image, reason) != graphics::ImageResult::kOk) {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(image.pixels.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 512 * 512 * 4);
}
BENCHMARK(BM_DecodePng512)->Unit(benchmark::kMillisecond);

void BM_DecodeAndPreparePng512(benchmark::State& state) {
  const auto& file = SpriteSheetPng();
  std::string reason;
  graphics::TextureLoadOptions options;
  options.deviceMaxTextureSize = static_cast<uint32_t>(state.range(0));
  for (auto _ : state) {
    graphics::DecodedImage image;
    graphics::TextureImage texture;
    if (graphics::DecodeImage(file, image, reason) != graphics::ImageResult::kOk ||
        graphics::PrepareTexture(image, options, texture) != graphics::ImageResult::kOk) {
      state.SkipWithError("load failed");
      break;
    }
    benchmark::DoNotOptimize(texture.pixels.data());
  }
}
// 16384: uploaded as decoded; 256: shrunk to a quarter of the area first.
BENCHMARK(BM_DecodeAndPreparePng512)->Arg(16384)->Arg(256)->Unit(benchmark::kMillisecond);

}  // namespace
