// PNG decoding against PngSuite and libpng's own simplified reader, sRGB detection,
// and the failure reports of unreadable files.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/image_decoder.h"

namespace graphics {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const fs::path kPngSuite = fs::path(VELMARIS_TESTDATA_DIR) / "pngsuite";

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

uint32_t Be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// What the file's own chunks say, read without libpng.
struct PngFacts {
  uint32_t width = 0, height = 0;
  int depth = 0, colour = 0;
  bool key = false;  // tRNS chunk present
  bool interlaced = false;
};

PngFacts ReadFacts(const Bytes& file) {
  PngFacts facts;
  for (size_t at = 8; at + 12 <= file.size();) {
    uint32_t length = Be32(&file[at]);
    std::string type(file.begin() + at + 4, file.begin() + at + 8);
    if (type == "IHDR" && length >= 10) {
      facts.width = Be32(&file[at + 8]);
      facts.height = Be32(&file[at + 12]);
      facts.depth = file[at + 16];
      facts.colour = file[at + 17];
      facts.interlaced = file[at + 20] == 1;
    }
    if (type == "tRNS") facts.key = true;
    at += 12 + static_cast<size_t>(length);
  }
  return facts;
}

// The decoded format the file must come out in.
PixelFormat ExpectedFormat(const PngFacts& f) {
  const bool wide = f.depth == 16;
  switch (f.colour) {
    case 3:
      return f.depth == 1 ? PixelFormat::k1bppIndexed
             : f.depth == 2 ? PixelFormat::k2bppIndexed
             : f.depth == 4 ? PixelFormat::k4bppIndexed
                            : PixelFormat::k8bppIndexed;
    case 0:
      if (f.key) return wide ? PixelFormat::k64bppRGBA : PixelFormat::k32bppBGRA;
      return f.depth == 1 ? PixelFormat::kBlackWhite
             : f.depth == 2 ? PixelFormat::k2bppGray
             : f.depth == 4 ? PixelFormat::k4bppGray
             : f.depth == 8 ? PixelFormat::k8bppGray
                            : PixelFormat::k16bppGray;
    case 2:
      if (!f.key) return wide ? PixelFormat::k48bppRGB : PixelFormat::k24bppRGB;
      return wide ? PixelFormat::k64bppRGBA : PixelFormat::k32bppBGRA;
    default:
      return wide ? PixelFormat::k64bppRGBA : PixelFormat::k32bppBGRA;
  }
}

uint32_t Crc32(const uint8_t* data, size_t length) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

// The file with its colour-space chunks replaced by an sRGB chunk, so that libpng's
// simplified reader neither gamma-corrects nor takes 16-bit samples as linear: the
// texture loader keeps the stored values.
Bytes AsPlainSrgb(const Bytes& file) {
  Bytes out(file.begin(), file.begin() + 8);
  const uint8_t srgb[] = {0, 0, 0, 1, 's', 'R', 'G', 'B', 0};
  auto add_srgb = [&] {
    out.insert(out.end(), std::begin(srgb), std::end(srgb));
    uint32_t crc = Crc32(srgb + 4, 5);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(crc >> shift));
  };
  for (size_t at = 8; at + 12 <= file.size();) {
    size_t length = Be32(&file[at]);
    std::string type(file.begin() + at + 4, file.begin() + at + 8);
    size_t end = std::min(file.size(), at + 12 + length);
    if (type != "gAMA" && type != "cHRM" && type != "iCCP" && type != "sRGB" && type != "sBIT") {
      out.insert(out.end(), file.begin() + at, file.begin() + end);
    }
    if (type == "IHDR") add_srgb();
    at = end;
  }
  return out;
}

// libpng's own reading as 8-bit RGBA.
bool ReferenceRgba(const Bytes& file, Bytes& rgba) {
  Bytes plain = AsPlainSrgb(file);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, plain.data(), plain.size())) return false;
  image.format = PNG_FORMAT_RGBA;
  rgba.assign(PNG_IMAGE_SIZE(image), 0);
  bool ok = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

std::vector<fs::path> SuiteFiles(bool broken) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kPngSuite)) {
    const auto name = entry.path().filename().string();
    if (entry.path().extension() == ".png" && (name[0] == 'x') == broken) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(PngSuite, GoodFilesDecodeWithTheirFormatSizeAndPixels) {
  const auto files = SuiteFiles(false);
  ASSERT_GE(files.size(), 150u);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    const Bytes file = ReadFile(path);
    const PngFacts facts = ReadFacts(file);
    DecodedImage image;
    ASSERT_EQ(DecodeImageFile(path.string(), image), ImageResult::kOk);
    EXPECT_EQ(image.container, ImageContainer::kPng);
    EXPECT_EQ(image.width, facts.width);
    EXPECT_EQ(image.height, facts.height);
    EXPECT_EQ(PixelFormatName(image.format), PixelFormatName(ExpectedFormat(facts)));
    EXPECT_FALSE(image.has_srgb_intent);  // no PngSuite file has the chunk

    // libpng's simplified reader garbles the first rows of interlaced 16-bit files;
    // those are read from their non-interlaced twin, which holds the same picture.
    const std::string name = path.filename().string();
    const bool twin = facts.interlaced && facts.depth == 16;
    Bytes reference;
    ASSERT_TRUE(ReferenceRgba(twin ? ReadFile(kPngSuite / ("basn" + name.substr(4))) : file,
                              reference));
    DecodedImage rgba;
    ASSERT_EQ(ConvertImage(image, PixelFormat::k32bppRGBA, image.width, image.height, rgba),
              ImageResult::kOk);
    ASSERT_EQ(rgba.pixels.size(), reference.size());
    // 16-bit samples reach 8 bits by a different rounding in libpng.
    const int tolerance = facts.depth == 16 ? 1 : 0;
    int worst = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
      worst = std::max(worst, std::abs(int{rgba.pixels[i]} - int{reference[i]}));
    }
    EXPECT_LE(worst, tolerance);
  }
}

TEST(PngSuite, SixteenBitSamplesKeepSixteenBits) {
  DecodedImage image;
  ASSERT_EQ(DecodeImageFile((kPngSuite / "basn0g16.png").string(), image), ImageResult::kOk);
  ASSERT_EQ(image.format, PixelFormat::k16bppGray);
  // A 16-bit gradient: some sample has a low byte that 8 bits could not hold.
  bool fine_step = false;
  for (size_t i = 0; i + 1 < image.pixels.size(); i += 2) {
    uint16_t v;
    std::memcpy(&v, &image.pixels[i], 2);
    if (v % 257 != 0) fine_step = true;
  }
  EXPECT_TRUE(fine_step);

  TextureImage texture;
  ASSERT_EQ(PrepareTexture(image, {}, texture), ImageResult::kOk);
  EXPECT_EQ(texture.gpu_format, GpuFormat::kR16Unorm);
  EXPECT_EQ(texture.gl.internal_format, GlInternalFormat::kR16);
  EXPECT_EQ(texture.pixels, image.pixels);
}

TEST(PngSuite, InterlacedFilesMatchTheirProgressiveTwins) {
  for (const char* pair : {"0g01", "0g16", "2c08", "3p04", "4a16", "6a08"}) {
    SCOPED_TRACE(pair);
    DecodedImage interlaced, plain;
    ASSERT_EQ(DecodeImageFile((kPngSuite / ("basi" + std::string(pair) + ".png")).string(),
                              interlaced),
              ImageResult::kOk);
    ASSERT_EQ(DecodeImageFile((kPngSuite / ("basn" + std::string(pair) + ".png")).string(), plain),
              ImageResult::kOk);
    EXPECT_EQ(interlaced.format, plain.format);
    EXPECT_EQ(interlaced.pixels, plain.pixels);
  }
}

TEST(PngSuite, BrokenFilesAreRefusedWithOneLineNamingTheFile) {
  const auto files = SuiteFiles(true);
  ASSERT_EQ(files.size(), 14u);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    DecodedImage image;
    image.width = 7;
    testing::internal::CaptureStderr();
    ImageResult result = DecodeImageFile(path.string(), image);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(result, ImageResult::kOk);
    EXPECT_EQ(image.width, 0u);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_NE(err.find(path.string()), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
}

TEST(PngSuite, EveryTruncationOfAFileIsRefusedSafely) {
  for (const char* name : {"basi3p02.png", "basn6a16.png", "tbbn0g04.png"}) {
    SCOPED_TRACE(name);
    const Bytes file = ReadFile(kPngSuite / name);
    for (size_t length = 0; length < file.size(); ++length) {
      DecodedImage image;
      std::string reason;
      ImageResult result = DecodeImage(std::span(file.data(), length), image, reason);
      // Only the IEND chunk may be missing for the image itself to be whole.
      if (length < file.size() - 12) {
        EXPECT_NE(result, ImageResult::kOk) << length;
      }
      if (result != ImageResult::kOk) {
        EXPECT_FALSE(reason.empty());
      }
    }
  }
}

// ---- sRGB ----

struct MemoryPng {
  Bytes bytes;
};

void WriteToVector(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<MemoryPng*>(png_get_io_ptr(png));
  out->bytes.insert(out->bytes.end(), data, data + length);
}
void NoFlush(png_structp) {}

enum class Chunk { kNone, kSrgb, kGamma };

// A 4 x 2 PNG of the given colour type (8-bit), optionally with an sRGB or gAMA chunk.
Bytes MakePng(int colour_type, Chunk chunk) {
  MemoryPng out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, WriteToVector, NoFlush);
  png_set_IHDR(png, info, 4, 2, 8, colour_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (chunk == Chunk::kSrgb) png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  if (chunk == Chunk::kGamma) png_set_gAMA_fixed(png, info, 45455);
  png_write_info(png, info);
  const int channels = colour_type == PNG_COLOR_TYPE_RGBA ? 4 : colour_type == PNG_COLOR_TYPE_RGB ? 3 : 1;
  std::vector<uint8_t> row(4 * channels);
  for (int y = 0; y < 2; ++y) {
    for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(40 * y + 10 * i);
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out.bytes;
}

GpuFormat PreparedFormat(const Bytes& file, uint32_t flags = 0) {
  DecodedImage image;
  std::string reason;
  if (DecodeImage(file, image, reason) != ImageResult::kOk) return GpuFormat::kUnknown;
  TextureLoadOptions options;
  options.load_flags = flags;
  TextureImage texture;
  if (PrepareTexture(image, options, texture) != ImageResult::kOk) return GpuFormat::kUnknown;
  return texture.gpu_format;
}

TEST(PngSrgb, RenderingIntentChunkSelectsTheSrgbVariant) {
  const Bytes tagged = MakePng(PNG_COLOR_TYPE_RGBA, Chunk::kSrgb);
  const Bytes plain = MakePng(PNG_COLOR_TYPE_RGBA, Chunk::kNone);
  const Bytes gamma_only = MakePng(PNG_COLOR_TYPE_RGBA, Chunk::kGamma);
  ASSERT_FALSE(tagged.empty());

  DecodedImage image;
  std::string reason;
  ASSERT_EQ(DecodeImage(tagged, image, reason), ImageResult::kOk);
  EXPECT_TRUE(image.has_srgb_intent);

  EXPECT_EQ(PreparedFormat(tagged), GpuFormat::kB8G8R8A8UnormSrgb);  // 91
  EXPECT_EQ(PreparedFormat(plain), GpuFormat::kB8G8R8A8Unorm);       // 87
  EXPECT_EQ(PreparedFormat(gamma_only), GpuFormat::kB8G8R8A8Unorm);
  EXPECT_EQ(PreparedFormat(tagged, kLoadIgnoreSrgb), GpuFormat::kB8G8R8A8Unorm);
  EXPECT_EQ(PreparedFormat(plain, kLoadForceSrgb), GpuFormat::kB8G8R8A8UnormSrgb);
  // Converted colour takes the variant of its converted format; gray has none.
  EXPECT_EQ(PreparedFormat(MakePng(PNG_COLOR_TYPE_RGB, Chunk::kSrgb)),
            GpuFormat::kR8G8B8A8UnormSrgb);
  EXPECT_EQ(PreparedFormat(MakePng(PNG_COLOR_TYPE_GRAY, Chunk::kSrgb)), GpuFormat::kR8Unorm);
}

TEST(PngSrgb, SrgbTextureUploadsAsSrgbAlphaInBgraOrder) {
  const fs::path path = fs::temp_directory_path() / "velmaris_srgb_test.png";
  const Bytes tagged = MakePng(PNG_COLOR_TYPE_RGBA, Chunk::kSrgb);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(tagged.data()),
                                              static_cast<std::streamsize>(tagged.size()));
  TextureImage texture;
  ASSERT_EQ(LoadTextureImage(path.string(), {}, texture), ImageResult::kOk);
  fs::remove(path);
  EXPECT_EQ(texture.gl.internal_format, GlInternalFormat::kSRGB8_ALPHA8);
  EXPECT_EQ(texture.gl.layout, GlPixelLayout::kBGRA);
  EXPECT_TRUE(texture.generate_mips);
  // First pixel written as R, G, B, A = 0, 10, 20, 30; stored B, G, R, A.
  ASSERT_GE(texture.pixels.size(), 4u);
  EXPECT_EQ(texture.pixels[0], 20);
  EXPECT_EQ(texture.pixels[2], 0);
  EXPECT_EQ(texture.pixels[3], 30);
}

// ---- unreadable files ----

TEST(ImageFiles, MissingFileFailsWithTheFileErrorAndOneLine) {
  const std::string path = "/nonexistent/dir/velmaris_missing.png";
  TextureImage texture;
  testing::internal::CaptureStderr();
  ImageResult result = LoadTextureImage(path, {}, texture);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, ImageResult::kFileNotFound);
  EXPECT_TRUE(texture.pixels.empty());
  EXPECT_EQ(err.rfind("TEXTURE: ", 0), 0u) << err;
  EXPECT_NE(err.find(path), std::string::npos);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

TEST(ImageFiles, DirectoriesEmptyAndForeignFilesAreRefused) {
  DecodedImage image;
  testing::internal::CaptureStderr();
  EXPECT_NE(DecodeImageFile(fs::temp_directory_path().string(), image), ImageResult::kOk);
  testing::internal::GetCapturedStderr();

  std::string reason;
  EXPECT_EQ(DecodeImage({}, image, reason), ImageResult::kUnknownImageFormat);
  const Bytes text = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
  EXPECT_EQ(DecodeImage(text, image, reason), ImageResult::kUnknownImageFormat);
  // The bitmap-array variant of BMP is not a bitmap.
  const Bytes array = ReadFile(fs::path(VELMARIS_TESTDATA_DIR) / "bmpsuite/x/ba-bm.bmp");
  EXPECT_EQ(DecodeImage(array, image, reason), ImageResult::kUnknownImageFormat);
}

}  // namespace
}  // namespace graphics
