// BMP decoding, our own reader: OS/2 core and version-2 headers and the Windows
// headers (40 to 124 bytes); 1, 2, 4 and 8-bit palettes, RLE8 and RLE4, 16-bit 555,
// 565 and any bit-field layout, 24-bit, 32-bit with and without alpha, bottom-up and
// top-down. Every size is checked against the file before it is used.
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#include "graphics/image/decoder_limits.h"
#include "graphics/image_decoder.h"

namespace graphics {
namespace {

constexpr size_t kFileHeaderSize = 14;

enum Compression : uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,
  kJpeg = 4,
  kPng = 5,
  kAlphaBitFields = 6,
};

struct Failure {
  ImageResult result;
  std::string reason;  // empty: "broken file"
};

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// The fields of whichever info header the file has.
struct BmpHeader {
  uint32_t headerSize = 0;
  bool os2 = false;  // OS/2 core or version-2 header (compression codes differ)
  int64_t width = 0;
  int64_t height = 0;  // negative: rows stored top-down
  uint32_t planes = 0;
  uint32_t bits = 0;
  uint32_t compression = kRgb;
  uint32_t coloursUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  size_t paletteStart = 0;           // file offset of the colour table
  size_t paletteEntrySize = 4;
  size_t pixelOffset = 0;
};

bool ReadHeader(std::span<const uint8_t> file, BmpHeader& h, Failure& failure) {
  failure = {ImageResult::kBadHeader, "file too short for its header"};
  if (file.size() < kFileHeaderSize + 4) return false;
  h.pixelOffset = Le32(file.data() + 10);
  h.headerSize = Le32(file.data() + 14);
  const uint32_t size = h.headerSize;
  const bool windows = size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
  h.os2 = size == 12 || (size >= 16 && size <= 64 && size % 4 == 0 && !windows);
  if (!windows && !h.os2) {
    failure.reason = "unknown info header size";
    return false;
  }
  if (file.size() - kFileHeaderSize < size) return false;
  const uint8_t* p = file.data() + kFileHeaderSize;
  // Fields past a short header read as 0.
  auto field32 = [&](uint32_t at) { return at + 4 <= size ? Le32(p + at) : 0u; };
  auto field16 = [&](uint32_t at) { return at + 2 <= size ? Le16(p + at) : uint16_t{0}; };

  if (size == 12) {
    h.width = Le16(p + 4);
    h.height = Le16(p + 6);
    h.planes = Le16(p + 8);
    h.bits = Le16(p + 10);
    h.paletteEntrySize = 3;
  } else {
    h.width = static_cast<int32_t>(field32(4));
    h.height = static_cast<int32_t>(field32(8));
    h.planes = field16(12);
    h.bits = field16(14);
    h.compression = field32(16);
    h.coloursUsed = field32(32);
  }
  h.paletteStart = kFileHeaderSize + size;

  if (h.os2 && (h.compression == 3 || h.compression == 4)) {
    failure = {ImageResult::kUnsupportedImage, "OS/2 Huffman and RLE24 compression not supported"};
    return false;
  }
  if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
    if (size >= 52) {
      for (int i = 0; i < 3; ++i) h.masks[i] = Le32(p + 40 + 4 * i);
      if (size >= 56) h.masks[3] = Le32(p + 52);
    } else {
      const size_t count = h.compression == kAlphaBitFields ? 4 : 3;
      if (file.size() - h.paletteStart < 4 * count) {
        failure.reason = "bit-field masks truncated";
        return false;
      }
      for (size_t i = 0; i < count; ++i) h.masks[i] = Le32(file.data() + h.paletteStart + 4 * i);
      h.paletteStart += 4 * count;
    }
  }
  return true;
}

bool CheckHeader(const BmpHeader& h, size_t fileSize, Failure& failure) {
  failure = {ImageResult::kBadHeader, {}};
  if (h.planes != 1) {
    failure.reason = "plane count is not 1";
  } else if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) {
    failure.reason = "invalid width or height";
  } else if (std::string problem = PictureSizeProblem(h.width, std::abs(h.height)); !problem.empty()) {
    failure = {ImageResult::kOutOfMemory, std::move(problem)};
  } else if (h.compression == kJpeg || h.compression == kPng) {
    failure = {ImageResult::kUnsupportedImage, "embedded JPEG or PNG not supported"};
  } else if (h.bits == 64) {
    failure = {ImageResult::kUnsupportedImage, "64-bit BMP not supported"};
  } else if (h.bits != 1 && h.bits != 2 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 &&
             h.bits != 32) {
    failure.reason = "invalid bit count";
  } else if (h.compression > kAlphaBitFields || (h.compression == kRle8 && h.bits != 8) ||
             (h.compression == kRle4 && h.bits != 4) ||
             ((h.compression == kBitFields || h.compression == kAlphaBitFields) && h.bits != 16 &&
              h.bits != 32)) {
    failure.reason = "compression does not fit the bit count";
  } else if ((h.compression == kRle8 || h.compression == kRle4) && h.height < 0) {
    failure.reason = "compressed image stored top-down";
  } else if (h.pixelOffset < kFileHeaderSize + h.headerSize || h.pixelOffset > fileSize) {
    failure.reason = "pixel data offset outside the file";
  } else {
    return true;
  }
  return false;
}

// Reads the colour table into a 256-entry palette; returns how many entries the file
// defines (0: none).
uint32_t ReadPalette(std::span<const uint8_t> file, const BmpHeader& h, DecodedImage& out) {
  out.palette.assign(256, PaletteEntry{});
  uint32_t count = 1u << h.bits;
  if (h.coloursUsed != 0 && h.coloursUsed < count) count = h.coloursUsed;
  const size_t end = std::max(h.pixelOffset, h.paletteStart);
  const size_t limit = std::min(end, file.size());
  const size_t available = limit > h.paletteStart ? (limit - h.paletteStart) / h.paletteEntrySize : 0;
  count = static_cast<uint32_t>(std::min<size_t>(count, available));
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = file.data() + h.paletteStart + i * h.paletteEntrySize;
    out.palette[i] = {e[2], e[1], e[0], 255};
  }
  return count;
}

// Run-length decoding into one index byte per pixel. Pixels the stream skips (delta
// and early line or image ends) get transparentIndex.
bool DecodeRle(std::span<const uint8_t> data, const BmpHeader& h, uint32_t colours, uint8_t transparentIndex,
               DecodedImage& out, Failure& failure) {
  const auto width = static_cast<uint32_t>(h.width);
  const auto height = static_cast<uint32_t>(h.height);
  const bool four = h.compression == kRle4;
  out.format = PixelFormat::k8bppIndexed;
  out.rowPitch = width;
  out.pixels.assign(static_cast<size_t>(width) * height, transparentIndex);
  failure = {ImageResult::kBadImage, {}};

  uint32_t x = 0, y = 0;  // y counts rows from the bottom
  size_t at = 0;
  auto put = [&](uint32_t index) {
    if (x >= width || y >= height) {
      failure.reason = "run crosses the image edge";
      return false;
    }
    if (index >= colours) {
      failure.reason = "palette index out of range";
      return false;
    }
    out.pixels[static_cast<size_t>(height - 1 - y) * width + x++] = static_cast<uint8_t>(index);
    return true;
  };
  while (true) {
    if (data.size() - at < 2) {
      failure.reason = "compressed data ends without an end marker";
      return false;
    }
    const uint32_t count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {  // a run of one value (RLE4: two alternating nibbles)
      for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = four ? (i % 2 == 0 ? value >> 4 : value & 15) : value;
        if (!put(index)) return false;
      }
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of image
      return true;
    } else if (value == 2) {  // move right and up
      if (data.size() - at < 2) {
        failure.reason = "compressed data truncated";
        return false;
      }
      x += data[at];
      y += data[at + 1];
      at += 2;
      if (x > width || y > height) {
        failure.reason = "delta moves outside the image";
        return false;
      }
    } else {  // literal pixels, padded to an even byte count
      const size_t bytes = four ? (value + 1) / 2 : value;
      if (data.size() - at < bytes) {
        failure.reason = "compressed data truncated";
        return false;
      }
      for (uint32_t i = 0; i < value; ++i) {
        uint32_t index = four ? (data[at + i / 2] >> (i % 2 == 0 ? 4 : 0)) & 15 : data[at + i];
        if (!put(index)) return false;
      }
      at += bytes + (bytes & 1);
      if (at > data.size()) at = data.size();
    }
  }
}

// A channel of a bit-field layout: where it sits and how wide it is.
struct Channel {
  uint32_t mask = 0, shift = 0, max = 0;
};

bool MakeChannel(uint32_t mask, uint32_t bits, Channel& channel) {
  channel = {};
  if (mask == 0) return true;
  if (bits < 32 && (mask >> bits) != 0) return false;
  channel.shift = static_cast<uint32_t>(std::countr_zero(mask));
  uint32_t field = mask >> channel.shift;
  if ((field & (field + 1)) != 0) return false;  // not contiguous
  channel.mask = mask;
  channel.max = field;
  return true;
}

uint8_t Expand(uint32_t pixel, const Channel& c, uint8_t missing) {
  if (c.mask == 0) return missing;
  uint64_t v = (pixel & c.mask) >> c.shift;
  return static_cast<uint8_t>((v * 255 + c.max / 2) / c.max);
}

// The decoded format for a 16 or 32-bit layout, or kUnknown for a layout that is
// unpacked generically into 32bppBGRA.
PixelFormat DirectLayout(uint32_t bits, const uint32_t (&m)[4]) {
  if (bits == 16) {
    if (m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F) {
      if (m[3] == 0) return PixelFormat::k16bppBGR555;
      if (m[3] == 0x8000) return PixelFormat::k16bppBGRA5551;
    }
    if (m[0] == 0xF800 && m[1] == 0x07E0 && m[2] == 0x001F && m[3] == 0) {
      return PixelFormat::k16bppBGR565;
    }
  } else if (m[0] == 0x00FF0000 && m[1] == 0x0000FF00 && m[2] == 0x000000FF) {
    if (m[3] == 0) return PixelFormat::k32bppBGR;
    if (m[3] == 0xFF000000) return PixelFormat::k32bppBGRA;
  }
  return PixelFormat::kUnknown;
}

bool CheckIndices(const DecodedImage& image, uint32_t bits, uint32_t colours) {
  if (colours >= (1u << bits)) return true;
  for (uint32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = image.pixels.data() + y * image.rowPitch;
    for (uint32_t x = 0; x < image.width; ++x) {
      uint32_t bit = x * bits;
      uint32_t index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
      if (index >= colours) return false;
    }
  }
  return true;
}

bool DecodeUncompressed(std::span<const uint8_t> file, const BmpHeader& h, DecodedImage& out,
                        Failure& failure) {
  const auto width = static_cast<uint32_t>(h.width);
  const auto height = static_cast<uint32_t>(std::abs(h.height));
  const uint64_t stride = (static_cast<uint64_t>(width) * h.bits + 31) / 32 * 4;
  if (stride * height > file.size() - h.pixelOffset) {
    failure = {ImageResult::kBadImage, "pixel data truncated"};
    return false;
  }
  uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
  const bool fields = h.compression == kBitFields || h.compression == kAlphaBitFields;
  if (h.bits == 16 && !fields) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F, masks[3] = 0;
  } else if (h.bits == 32 && !fields) {  // the fourth byte is padding
    masks[0] = 0x00FF0000, masks[1] = 0x0000FF00, masks[2] = 0x000000FF, masks[3] = 0;
  }

  PixelFormat format = PixelFormat::kUnknown;
  Channel channels[4];
  if (h.bits <= 8) {
    format = IndexedFormat(h.bits);
  } else if (h.bits == 24) {
    format = PixelFormat::k24bppBGR;
  } else {
    format = DirectLayout(h.bits, masks);
    if (format == PixelFormat::kUnknown) {
      for (int i = 0; i < 4; ++i) {
        if (!MakeChannel(masks[i], h.bits, channels[i])) {
          failure = {ImageResult::kBadHeader, "invalid bit-field mask"};
          return false;
        }
      }
      format = masks[3] != 0 ? PixelFormat::k32bppBGRA : PixelFormat::k32bppBGR;
    }
  }
  const uint64_t pitch = (static_cast<uint64_t>(width) * BitsPerPixel(format) + 7) / 8;
  if (pitch * height > kMaxDecodedBytes) {
    failure = {ImageResult::kOutOfMemory, "image too large to decode"};
    return false;
  }
  out.format = format;
  out.rowPitch = static_cast<size_t>(pitch);
  out.pixels.assign(static_cast<size_t>(pitch * height), 0);
  const bool generic = BitsPerPixel(format) == 32 && DirectLayout(h.bits, masks) == PixelFormat::kUnknown;
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t fileRow = h.height < 0 ? y : height - 1 - y;
    const uint8_t* src = file.data() + h.pixelOffset + fileRow * stride;
    uint8_t* dst = out.pixels.data() + y * pitch;
    if (!generic) {
      std::memcpy(dst, src, static_cast<size_t>(pitch));
      continue;
    }
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t pixel = h.bits == 16 ? Le16(src + 2 * x) : Le32(src + 4 * x);
      dst[4 * x + 0] = Expand(pixel, channels[2], 0);
      dst[4 * x + 1] = Expand(pixel, channels[1], 0);
      dst[4 * x + 2] = Expand(pixel, channels[0], 0);
      dst[4 * x + 3] = Expand(pixel, channels[3], 255);
    }
  }
  return true;
}

class BmpDecoder final : public ImageDecoder {
 public:
  bool Recognises(std::span<const uint8_t> bytes) const override {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
  }

  ImageResult Decode(std::span<const uint8_t> file, DecodedImage& out, std::string& reason) const override {
    out = DecodedImage{};
    BmpHeader h;
    Failure failure{ImageResult::kOk, {}};
    try {
      if (ReadHeader(file, h, failure) && CheckHeader(h, file.size(), failure) &&
          DecodePixels(file, h, out, failure)) {
        out.width = static_cast<uint32_t>(h.width);
        out.height = static_cast<uint32_t>(std::abs(h.height));
        out.container = ImageContainer::kBmp;
        if (out.format > PixelFormat::k8bppIndexed || out.format < PixelFormat::k1bppIndexed) {
          out.palette.clear();
        }
        return ImageResult::kOk;
      }
    } catch (const std::bad_alloc&) {
      failure = {ImageResult::kOutOfMemory, "out of memory"};
    }
    reason = failure.reason.empty() ? "broken file" : failure.reason;
    out = DecodedImage{};
    return failure.result;
  }

 private:
  static bool DecodePixels(std::span<const uint8_t> file, const BmpHeader& h, DecodedImage& out,
                           Failure& failure) {
    uint32_t colours = 0;
    if (h.bits <= 8) {
      colours = ReadPalette(file, h, out);
      if (colours == 0) {
        failure = {ImageResult::kBadHeader, "palette missing"};
        return false;
      }
    }
    if (h.compression == kRle8 || h.compression == kRle4) {
      const uint64_t size = static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height);
      if (size > kMaxDecodedBytes) {
        failure = {ImageResult::kOutOfMemory, "image too large to decode"};
        return false;
      }
      // Skipped pixels show through: they take a spare, transparent palette entry.
      uint8_t transparent = 0;
      if (colours < 256) {
        transparent = static_cast<uint8_t>(colours);
        out.palette[colours] = {0, 0, 0, 0};
      }
      return DecodeRle(file.subspan(h.pixelOffset), h, colours, transparent, out, failure);
    }
    out.width = static_cast<uint32_t>(h.width);
    out.height = static_cast<uint32_t>(std::abs(h.height));
    if (!DecodeUncompressed(file, h, out, failure)) return false;
    if (h.bits <= 8 && !CheckIndices(out, h.bits, colours)) {
      failure = {ImageResult::kBadImage, "palette index out of range"};
      return false;
    }
    return true;
  }
};

}  // namespace

std::unique_ptr<ImageDecoder> CreateBmpDecoder() { return std::make_unique<BmpDecoder>(); }

}  // namespace graphics
