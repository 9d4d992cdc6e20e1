// The OpenGL 3.3 core render device, on the context of an SDL window.
#pragma once

#include "graphics/render_device.h"
#include "platform/window.h"

namespace graphics::gl {

class GlRenderDevice final : public RenderDevice {
 public:
  // The surface's GL context must be current; it is not owned and must outlive the device.
  explicit GlRenderDevice(platform::GlSurface& surface);
  ~GlRenderDevice() override;
  GlRenderDevice(const GlRenderDevice&) = delete;
  GlRenderDevice& operator=(const GlRenderDevice&) = delete;

  int Initialize(int width, int height) override;
  int CompileShader(ShaderProgram program, ShaderStage stage, const std::string& source,
                    std::string& log) override;
  void Clear(const float rgba[4]) override;
  void SetViewBlock(const base::Matrix4& view) override;
  void SetProjectionBlock(const base::Matrix4& projection) override;
  void SetObjectBlock(const ObjectConstants& constants) override;
  void Draw(const std::vector<Vertex>& vertices, const std::vector<std::uint16_t>& indices,
            const Texture* texture) override;
  void DrawSprites(std::span<const SpriteVertex> corners, const Texture* texture,
                   const SpriteBatchLook& look) override;
  float PictureScale() const override;
  std::unique_ptr<Texture> CreateTexture(const TextureImage& image) override;
  std::uint32_t MaxTextureSize() const override;
  void Present() override;
  bool ReadPicture(Picture& picture) override;

 private:
  // A program and the two stages it is linked from; 0 for what does not exist.
  struct Program {
    unsigned vertexShader = 0;
    unsigned pixelShader = 0;
    unsigned name = 0;
  };

  // Links a program once both its stages have compiled.
  int LinkProgram(Program& stages, std::string& log);
  // Makes a program current unless it is; false when it has not linked.
  bool UseProgram(ShaderProgram which);
  // The vertex array, streaming vertex buffer and static index buffer of sprite batches.
  void SetUpSpriteBuffers();
  // Copies a batch's corners behind those the frame has drawn so far; returns the
  // index of its first corner in the buffer, or -1 when the buffer cannot be written.
  long long StreamSpriteCorners(std::span<const SpriteVertex> corners);
  // The samplers of unit 0: filtering between mip levels, or the full-size level only.
  enum SamplerKind : unsigned { kMipmapped = 0, kFullSize = 1 };
  void UseSampler(SamplerKind kind);
  // Turns alpha blending on or off unless it already is.
  void SetBlending(bool on);
  // Binds a texture to unit 0; null binds the empty one.
  void BindTexture(const Texture* texture);
  // Points the viewport at the letterboxed picture of the current drawable.
  void UpdateViewport();
  // Uploads a constant block unless it already holds exactly these bytes.
  void SetBlock(unsigned block, const void* data, std::size_t size);

  platform::GlSurface& surface_;
  Program programs_[3];  // by ShaderProgram
  unsigned currentProgram_ = 0;
  // The mesh draw's vertex array and buffers, refilled by each draw.
  unsigned vertexArray_ = 0;
  unsigned vertexBuffer_ = 0;
  unsigned indexBuffer_ = 0;
  // Sprite batches: the vertex buffer takes the batches of a frame one after another
  // and gets a new store at the start of the next frame (or when full), so writing
  // never waits for a draw still reading; the index buffer holds kQuadIndices for
  // kMaxSpritesPerDraw sprites once and for all.
  unsigned spriteVertexArray_ = 0;
  unsigned spriteVertexBuffer_ = 0;
  unsigned spriteIndexBuffer_ = 0;
  std::size_t spriteBufferCapacity_ = 0;  // bytes of the current store
  std::size_t spriteBufferUsed_ = 0;      // bytes of it written this frame
  std::size_t frameBytes_ = 0;            // bytes of corners this frame, over every store
  std::size_t lastFrameBytes_ = 0;        // the same of the frame before
  int storeWrites_ = 0;                   // batches written into the current store
  unsigned blocks_[3] = {0, 0, 0};        // view, projection, object: bindings 0, 1, 2
  // What each block and the mesh index buffer hold now: draws one after another
  // mostly share the view, the projection and the quad's indices, and an upload the
  // buffer already holds costs the driver a new allocation for nothing.
  std::vector<std::uint8_t> blockContents_[3];
  std::vector<std::uint16_t> indexContents_;
  unsigned samplers_[2] = {0, 0};  // by SamplerKind
  SamplerKind boundSampler_ = kMipmapped;
  bool blending_ = true;
  int pictureWidth_ = 1;       // pixels of the picture, as given to Initialize
  unsigned emptyTexture_ = 0;  // bound when a draw has no texture: reads as transparent
  platform::Rect viewport_;
};

}  // namespace graphics::gl
