// A render device that draws nothing and remembers every call: for tests and the
// headless runner, which check what would have been drawn.
#pragma once

#include "graphics/render_device.h"

namespace graphics::recording {

class RecordingTexture final : public Texture {
 public:
  RecordingTexture(std::uint32_t width, std::uint32_t height, const TexelSummary& texels = {})
      : width_(width), height_(height), texels_(texels) {}
  std::uint32_t Width() const override { return width_; }
  std::uint32_t Height() const override { return height_; }
  const TexelSummary& Texels() const override { return texels_; }

 private:
  std::uint32_t width_;
  std::uint32_t height_;
  TexelSummary texels_;
};

struct ClearRecord {
  float rgba[4];
  long long frame;
  std::size_t order;  // draws of either kind recorded before it
};

// One Draw of a mesh.
struct DrawRecord {
  std::vector<Vertex> vertices;
  std::vector<std::uint16_t> indices;
  base::Matrix4 view;        // transposed, as uploaded
  base::Matrix4 projection;  // transposed, as uploaded
  ObjectConstants object;
  const Texture* texture;  // not owned; may dangle once its source is gone
  long long frame;
  std::size_t order;  // draws of either kind recorded before this one
};

// One DrawSprites: a batch of sprites.
struct SpriteBatchRecord {
  std::vector<SpriteVertex> corners;  // kCornersPerSprite a sprite, in drawing order
  base::Matrix4 view;                 // transposed, as uploaded
  base::Matrix4 projection;           // transposed, as uploaded
  const Texture* texture;             // not owned; may dangle once its sources are gone
  SpriteBatchLook look;
  long long frame;
  std::size_t order;  // draws of either kind recorded before this one

  std::size_t Sprites() const { return corners.size() / kCornersPerSprite; }
};

class RecordingRenderDevice final : public RenderDevice {
 public:
  explicit RecordingRenderDevice(std::uint32_t maxTextureSize = 16384) : maxTextureSize_(maxTextureSize) {}

  int Initialize(int width, int height) override;
  int CompileShader(ShaderProgram program, ShaderStage stage, const std::string& source,
                    std::string& log) override;
  void Clear(const float rgba[4]) override;
  void SetViewBlock(const base::Matrix4& view) override { view_ = view; }
  void SetProjectionBlock(const base::Matrix4& projection) override { projection_ = projection; }
  void SetObjectBlock(const ObjectConstants& constants) override { object_ = constants; }
  void Draw(const std::vector<Vertex>& vertices, const std::vector<std::uint16_t>& indices,
            const Texture* texture) override;
  void DrawSprites(std::span<const SpriteVertex> corners, const Texture* texture,
                   const SpriteBatchLook& look) override;
  // The picture is drawn at its size.
  float PictureScale() const override { return 1.0f; }
  std::unique_ptr<Texture> CreateTexture(const TextureImage& image) override;
  std::uint32_t MaxTextureSize() const override { return maxTextureSize_; }
  void Present() override { ++frame_; }
  bool ReadPicture(Picture&) override { return false; }

  const std::vector<ClearRecord>& Clears() const { return clears_; }
  // Mesh draws and sprite batches; `order` tells how they interleave.
  const std::vector<DrawRecord>& Draws() const { return draws_; }
  const std::vector<SpriteBatchRecord>& SpriteBatches() const { return spriteBatches_; }
  // Frames presented so far; records carry the frame they belong to.
  long long Frame() const { return frame_; }
  int TexturesCreated() const { return texturesCreated_; }
  int ShadersCompiled() const { return shadersCompiled_; }
  // Forgets the records (long headless runs keep memory flat this way).
  void ForgetRecords();

 private:
  std::size_t DrawsRecorded() const { return draws_.size() + spriteBatches_.size(); }

  std::uint32_t maxTextureSize_;
  base::Matrix4 view_{};
  base::Matrix4 projection_{};
  ObjectConstants object_{};
  std::vector<ClearRecord> clears_;
  std::vector<DrawRecord> draws_;
  std::vector<SpriteBatchRecord> spriteBatches_;
  long long frame_ = 0;
  int texturesCreated_ = 0;
  int shadersCompiled_ = 0;
};

}  // namespace graphics::recording
