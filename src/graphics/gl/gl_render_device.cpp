#include "graphics/gl/gl_render_device.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

#include <epoxy/gl.h>

#include "graphics/image_decoder.h"

namespace graphics::gl {
namespace {

enum Block : unsigned { kViewBlock = 0, kProjectionBlock = 1, kObjectBlock = 2 };
constexpr const char* kBlockNames[3] = {"ViewBlock", "ProjectionBlock", "ObjectBlock"};
// Vertex attribute locations, the same in both programs.
enum Attribute : unsigned { kPosition = 0, kTexCoord = 1, kColour = 2 };
// The most batches written into one store of the sprite vertex buffer (512: fewer
// fresh stores for a thousand batches, and no slowdown at ten thousand).
constexpr int kWritesPerStore = 512;
// The smallest store of the sprite vertex buffer: 64 sprites' corners.
constexpr std::size_t kSpriteBufferStartBytes = 64 * kCornersPerSprite * sizeof(SpriteVertex);

// Texels spanning at least this many pixels are sampled from the full-size level: at
// 0.999 mip filtering would take 0.1% of the next level, under half a level in 255.
constexpr float kFullSizeFrom = 0.999f;

std::size_t ProgramIndex(ShaderProgram which) { return static_cast<std::size_t>(which); }

class GlTexture final : public Texture {
 public:
  GlTexture(GLuint name, std::uint32_t width, std::uint32_t height, const TexelSummary& texels)
      : name_(name), width_(width), height_(height), texels_(texels) {}
  ~GlTexture() override { glDeleteTextures(1, &name_); }
  GlTexture(const GlTexture&) = delete;
  GlTexture& operator=(const GlTexture&) = delete;

  GLuint Name() const { return name_; }
  std::uint32_t Width() const override { return width_; }
  std::uint32_t Height() const override { return height_; }
  const TexelSummary& Texels() const override { return texels_; }

 private:
  GLuint name_;
  std::uint32_t width_;
  std::uint32_t height_;
  TexelSummary texels_;
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
  for (const Program& program : programs_) {
    if (program.name != 0) glDeleteProgram(program.name);
    if (program.vertexShader != 0) glDeleteShader(program.vertexShader);
    if (program.pixelShader != 0) glDeleteShader(program.pixelShader);
  }
  glDeleteBuffers(3, blocks_);
  const unsigned buffers[4] = {vertexBuffer_, indexBuffer_, spriteVertexBuffer_, spriteIndexBuffer_};
  glDeleteBuffers(4, buffers);
  const unsigned arrays[2] = {vertexArray_, spriteVertexArray_};
  glDeleteVertexArrays(2, arrays);
  glDeleteSamplers(2, samplers_);
  glDeleteTextures(1, &emptyTexture_);
}

int GlRenderDevice::Initialize(int width, int height) {
  if (width <= 0 || height <= 0) return -1;
  pictureWidth_ = width;
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_STENCIL_TEST);
  // Nothing is culled: a sprite mirrored by a negative x or y scale (the usual way to
  // face left) turns its quad's back to the camera and must still be drawn.
  glDisable(GL_CULL_FACE);
  // Colour blends by source alpha; the picture's own alpha takes the source's.
  glEnable(GL_BLEND);
  blending_ = true;
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
  glEnableVertexAttribArray(kPosition);
  glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(0));
  glEnableVertexAttribArray(kTexCoord);
  glVertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(12));
  SetUpSpriteBuffers();

  // Linear filtering between texels (and, for pictures shown smaller than their size,
  // between mip levels), clamped at the edges: a stretched picture's border texels
  // must not blend with the opposite border (a sheet cell's edge would pick up the far
  // side of the sheet).
  glGenSamplers(2, samplers_);
  glSamplerParameteri(samplers_[kMipmapped], GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glSamplerParameteri(samplers_[kFullSize], GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  for (const GLuint sampler : samplers_) {
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
  }
  boundSampler_ = kMipmapped;
  glBindSampler(0, samplers_[boundSampler_]);
  glActiveTexture(GL_TEXTURE0);

  const std::uint8_t transparent[4] = {0, 0, 0, 0};
  glGenTextures(1, &emptyTexture_);
  glBindTexture(GL_TEXTURE_2D, emptyTexture_);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, transparent);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  return glGetError() == GL_NO_ERROR ? 0 : -1;
}

void GlRenderDevice::SetUpSpriteBuffers() {
  glGenVertexArrays(1, &spriteVertexArray_);
  glBindVertexArray(spriteVertexArray_);
  glGenBuffers(1, &spriteVertexBuffer_);
  glGenBuffers(1, &spriteIndexBuffer_);
  glBindBuffer(GL_ARRAY_BUFFER, spriteVertexBuffer_);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, spriteIndexBuffer_);
  std::vector<std::uint16_t> indices;
  indices.reserve(kMaxSpritesPerDraw * std::size(kQuadIndices));
  for (std::size_t sprite = 0; sprite < kMaxSpritesPerDraw; ++sprite) {
    for (const std::uint16_t corner : kQuadIndices) {
      indices.push_back(static_cast<std::uint16_t>(sprite * kCornersPerSprite + corner));
    }
  }
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint16_t)),
               indices.data(), GL_STATIC_DRAW);
  constexpr GLsizei stride = sizeof(SpriteVertex);
  glEnableVertexAttribArray(kPosition);
  glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(SpriteVertex, x)));
  glEnableVertexAttribArray(kTexCoord);
  glVertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(SpriteVertex, u)));
  glEnableVertexAttribArray(kColour);
  glVertexAttribPointer(kColour, 4, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(SpriteVertex, colour)));
}

void GlRenderDevice::UpdateViewport() {
  const platform::Rect picture = surface_.PictureViewport();
  if (picture.left != viewport_.left || picture.top != viewport_.top ||
      picture.Width() != viewport_.Width() || picture.Height() != viewport_.Height()) {
    viewport_ = picture;
    glViewport(picture.left, picture.top, picture.Width(), picture.Height());
  }
}

int GlRenderDevice::CompileShader(ShaderProgram which, ShaderStage stage, const std::string& source,
                                  std::string& log) {
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
  Program& program = programs_[ProgramIndex(which)];
  GLuint& slot = stage == ShaderStage::kVertex ? program.vertexShader : program.pixelShader;
  if (slot != 0) glDeleteShader(slot);
  slot = shader;
  if (program.vertexShader != 0 && program.pixelShader != 0) return LinkProgram(program, log);
  return 0;
}

int GlRenderDevice::LinkProgram(Program& stages, std::string& log) {
  const GLuint program = glCreateProgram();
  glAttachShader(program, stages.vertexShader);
  glAttachShader(program, stages.pixelShader);
  glBindAttribLocation(program, kPosition, "Position");
  glBindAttribLocation(program, kTexCoord, "TexCoord");
  glBindAttribLocation(program, kColour, "Colour");
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
  currentProgram_ = program;
  const GLint textureUnit = glGetUniformLocation(program, "Texture0");
  if (textureUnit >= 0) glUniform1i(textureUnit, 0);
  if (stages.name != 0) glDeleteProgram(stages.name);
  stages.name = program;
  return 0;
}

bool GlRenderDevice::UseProgram(ShaderProgram which) {
  const GLuint program = programs_[ProgramIndex(which)].name;
  if (program == 0) return false;  // the shaders did not compile: nothing can be drawn
  if (program != currentProgram_) {
    glUseProgram(program);
    currentProgram_ = program;
  }
  return true;
}

void GlRenderDevice::Clear(const float rgba[4]) {
  UpdateViewport();
  int drawableWidth = 0, drawableHeight = 0;
  surface_.GetDrawableSize(drawableWidth, drawableHeight);
  if (viewport_.Width() == drawableWidth && viewport_.Height() == drawableHeight) {
    // No letterbox: one clear of the whole drawable (each clear costs a pass over it).
    glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    return;
  }
  // The letterbox bars stay black; the colour fills the picture only.
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
  if (!UseProgram(ShaderProgram::kMesh)) return;
  UseSampler(kMipmapped);
  SetBlending(true);
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
  BindTexture(texture);
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, nullptr);
}

void GlRenderDevice::DrawSprites(std::span<const SpriteVertex> corners, const Texture* texture,
                                 const SpriteBatchLook& look) {
  const std::size_t sprites = std::min(corners.size() / kCornersPerSprite, kMaxSpritesPerDraw);
  if (sprites == 0 || !UseProgram(look.flat ? ShaderProgram::kFlatSprites : ShaderProgram::kSprites)) return;
  glBindVertexArray(spriteVertexArray_);
  const long long first = StreamSpriteCorners(corners.first(sprites * kCornersPerSprite));
  if (first < 0) return;
  if (!look.flat) {
    BindTexture(texture);
    // Mip filtering shows a texel spanning a pixel or more from the full-size level.
    UseSampler(look.pixelsPerTexel >= kFullSizeFrom ? kFullSize : kMipmapped);
  }
  SetBlending(!look.opaque);
  glDrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(sprites * std::size(kQuadIndices)),
                           GL_UNSIGNED_SHORT, nullptr, static_cast<GLint>(first));
}

long long GlRenderDevice::StreamSpriteCorners(std::span<const SpriteVertex> corners) {
  const std::size_t bytes = corners.size_bytes();
  glBindBuffer(GL_ARRAY_BUFFER, spriteVertexBuffer_);
  if (spriteBufferUsed_ + bytes > spriteBufferCapacity_ || storeWrites_ == kWritesPerStore) {
    // A new store: the draws queued so far keep the old one until they are done. It
    // is sized for what the frame before drew after this point, so that a frame takes
    // few stores (each costs the driver fresh pages), and it takes a bounded number of
    // batches: each write into a store costs software OpenGL time for every draw
    // already queued on it.
    const std::size_t expected = lastFrameBytes_ > frameBytes_ ? lastFrameBytes_ - frameBytes_ : 0;
    spriteBufferCapacity_ = std::max({expected, bytes, kSpriteBufferStartBytes});
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(spriteBufferCapacity_), nullptr, GL_STREAM_DRAW);
    spriteBufferUsed_ = 0;
    storeWrites_ = 0;
  }
  ++storeWrites_;
  // Nothing queued reads the range written here, so the driver need not wait.
  void* target = glMapBufferRange(GL_ARRAY_BUFFER, static_cast<GLintptr>(spriteBufferUsed_),
                                  static_cast<GLsizeiptr>(bytes),
                                  GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT | GL_MAP_UNSYNCHRONIZED_BIT);
  if (target == nullptr) return -1;
  std::memcpy(target, corners.data(), bytes);
  if (glUnmapBuffer(GL_ARRAY_BUFFER) != GL_TRUE) return -1;
  const auto first = static_cast<long long>(spriteBufferUsed_ / sizeof(SpriteVertex));
  spriteBufferUsed_ += bytes;
  frameBytes_ += bytes;
  return first;
}

void GlRenderDevice::UseSampler(SamplerKind kind) {
  if (kind == boundSampler_) return;
  boundSampler_ = kind;
  glBindSampler(0, samplers_[kind]);
}

void GlRenderDevice::SetBlending(bool on) {
  if (on == blending_) return;
  blending_ = on;
  if (on) {
    glEnable(GL_BLEND);
  } else {
    glDisable(GL_BLEND);
  }
}

void GlRenderDevice::BindTexture(const Texture* texture) {
  const auto* glTexture = dynamic_cast<const GlTexture*>(texture);
  glBindTexture(GL_TEXTURE_2D, glTexture != nullptr ? glTexture->Name() : emptyTexture_);
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
  return std::make_unique<GlTexture>(name, image.width, image.height, image.texels);
}

float GlRenderDevice::PictureScale() const {
  return static_cast<float>(viewport_.Width()) / static_cast<float>(pictureWidth_);
}

std::uint32_t GlRenderDevice::MaxTextureSize() const {
  GLint size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
  return size > 0 ? static_cast<std::uint32_t>(size) : 0;
}

void GlRenderDevice::Present() {
  surface_.SwapBuffers();
  // The next frame's first batch starts a new store: writing into one that a draw
  // of this frame read costs software OpenGL far more than a new one, once a frame
  // has a few hundred batches.
  spriteBufferUsed_ = spriteBufferCapacity_;
  lastFrameBytes_ = frameBytes_;
  frameBytes_ = 0;
}

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
