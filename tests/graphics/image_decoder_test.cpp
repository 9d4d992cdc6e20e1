// PNG decoding against PngSuite and libpng's own simplified reader, sRGB detection,
// and the failure reports of unreadable files.
#include "graphics/image_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>

#include "graphics/image_test_support.h"

namespace graphics {
namespace {

namespace fs = std::filesystem;
using gl::GlInternalFormat;
using gl::GlPixelLayout;
using testing_support::Be32;
using testing_support::Bytes;
using testing_support::ForEachChunk;
using testing_support::ReadFile;
using testing_support::WithColourChunks;

const fs::path kPngSuite = fs::path(VELMARIS_TESTDATA_DIR) / "pngsuite";

// What the file's own chunks say, read without libpng.
struct PngFacts {
  uint32_t width = 0, height = 0;
  int depth = 0, colour = 0;
  bool key = false;  // tRNS chunk present
  bool interlaced = false;
};

PngFacts ReadFacts(const Bytes& file) {
  PngFacts facts;
  ForEachChunk(file, [&](const std::string& type, std::span<const uint8_t> chunk) {
    if (type == "tRNS") facts.key = true;
    if (type != "IHDR" || chunk.size() < 21) return;
    facts.width = Be32(&chunk[8]);
    facts.height = Be32(&chunk[12]);
    facts.depth = chunk[16];
    facts.colour = chunk[17];
    facts.interlaced = chunk[20] == 1;
  });
  return facts;
}

// The decoded format the file must come out in.
PixelFormat ExpectedFormat(const PngFacts& f) {
  using P = PixelFormat;
  const bool wide = f.depth == 16;
  const int step = std::countr_zero(static_cast<unsigned>(f.depth));  // 1, 2, 4, 8, 16 bits: 0 to 4
  if (f.colour == 3)
    return std::array{P::k1bppIndexed, P::k2bppIndexed, P::k4bppIndexed, P::k8bppIndexed}[step];
  if (f.colour == 0 && !f.key) {
    return std::array{P::kBlackWhite, P::k2bppGray, P::k4bppGray, P::k8bppGray, P::k16bppGray}[step];
  }
  if (f.colour == 2 && !f.key) return wide ? P::k48bppRGB : P::k24bppRGB;
  return wide ? P::k64bppRGBA : P::k32bppBGRA;  // alpha, or a transparent colour key
}

// libpng's own reading as 8-bit RGBA.
bool ReferenceRgba(const Bytes& file, Bytes& rgba) {
  Bytes plain = WithColourChunks(file, true);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, plain.data(), plain.size())) return false;
  image.format = PNG_FORMAT_RGBA;
  rgba.assign(PNG_IMAGE_SIZE(image), 0);
  bool ok = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

// The broken files of the suite start with 'x': refused with one line naming the file.
void ExpectRefused(const fs::path& path) {
  DecodedImage image;
  image.width = 7;
  testing::internal::CaptureStderr();
  const ImageResult result = DecodeImageFile(path.string(), image);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(result, ImageResult::kOk);
  EXPECT_EQ(image.width, 0u);
  EXPECT_TRUE(image.pixels.empty());
  EXPECT_NE(err.find(path.string()), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

// Good files decode with the format, size and pixels the file's own chunks and
// libpng's simplified reader give.
void ExpectDecoded(const fs::path& path) {
  const std::string name = path.filename().string();
  const Bytes file = ReadFile(path);
  const PngFacts facts = ReadFacts(file);
  DecodedImage image;
  ASSERT_EQ(DecodeImageFile(path.string(), image), ImageResult::kOk);
  EXPECT_EQ(image.container, ImageContainer::kPng);
  EXPECT_EQ(image.width, facts.width);
  EXPECT_EQ(image.height, facts.height);
  EXPECT_EQ(PixelFormatName(image.format), PixelFormatName(ExpectedFormat(facts)));
  EXPECT_FALSE(image.hasSrgbIntent);  // no PngSuite file has the chunk

  // libpng's simplified reader garbles the first rows of interlaced 16-bit files;
  // those are read from their non-interlaced twin, which holds the same picture.
  const bool twin = facts.interlaced && facts.depth == 16;
  Bytes reference;
  ASSERT_TRUE(ReferenceRgba(twin ? ReadFile(kPngSuite / ("basn" + name.substr(4))) : file, reference));
  DecodedImage rgba;
  ASSERT_EQ(ConvertImage(image, PixelFormat::k32bppRGBA, image.width, image.height, rgba), ImageResult::kOk);
  ASSERT_EQ(rgba.pixels.size(), reference.size());
  int worst = 0;
  for (size_t i = 0; i < reference.size(); ++i) {
    worst = std::max(worst, std::abs(int{rgba.pixels[i]} - int{reference[i]}));
  }
  EXPECT_LE(worst, facts.depth == 16 ? 1 : 0);  // libpng rounds 16-bit samples its own way
  // Interlaced files hold the same samples as their progressive twins.
  if (name.starts_with("basi")) {
    DecodedImage plain;
    ASSERT_EQ(DecodeImageFile((kPngSuite / ("basn" + name.substr(4))).string(), plain), ImageResult::kOk);
    EXPECT_EQ(image.pixels, plain.pixels);
  }
}

TEST(PngSuite, EveryFileDecodesAsTheReferenceOrIsRefused) {
  int good = 0, broken = 0;
  for (const auto& entry : fs::directory_iterator(kPngSuite)) {
    if (entry.path().extension() != ".png") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const bool refused = entry.path().filename().string()[0] == 'x';
    refused ? ExpectRefused(entry.path()) : ExpectDecoded(entry.path());
    ++(refused ? broken : good);
  }
  EXPECT_GE(good, 150);
  EXPECT_EQ(broken, 14);
}

TEST(PngSuite, SixteenBitSamplesKeepSixteenBits) {
  DecodedImage image;
  ASSERT_EQ(DecodeImageFile((kPngSuite / "basn0g16.png").string(), image), ImageResult::kOk);
  ASSERT_EQ(image.format, PixelFormat::k16bppGray);
  // A 16-bit gradient: some sample has a low byte that 8 bits could not hold.
  std::vector<uint16_t> samples(image.pixels.size() / 2);
  std::memcpy(samples.data(), image.pixels.data(), samples.size() * 2);
  EXPECT_TRUE(std::any_of(samples.begin(), samples.end(), [](uint16_t v) { return v % 257 != 0; }));

  TextureImage texture;
  ASSERT_EQ(PrepareTexture(image, {}, texture), ImageResult::kOk);
  EXPECT_EQ(texture.gpuFormat, GpuFormat::kR16Unorm);
  EXPECT_EQ(texture.gl.internalFormat, GlInternalFormat::kR16);
  EXPECT_EQ(texture.pixels, image.pixels);
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
        EXPECT_FALSE(reason.empty()) << length;
      }
    }
  }
}

TEST(PngSuite, AChunkLongerThanTheRestOfTheFileIsRefusedBeforeLibpngReadsIt) {
  // An international text chunk after the header declaring 2 GiB of text, which
  // libpng would allocate before finding the file ends; and one whose data and CRC
  // need one byte more than the file has left after its type.
  const Bytes file = ReadFile(kPngSuite / "basn0g01.png");
  const size_t afterHeader = 8 + 12 + 13;
  const Bytes text = {'i', 'T', 'X', 't', 'k', 0, 0, 0, 0, 0};
  for (uint32_t declared : {0x7FFFFFFFu, static_cast<uint32_t>(file.size() - afterHeader + 3)}) {
    Bytes broken(file.begin(), file.begin() + afterHeader);
    for (int shift = 24; shift >= 0; shift -= 8) broken.push_back(static_cast<uint8_t>(declared >> shift));
    broken.insert(broken.end(), text.begin(), text.end());
    broken.insert(broken.end(), file.begin() + afterHeader, file.end());
    DecodedImage image;
    std::string reason;
    EXPECT_EQ(DecodeImage(broken, image, reason), ImageResult::kBadImage) << declared;
    EXPECT_EQ(reason, "a chunk runs past the end of the file") << declared;
  }
}

// ---- sRGB ----

// A PngSuite file as a texture, with only an sRGB chunk (srgb) or with none.
TextureImage Prepared(const char* name, bool srgb, uint32_t flags = 0) {
  const Bytes file = WithColourChunks(ReadFile(kPngSuite / name), srgb);
  DecodedImage image;
  std::string reason;
  TextureImage texture;
  TextureLoadOptions options;
  options.loadFlags = flags;
  EXPECT_EQ(DecodeImage(file, image, reason), ImageResult::kOk) << name << ": " << reason;
  EXPECT_EQ(PrepareTexture(image, options, texture), ImageResult::kOk) << name;
  EXPECT_EQ(image.hasSrgbIntent, srgb) << name;
  return texture;
}

TEST(PngSrgb, RenderingIntentChunkSelectsTheSrgbVariant) {
  EXPECT_EQ(Prepared("basn6a08.png", true).gpuFormat, GpuFormat::kB8G8R8A8UnormSrgb);  // 91
  EXPECT_EQ(Prepared("basn6a08.png", false).gpuFormat, GpuFormat::kB8G8R8A8Unorm);     // 87
  EXPECT_EQ(Prepared("basn6a08.png", true, kLoadIgnoreSrgb).gpuFormat, GpuFormat::kB8G8R8A8Unorm);
  EXPECT_EQ(Prepared("basn6a08.png", false, kLoadForceSrgb).gpuFormat, GpuFormat::kB8G8R8A8UnormSrgb);
  // Converted colour takes the variant of its converted format; gray has none.
  EXPECT_EQ(Prepared("basn2c08.png", true).gpuFormat, GpuFormat::kR8G8B8A8UnormSrgb);
  EXPECT_EQ(Prepared("basn0g08.png", true).gpuFormat, GpuFormat::kR8Unorm);
  // A gamma chunk alone is not sRGB.
  DecodedImage gamma;
  ASSERT_EQ(DecodeImageFile((kPngSuite / "basn6a08.png").string(), gamma), ImageResult::kOk);
  EXPECT_FALSE(gamma.hasSrgbIntent);

  // The sRGB texture uploads its bytes unchanged in BGRA order: the picture is
  // composed in sRGB values, so the texture must not decode them to linear light.
  const TextureImage texture = Prepared("basn6a08.png", true);
  EXPECT_EQ(texture.gl.internalFormat, GlInternalFormat::kRGBA8);
  EXPECT_EQ(texture.gl.layout, GlPixelLayout::kBGRA);
  EXPECT_TRUE(texture.generateMips);
  Bytes rgba;
  ASSERT_TRUE(ReferenceRgba(ReadFile(kPngSuite / "basn6a08.png"), rgba));
  ASSERT_GE(texture.pixels.size(), 4u);
  EXPECT_EQ(texture.pixels[0], rgba[2]);
  EXPECT_EQ(texture.pixels[2], rgba[0]);
  EXPECT_EQ(texture.pixels[3], rgba[3]);
}

// ---- unreadable files ----

TEST(ImageFiles, MissingDirectoryEmptyAndForeignFilesAreRefused) {
  const std::string path = "/nonexistent/dir/velmaris_missing.png";
  TextureImage texture;
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadTextureImage(path, {}, texture), ImageResult::kFileNotFound);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(texture.pixels.empty());
  EXPECT_EQ(err.rfind("TEXTURE: ", 0), 0u) << err;
  EXPECT_NE(err.find(path), std::string::npos) << err;
  EXPECT_NE(err.find(std::strerror(ENOENT)), std::string::npos) << "the platform's own reason: " << err;
  EXPECT_EQ(err.find("0x"), std::string::npos) << "no foreign error code: " << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);

  DecodedImage image;
  testing::internal::CaptureStderr();
  EXPECT_NE(DecodeImageFile(fs::temp_directory_path().string(), image), ImageResult::kOk);
  testing::internal::GetCapturedStderr();
  std::string reason;
  EXPECT_EQ(DecodeImage({}, image, reason), ImageResult::kUnknownImageFormat);
  const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
  EXPECT_EQ(DecodeImage(gif, image, reason), ImageResult::kUnknownImageFormat);
  // The bitmap-array variant of BMP is not a bitmap.
  const Bytes array = ReadFile(fs::path(VELMARIS_TESTDATA_DIR) / "bmpsuite/x/ba-bm.bmp");
  EXPECT_EQ(DecodeImage(array, image, reason), ImageResult::kUnknownImageFormat);
}

}  // namespace
}  // namespace graphics
