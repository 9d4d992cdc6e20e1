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
  int CompileShader(ShaderStage stage, const std::string& source, std::string& log) override;
  void Clear(const float rgba[4]) override;
  void SetViewBlock(const base::Matrix4& view) override;
  void SetProjectionBlock(const base::Matrix4& projection) override;
  void SetObjectBlock(const ObjectConstants& constants) override;
  void Draw(const std::vector<Vertex>& vertices, const std::vector<std::uint16_t>& indices,
            const Texture* texture) override;
  std::unique_ptr<Texture> CreateTexture(const TextureImage& image) override;
  std::uint32_t MaxTextureSize() const override;
  void Present() override;
  bool ReadPicture(Picture& picture) override;

 private:
  // Links the program once both stages have compiled, and binds it.
  int LinkProgram(std::string& log);
  // Points the viewport at the letterboxed picture of the current drawable.
  void UpdateViewport();
  // Uploads a constant block unless it already holds exactly these bytes.
  void SetBlock(unsigned block, const void* data, std::size_t size);

  platform::GlSurface& surface_;
  unsigned vertexShader_ = 0;
  unsigned pixelShader_ = 0;
  unsigned program_ = 0;
  unsigned vertexArray_ = 0;
  unsigned vertexBuffer_ = 0;
  unsigned indexBuffer_ = 0;
  unsigned blocks_[3] = {0, 0, 0};  // view, projection, object: bindings 0, 1, 2
  // What each block and the index buffer hold now: sprites drawn one after another
  // mostly share the view, the projection and the quad's indices, and an upload the
  // buffer already holds costs the driver a new allocation for nothing.
  std::vector<std::uint8_t> blockContents_[3];
  std::vector<std::uint16_t> indexContents_;
  unsigned sampler_ = 0;
  unsigned emptyTexture_ = 0;  // bound when a draw has no texture: reads as transparent
  platform::Rect viewport_;
};

}  // namespace graphics::gl
