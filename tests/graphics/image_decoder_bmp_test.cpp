// BMP decoding against the BMP suite: good files show the suite's picture, bad ones
// are refused (or decoded when the flaw is harmless) and nothing reads past a buffer.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/image_decoder.h"
#include "graphics/image_test_support.h"

namespace graphics {
namespace {

namespace fs = std::filesystem;
using testing_support::Bytes;
using testing_support::ReadFile;

const fs::path kSuite = fs::path(VELMARIS_TESTDATA_DIR) / "bmpsuite";

std::vector<fs::path> Folder(const char* name) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kSuite / name)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// A decoded file as 8-bit RGBA, or an empty image when it fails.
DecodedImage Rgba(const std::string& relative) {
  DecodedImage image, rgba;
  if (DecodeImageFile((kSuite / relative).string(), image) != ImageResult::kOk) return rgba;
  if (ConvertImage(image, PixelFormat::k32bppRGBA, image.width, image.height, rgba) != ImageResult::kOk) {
    return DecodedImage{};
  }
  return rgba;
}

const uint8_t* Pixel(const DecodedImage& rgba, uint32_t x, uint32_t y) {
  return rgba.pixels.data() + y * rgba.rowPitch + 4 * x;
}

int MaxDifference(const DecodedImage& a, const DecodedImage& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return 999;
  int worst = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    worst = std::max(worst, std::abs(int{a.pixels[i]} - int{b.pixels[i]}));
  }
  return worst;
}

// A decode that succeeded must be whole: size, pitch and buffer agree.
void ExpectConsistent(const DecodedImage& image) {
  EXPECT_GT(image.width, 0u);
  EXPECT_GT(image.height, 0u);
  EXPECT_GE(image.rowPitch, (uint64_t{image.width} * BitsPerPixel(image.format) + 7) / 8);
  EXPECT_EQ(image.pixels.size(), image.rowPitch * image.height);
}

TEST(BmpSuiteGood, ReferencePictureHasItsKnownColours) {
  const DecodedImage rgb24 = Rgba("g/rgb24.bmp");
  ASSERT_EQ(rgb24.width, 127u);
  ASSERT_EQ(rgb24.height, 64u);
  struct Known {
    uint32_t x, y;
    uint8_t r, g, b;
  };
  // Top-left is pure red (the file stores it last: rows run bottom-up); the letters
  // are white with black outlines over bands of colour.
  for (const Known& k : {Known{0, 0, 255, 0, 0}, Known{36, 32, 255, 255, 255}, Known{52, 32, 0, 0, 0},
                         Known{40, 8, 66, 223, 66}, Known{126, 63, 96, 96, 126}}) {
    SCOPED_TRACE(testing::Message() << k.x << "," << k.y);
    const uint8_t* p = Pixel(rgb24, k.x, k.y);
    EXPECT_EQ(Bytes(p, p + 4), (Bytes{k.r, k.g, k.b, 255}));
  }
}

TEST(BmpSuiteGood, LayoutsOfOnePictureShowTheSamePicture) {
  struct Group {
    const char* twin;
    int tolerance;  // 5: 5-bit channels are off by at most half a step of 255 / 31
    std::vector<const char*> files;
  };
  for (const Group& group : {
           Group{"g/rgb24.bmp",
                 5,
                 {"g/rgb16.bmp", "g/rgb16-565.bmp", "g/rgb16-565pal.bmp", "g/rgb16bfdef.bmp",
                  "g/rgb24pal.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp", "g/rgb32bfdef.bmp",
                  // Padding bytes that look like alpha are padding.
                  "q/rgb32fakealpha.bmp", "q/rgb16faketrns.bmp", "q/rgb32-xbgr.bmp"}},
           Group{"g/pal8.bmp",
                 0,
                 {"g/pal8-0.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp", "g/pal8topdown.bmp", "g/pal8v4.bmp",
                  "g/pal8v5.bmp"}},
           Group{"g/pal4.bmp", 0, {"g/pal4rle.bmp"}}, Group{"g/pal1.bmp", 0, {"g/pal1wb.bmp"}},
           Group{"g/rgb24.bmp", 64, {"g/pal8.bmp"}},  // the palette approximates the true colours
       }) {
    const DecodedImage twin = Rgba(group.twin);
    for (const char* file : group.files) {
      SCOPED_TRACE(file);
      EXPECT_LE(MaxDifference(Rgba(file), twin), group.tolerance);
    }
  }
}

TEST(BmpSuiteGood, GrayPalettesAndTwoColourPalettesKeepTheirColours) {
  for (const char* name : {"g/pal8gs.bmp", "g/pal4gs.bmp"}) {
    SCOPED_TRACE(name);
    const DecodedImage gray = Rgba(name);
    ASSERT_FALSE(gray.pixels.empty());
    for (size_t i = 0; i < gray.pixels.size(); i += 4) {
      ASSERT_EQ(gray.pixels[i], gray.pixels[i + 1]);
      ASSERT_EQ(gray.pixels[i], gray.pixels[i + 2]);
    }
  }
  const DecodedImage pal1bg = Rgba("g/pal1bg.bmp");
  ASSERT_EQ(pal1bg.pixels.size(), Rgba("g/pal1.bmp").pixels.size());
  std::set<uint32_t> colours;
  for (size_t i = 0; i < pal1bg.pixels.size(); i += 4) {
    colours.insert(uint32_t{pal1bg.pixels[i]} << 16 | pal1bg.pixels[i + 1] << 8 | pal1bg.pixels[i + 2]);
  }
  EXPECT_EQ(colours.size(), 2u);
  EXPECT_EQ(colours.count(0xFFFFFF) + colours.count(0), 0u);  // neither black nor white
}

// Good files decode; bad ones are refused with one line naming the file unless the
// flaw is harmless; questionable ones show the suite's picture or are unsupported.
TEST(BmpSuite, EveryFileDecodesWholeOrIsRefusedWithOneLine) {
  // Wrong size, density or palette-count fields that the pixel data does not need.
  const std::set<std::string> harmless = {"b/badbitssize.bmp", "b/baddens1.bmp",       "b/baddens2.bmp",
                                          "b/badfilesize.bmp", "b/badpalettesize.bmp", "b/rgb16-880.bmp"};
  const std::set<std::string> unsupported = {"q/pal1huffmsb.bmp", "q/rgb24jpeg.bmp", "q/rgb24png.bmp",
                                             "q/rgb24rle24.bmp", "q/rgba64.bmp"};
  // The formats follow the file layout and the texture tables; a BMP is never sRGB.
  using P = PixelFormat;
  using G = GpuFormat;
  const std::map<std::string, std::pair<PixelFormat, GpuFormat>> formats = {
      {"g/pal1.bmp", {P::k1bppIndexed, G::kR8G8B8A8Unorm}},
      {"g/pal4.bmp", {P::k4bppIndexed, G::kR8G8B8A8Unorm}},
      {"g/pal8.bmp", {P::k8bppIndexed, G::kR8G8B8A8Unorm}},
      {"g/rgb16.bmp", {P::k16bppBGR555, G::kB5G5R5A1Unorm}},
      {"g/rgb24.bmp", {P::k24bppBGR, G::kR8G8B8A8Unorm}},
      {"g/rgb16-565.bmp", {P::k16bppBGR565, G::kB5G6R5Unorm}},
      {"g/rgb32.bmp", {P::k32bppBGR, G::kB8G8R8X8Unorm}},
      {"g/rgb32bf.bmp", {P::k32bppBGR, G::kB8G8R8X8Unorm}}};
  std::map<std::string, int> decoded;  // by folder, and those of a known format
  for (const char* folder : {"g", "b", "q"}) {
    const auto files = Folder(folder);
    ASSERT_GE(files.size(), 20u);
    for (const auto& path : files) {
      const std::string name = std::string(folder) + "/" + path.filename().string();
      SCOPED_TRACE(name);
      DecodedImage image;
      testing::internal::CaptureStderr();
      const ImageResult result = DecodeImageFile(path.string(), image);
      const std::string err = testing::internal::GetCapturedStderr();
      if (unsupported.count(name)) {
        EXPECT_EQ(result, ImageResult::kUnsupportedImage);
      } else if (folder[0] == 'b' && !harmless.count(name)) {
        EXPECT_NE(result, ImageResult::kOk);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_NE(err.find(path.filename().string()), std::string::npos);
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
      } else {
        ASSERT_EQ(result, ImageResult::kOk);
        ++decoded[folder];
        EXPECT_EQ(image.container, ImageContainer::kBmp);
        ExpectConsistent(image);
        TextureImage texture;
        EXPECT_EQ(PrepareTexture(image, {}, texture), ImageResult::kOk);
        if (const auto known = formats.find(name); known != formats.end()) {
          ++decoded["with a known format"];
          EXPECT_EQ(PixelFormatName(image.format), PixelFormatName(known->second.first));
          EXPECT_EQ(texture.gpuFormat, known->second.second);
        }
        EXPECT_TRUE(folder[0] != 'q' || (image.width == 127 && image.height == 64));  // the suite's picture
      }
    }
  }
  EXPECT_GE(decoded["g"], 27);
  EXPECT_EQ(decoded["b"], 6);
  EXPECT_EQ(decoded["with a known format"], static_cast<int>(formats.size()));
}

TEST(BmpSuiteQuestionable, AlphaIsReadOnlyWhereTheFileDeclaresIt) {
  // Declared alpha masks give partial transparency.
  for (const char* name : {"q/rgba32-1.bmp", "q/rgba32abf.bmp", "q/rgba16-4444.bmp"}) {
    SCOPED_TRACE(name);
    const DecodedImage image = Rgba(name);
    ASSERT_FALSE(image.pixels.empty());
    bool translucent = false;
    for (size_t i = 3; i < image.pixels.size(); i += 4) translucent |= image.pixels[i] < 255;
    EXPECT_TRUE(translucent);
  }
  // Pixels an RLE stream skips show through; the others are the picture.
  const DecodedImage pal8 = Rgba("g/pal8.bmp");
  const DecodedImage skipped = Rgba("q/pal8rletrns.bmp");
  ASSERT_EQ(skipped.pixels.size(), pal8.pixels.size());
  size_t clear = 0;
  for (size_t i = 0; i < skipped.pixels.size(); i += 4) {
    if (skipped.pixels[i + 3] == 0) {
      ++clear;
    } else {
      ASSERT_TRUE(std::equal(&skipped.pixels[i], &skipped.pixels[i + 4], &pal8.pixels[i]));
    }
  }
  EXPECT_GT(clear, 0u);
}

// Every prefix, and every header byte set to a few hostile values, of files of each
// header and compression kind: refused or decoded whole, never read out of bounds
// (the sanitizer build checks the reads).
TEST(BmpRobustness, TruncatedAndCorruptedHeadersAreHandledSafely) {
  for (const char* name : {"g/pal8rle.bmp", "g/pal4rle.bmp", "g/pal8os2.bmp", "g/rgb16-565.bmp", "g/pal1.bmp",
                           "q/rgba32-81284.bmp", "g/pal8v5.bmp"}) {
    SCOPED_TRACE(name);
    const Bytes file = ReadFile(kSuite / name);
    ASSERT_GT(file.size(), 200u);
    std::string reason;
    for (size_t length = 0; length < file.size(); length += (length < 200 ? 1 : 37)) {
      Bytes prefix(file.begin(), file.begin() + length);  // exact-size heap buffer
      DecodedImage image;
      if (DecodeImage(prefix, image, reason) == ImageResult::kOk) ExpectConsistent(image);
    }
    for (size_t at = 0; at < 160; ++at) {
      for (uint8_t value : {uint8_t{0x00}, uint8_t{0x7F}, uint8_t{0xFF}}) {
        Bytes corrupt = file;
        corrupt[at] = value;
        DecodedImage image;
        if (DecodeImage(corrupt, image, reason) == ImageResult::kOk) {
          ExpectConsistent(image);
          TextureImage texture;
          TextureLoadOptions options;
          options.maxSize = 32;
          EXPECT_EQ(PrepareTexture(image, options, texture), ImageResult::kOk);
        }
      }
    }
  }
}

}  // namespace
}  // namespace graphics
