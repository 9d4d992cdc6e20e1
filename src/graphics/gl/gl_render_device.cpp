#include "graphics/gl/gl_render_device.h"

#include <algorithm>
#include <cstring>

#include <epoxy/gl.h>

#include "graphics/image_decoder.h"

namespace graphics::gl {
namespace {

enum Block : unsigned { kViewBlock = 0, kProjectionBlock = 1, kObjectBlock = 2 };
constexpr const char* kBlockNames[3] = {"ViewBlock", "ProjectionBlock", "ObjectBlock"};

class GlTexture final : public Texture {
 public:
  GlTexture(GLuint name, std::uint32_t width, std::uint32_t height)
      : name_(name), width_(width), height_(height) {}
  ~GlTexture() override { glDeleteTextures(1, &name_); }
  GlTexture(const GlTexture&) = delete;
  GlTexture& operator=(const GlTexture&) = delete;

  GLuint Name() const { return name_; }
  std::uint32_t Width() const override { return width_; }
  std::uint32_t Height() const override { return height_; }

 private:
  GLuint name_;
  std::uint32_t width_;
  std::uint32_t height_;
};

// Replaces a constant block's whole storage rather than writing into it: a buffer the
// previous draw still reads would make the driver wait for that draw first.
void UploadBlock(GLuint buffer, const void* data, GLsizeiptr size) {
  glBindBuffer(GL_UNIFORM_BUFFER, buffer);
  glBufferData(GL_UNIFORM_BUFFER, size, data, GL_STREAM_DRAW);
}

// The info log of a shader (glGetShaderiv, glGetShaderInfoLog) or a program
// (glGetProgramiv, glGetProgramInfoLog).
std::string InfoLog(GLuint name, void (*getIv)(GLuint, GLenum, GLint*),
                    void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*)) {
  GLint length = 0;
  getIv(name, GL_INFO_LOG_LENGTH, &length);
  std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
  getLog(name, length, nullptr, log.data());
  log.resize(std::strlen(log.c_str()));
  return log;
}

}  // namespace

GlRenderDevice::GlRenderDevice(platform::GlSurface& surface) : surface_(surface) {}

GlRenderDevice::~GlRenderDevice() {
  if (program_ != 0) glDeleteProgram(program_);
  if (vertexShader_ != 0) glDeleteShader(vertexShader_);
  if (pixelShader_ != 0) glDeleteShader(pixelShader_);
  glDeleteBuffers(3, blocks_);
  glDeleteBuffers(1, &vertexBuffer_);
  glDeleteBuffers(1, &indexBuffer_);
  glDeleteVertexArrays(1, &vertexArray_);
  glDeleteSamplers(1, &sampler_);
  glDeleteTextures(1, &emptyTexture_);
}

int GlRenderDevice::Initialize(int width, int height) {
  if (width <= 0 || height <= 0) return -1;
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_STENCIL_TEST);
  // Nothing is culled: a sprite mirrored by a negative x or y scale (the usual way to
  // face left) turns its quad's back to the camera and must still be drawn.
  glDisable(GL_CULL_FACE);
  // Colour blends by source alpha; the picture's own alpha takes the source's.
  glEnable(GL_BLEND);
  glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ZERO);
  glBlendEquation(GL_FUNC_ADD);
  UpdateViewport();

  glGenBuffers(3, blocks_);
  const GLsizeiptr sizes[3] = {sizeof(base::Matrix4), sizeof(base::Matrix4), sizeof(ObjectConstants)};
  for (unsigned block = 0; block < 3; ++block) {
    glBindBuffer(GL_UNIFORM_BUFFER, blocks_[block]);
    glBufferData(GL_UNIFORM_BUFFER, sizes[block], nullptr, GL_DYNAMIC_DRAW);
    glBindBufferBase(GL_UNIFORM_BUFFER, block, blocks_[block]);
  }

  glGenVertexArrays(1, &vertexArray_);
  glBindVertexArray(vertexArray_);
  glGenBuffers(1, &vertexBuffer_);
  glGenBuffers(1, &indexBuffer_);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(0));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(12));

  // Linear filtering between texels and mip levels, clamped at the edges: a stretched
  // picture's border texels must not blend with the opposite border (a sheet cell's
  // edge would pick up the far side of the sheet).
  glGenSamplers(1, &sampler_);
  glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
  glBindSampler(0, sampler_);
  glActiveTexture(GL_TEXTURE0);

  const std::uint8_t transparent[4] = {0, 0, 0, 0};
  glGenTextures(1, &emptyTexture_);
  glBindTexture(GL_TEXTURE_2D, emptyTexture_);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, transparent);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  return glGetError() == GL_NO_ERROR ? 0 : -1;
}

void GlRenderDevice::UpdateViewport() {
  const platform::Rect picture = surface_.PictureViewport();
  if (picture.left != viewport_.left || picture.top != viewport_.top ||
      picture.Width() != viewport_.Width() || picture.Height() != viewport_.Height()) {
    viewport_ = picture;
    glViewport(picture.left, picture.top, picture.Width(), picture.Height());
  }
}

int GlRenderDevice::CompileShader(ShaderStage stage, const std::string& source, std::string& log) {
  const GLuint shader = glCreateShader(stage == ShaderStage::kVertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
  const char* text = source.c_str();
  const GLint length = static_cast<GLint>(source.size());
  glShaderSource(shader, 1, &text, &length);
  glCompileShader(shader);
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled != GL_TRUE) {
    log = InfoLog(shader, glGetShaderiv, glGetShaderInfoLog);
    glDeleteShader(shader);
    return -1;
  }
  GLuint& slot = stage == ShaderStage::kVertex ? vertexShader_ : pixelShader_;
  if (slot != 0) glDeleteShader(slot);
  slot = shader;
  if (vertexShader_ != 0 && pixelShader_ != 0) return LinkProgram(log);
  return 0;
}

int GlRenderDevice::LinkProgram(std::string& log) {
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertexShader_);
  glAttachShader(program, pixelShader_);
  glBindAttribLocation(program, 0, "Position");
  glBindAttribLocation(program, 1, "TexCoord");
  glLinkProgram(program);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) {
    log = InfoLog(program, glGetProgramiv, glGetProgramInfoLog);
    glDeleteProgram(program);
    return -1;
  }
  for (unsigned block = 0; block < 3; ++block) {
    const GLuint index = glGetUniformBlockIndex(program, kBlockNames[block]);
    if (index != GL_INVALID_INDEX) glUniformBlockBinding(program, index, block);
  }
  glUseProgram(program);
  const GLint textureUnit = glGetUniformLocation(program, "Texture0");
  if (textureUnit >= 0) glUniform1i(textureUnit, 0);
  if (program_ != 0) glDeleteProgram(program_);
  program_ = program;
  return 0;
}

void GlRenderDevice::Clear(const float rgba[4]) {
  UpdateViewport();
  // The letterbox bars stay black; the colour fills the picture only.
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(viewport_.left, viewport_.top, viewport_.Width(), viewport_.Height());
  glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
}

void GlRenderDevice::SetBlock(unsigned block, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::vector<std::uint8_t>& held = blockContents_[block];
  if (held.size() == size && std::memcmp(held.data(), bytes, size) == 0) return;
  held.assign(bytes, bytes + size);
  UploadBlock(blocks_[block], data, static_cast<GLsizeiptr>(size));
}

void GlRenderDevice::SetViewBlock(const base::Matrix4& view) { SetBlock(kViewBlock, &view, sizeof view); }

void GlRenderDevice::SetProjectionBlock(const base::Matrix4& projection) {
  SetBlock(kProjectionBlock, &projection, sizeof projection);
}

void GlRenderDevice::SetObjectBlock(const ObjectConstants& constants) {
  SetBlock(kObjectBlock, &constants, sizeof constants);
}

void GlRenderDevice::Draw(const std::vector<Vertex>& vertices, const std::vector<std::uint16_t>& indices,
                          const Texture* texture) {
  if (program_ == 0) return;  // the shaders did not compile: nothing can be drawn
  glBindVertexArray(vertexArray_);
  // Each draw replaces the buffers' whole contents, so the driver can orphan the old
  // storage instead of waiting for the previous draw.
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
               GL_STREAM_DRAW);
  if (indices != indexContents_) {
    indexContents_ = indices;
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint16_t)),
                 indices.data(), GL_STREAM_DRAW);
  }
  const auto* glTexture = dynamic_cast<const GlTexture*>(texture);
  glBindTexture(GL_TEXTURE_2D, glTexture != nullptr ? glTexture->Name() : emptyTexture_);
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, nullptr);
}

std::unique_ptr<Texture> GlRenderDevice::CreateTexture(const TextureImage& image) {
  if (image.width == 0 || image.height == 0 || image.pixels.empty()) return nullptr;
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(image.gl.internalFormat),
               static_cast<GLsizei>(image.width), static_cast<GLsizei>(image.height), 0,
               static_cast<GLenum>(image.gl.layout), static_cast<GLenum>(image.gl.type), image.pixels.data());
  if (image.gl.needsSwizzle) {
    GLint swizzle[4];
    for (int i = 0; i < 4; ++i) swizzle[i] = static_cast<GLint>(image.gl.swizzle[i]);
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
  }
  if (image.generateMips) {
    glGenerateMipmap(GL_TEXTURE_2D);
  } else {
    // A texture without its mip chain must say so, or sampling it with mip
    // filtering reads black.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  }
  if (glGetError() != GL_NO_ERROR) {
    glDeleteTextures(1, &name);
    return nullptr;
  }
  return std::make_unique<GlTexture>(name, image.width, image.height);
}

std::uint32_t GlRenderDevice::MaxTextureSize() const {
  GLint size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
  return size > 0 ? static_cast<std::uint32_t>(size) : 0;
}

void GlRenderDevice::Present() { surface_.SwapBuffers(); }

bool GlRenderDevice::ReadPicture(Picture& picture) {
  const int width = viewport_.Width();
  const int height = viewport_.Height();
  if (width <= 0 || height <= 0) return false;
  picture.width = width;
  picture.height = height;
  picture.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
  std::vector<std::uint8_t> bottomUp(picture.rgba.size());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(viewport_.left, viewport_.top, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  const size_t row = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) {
    std::memcpy(&picture.rgba[static_cast<size_t>(y) * row],
                &bottomUp[static_cast<size_t>(height - 1 - y) * row], row);
  }
  return glGetError() == GL_NO_ERROR;
}

}  // namespace graphics::gl
