#include "graphics/recording/recording_render_device.h"

#include "graphics/image_decoder.h"

namespace graphics::recording {

int RecordingRenderDevice::Initialize(int width, int height) { return width > 0 && height > 0 ? 0 : -1; }

int RecordingRenderDevice::CompileShader(ShaderProgram, ShaderStage, const std::string& source,
                                         std::string& log) {
  // Nothing to compile against; an empty source is the one thing that cannot work.
  if (source.empty()) {
    log = "empty shader source";
    return -1;
  }
  ++shadersCompiled_;
  return 0;
}

void RecordingRenderDevice::Clear(const float rgba[4]) {
  clears_.push_back({{rgba[0], rgba[1], rgba[2], rgba[3]}, frame_, DrawsRecorded()});
}

void RecordingRenderDevice::Draw(const std::vector<Vertex>& vertices,
                                 const std::vector<std::uint16_t>& indices, const Texture* texture) {
  draws_.push_back({vertices, indices, view_, projection_, object_, texture, frame_, DrawsRecorded()});
}

void RecordingRenderDevice::DrawSprites(std::span<const SpriteVertex> corners, const Texture* texture,
                                        const SpriteBatchLook& look) {
  spriteBatches_.push_back(
      {{corners.begin(), corners.end()}, view_, projection_, texture, look, frame_, DrawsRecorded()});
}

std::unique_ptr<Texture> RecordingRenderDevice::CreateTexture(const TextureImage& image) {
  if (image.width == 0 || image.height == 0 || image.width > maxTextureSize_ ||
      image.height > maxTextureSize_) {
    return nullptr;
  }
  ++texturesCreated_;
  return std::make_unique<RecordingTexture>(image.width, image.height, image.texels);
}

void RecordingRenderDevice::ForgetRecords() {
  clears_.clear();
  clears_.shrink_to_fit();
  draws_.clear();
  draws_.shrink_to_fit();
  spriteBatches_.clear();
  spriteBatches_.shrink_to_fit();
}

}  // namespace graphics::recording
