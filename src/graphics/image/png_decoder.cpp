// PNG decoding through libpng. Every colour type and bit depth; 16-bit samples stay
// 16-bit (in host byte order), palettes stay indexed with their tRNS alphas, and
// transparency keys become an alpha channel. Besides this decoder, only the PNG writer
// beside it (png_writer.cpp) uses libpng.
#include <bit>
#include <csetjmp>
#include <cstring>
#include <new>

#include <png.h>

#include "graphics/image/decoder_limits.h"
#include "graphics/image_decoder.h"

namespace graphics {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Everything the libpng callbacks and the error path touch lives here, outside the
// frame that calls setjmp.
struct PngReadState {
  std::span<const uint8_t> bytes;
  size_t offset = 0;
  char error[160] = "";
  std::vector<png_bytep> rows;
};

void ReadData(png_structp png, png_bytep out, size_t length) {
  auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
  if (length > state->bytes.size() - state->offset) png_error(png, "file truncated");
  std::memcpy(out, state->bytes.data() + state->offset, length);
  state->offset += length;
}

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
  std::snprintf(state->error, sizeof state->error, "%s", message ? message : "libpng error");
  png_longjmp(png, 1);
}

// Warnings (unknown chunks, odd colour profiles) do not stop decoding.
void OnWarning(png_structp, png_const_charp) {}

uint32_t ReadBigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// Calls visit(type, length) for each chunk after the signature, up to and with IEND,
// until it returns false. Returns false when a chunk runs past the end of the file;
// fewer bytes than a chunk header at the end are left to libpng to report.
template <class Visit>
bool WalkChunks(std::span<const uint8_t> bytes, Visit visit) {
  size_t at = sizeof kSignature;
  while (bytes.size() - at >= 8) {
    const uint32_t length = ReadBigEndian32(bytes.data() + at);
    if (bytes.size() - at < 12 || length > bytes.size() - at - 12) return false;
    const uint8_t* type = bytes.data() + at + 4;
    if (!visit(type, length) || std::memcmp(type, "IEND", 4) == 0) return true;
    at += 12 + static_cast<size_t>(length);
  }
  return true;
}

// True when every chunk lies inside the file. libpng allocates a text chunk's
// declared length before reading it, so a few hundred bytes could make it ask for
// 2 GiB; such a file fails on its truncated read anyway, so it is refused before
// libpng sees it.
bool ChunksFitFile(std::span<const uint8_t> bytes) {
  return WalkChunks(bytes, [](const uint8_t*, uint32_t) { return true; });
}

// True when an sRGB chunk (a rendering intent) precedes the image data. Read from
// the chunk list itself: libpng also reports sRGB for ICC profiles it recognises,
// which is not the same thing.
bool HasSrgbChunk(std::span<const uint8_t> bytes) {
  bool srgb = false;
  WalkChunks(bytes, [&srgb](const uint8_t* type, uint32_t length) {
    if (std::memcmp(type, "sRGB", 4) == 0) {
      srgb = length == 1;
      return false;
    }
    return std::memcmp(type, "IDAT", 4) != 0;
  });
  return srgb;
}

// Sets up libpng's transforms for the file's colour type and returns the format the
// rows will then have.
PixelFormat ChooseTransforms(png_structp png, png_infop info) {
  const int colour = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  const bool key = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  const bool wide = depth == 16;
  if (wide && std::endian::native == std::endian::little) png_set_swap(png);

  switch (colour) {
    case PNG_COLOR_TYPE_PALETTE:
      return IndexedFormat(static_cast<uint32_t>(depth));
    case PNG_COLOR_TYPE_GRAY:
      if (key) {
        png_set_expand(png);  // low depths to 8 bits, the key to alpha
        png_set_gray_to_rgb(png);
        break;
      }
      switch (depth) {
        case 1:
          return PixelFormat::kBlackWhite;
        case 2:
          return PixelFormat::k2bppGray;
        case 4:
          return PixelFormat::k4bppGray;
        case 8:
          return PixelFormat::k8bppGray;
        default:
          return PixelFormat::k16bppGray;
      }
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      png_set_gray_to_rgb(png);
      break;
    case PNG_COLOR_TYPE_RGB:
      if (!key) return wide ? PixelFormat::k48bppRGB : PixelFormat::k24bppRGB;
      png_set_tRNS_to_alpha(png);
      break;
    default:  // RGB with alpha
      break;
  }
  // Four channels from here on.
  if (wide) return PixelFormat::k64bppRGBA;
  png_set_bgr(png);
  return PixelFormat::k32bppBGRA;
}

void CopyPalette(png_structp png, png_infop info, DecodedImage& out) {
  out.palette.assign(256, PaletteEntry{});
  png_colorp colours = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &colours, &count) == 0) count = 0;
  for (int i = 0; i < count && i < 256; ++i) {
    out.palette[i] = {colours[i].red, colours[i].green, colours[i].blue, 255};
  }
  png_bytep alphas = nullptr;
  int alphaCount = 0;
  if (png_get_tRNS(png, info, &alphas, &alphaCount, nullptr) != 0 && alphas != nullptr) {
    for (int i = 0; i < alphaCount && i < 256; ++i) out.palette[i].a = alphas[i];
  }
}

// The part that libpng may leave by longjmp: it holds no object with a destructor.
ImageResult ReadImage(png_structp png, png_infop info, PngReadState& state, DecodedImage& out,
                      std::string& reason) {
  if (setjmp(png_jmpbuf(png))) {
    reason = state.error;
    return ImageResult::kBadImage;
  }
  png_set_read_fn(png, &state, ReadData);
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_read_info(png, info);

  const uint32_t width = png_get_image_width(png, info);
  const uint32_t height = png_get_image_height(png, info);
  if (std::string problem = PictureSizeProblem(width, height); !problem.empty()) {
    reason = std::move(problem);
    return ImageResult::kOutOfMemory;
  }
  const PixelFormat format = ChooseTransforms(png, info);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const size_t pitch = png_get_rowbytes(png, info);
  if (pitch != (static_cast<uint64_t>(width) * BitsPerPixel(format) + 7) / 8) {
    reason = "unexpected row size after transforms";
    return ImageResult::kBadImage;
  }
  if (static_cast<uint64_t>(pitch) * height > kMaxDecodedBytes) {
    reason = "image too large to decode";
    return ImageResult::kOutOfMemory;
  }
  if (format <= PixelFormat::k8bppIndexed && format >= PixelFormat::k1bppIndexed) {
    CopyPalette(png, info, out);
  }
  out.pixels.resize(pitch * height);  // may throw; no libpng frame is active here
  state.rows.resize(height);
  for (uint32_t y = 0; y < height; ++y) state.rows[y] = out.pixels.data() + y * pitch;
  png_read_image(png, state.rows.data());
  png_read_end(png, nullptr);

  out.width = width;
  out.height = height;
  out.format = format;
  out.rowPitch = pitch;
  return ImageResult::kOk;
}

class PngDecoder final : public ImageDecoder {
 public:
  bool Recognises(std::span<const uint8_t> bytes) const override {
    return bytes.size() >= sizeof kSignature && std::memcmp(bytes.data(), kSignature, sizeof kSignature) == 0;
  }

  ImageResult Decode(std::span<const uint8_t> bytes, DecodedImage& out, std::string& reason) const override {
    out = DecodedImage{};
    if (!ChunksFitFile(bytes)) {
      reason = "a chunk runs past the end of the file";
      return ImageResult::kBadImage;
    }
    PngReadState state;
    state.bytes = bytes;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
      png_destroy_read_struct(&png, nullptr, nullptr);
      reason = "out of memory";
      return ImageResult::kOutOfMemory;
    }
    ImageResult result;
    try {
      result = ReadImage(png, info, state, out, reason);
    } catch (const std::bad_alloc&) {
      reason = "out of memory";
      result = ImageResult::kOutOfMemory;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (result != ImageResult::kOk) return result;
    out.container = ImageContainer::kPng;
    out.hasSrgbIntent = HasSrgbChunk(bytes);
    return ImageResult::kOk;
  }
};

}  // namespace

std::unique_ptr<ImageDecoder> CreatePngDecoder() { return std::make_unique<PngDecoder>(); }

}  // namespace graphics
