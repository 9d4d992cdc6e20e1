// Pixel conversion and area-filtered shrinking between decoded formats. Every row is
// unpacked to straight (not premultiplied) RGBA floats in 0..1 (float formats keep
// their range), filtered, and packed into the target format.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include "graphics/image_decoder.h"

namespace graphics {
namespace {

struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;
};

using Reader = void (*)(const DecodedImage& image, const uint8_t* row, uint32_t width, Rgba* out);
using Writer = void (*)(const Rgba* in, uint32_t width, uint8_t* row);

uint16_t Load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
float LoadFloat(const uint8_t* p) {
  float v;
  std::memcpy(&v, p, 4);
  return v;
}
void Store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }
void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
void StoreFloat(uint8_t* p, float v) { std::memcpy(p, &v, 4); }

float HalfToFloat(uint16_t h) {
  uint32_t sign = (h & 0x8000u) << 16;
  uint32_t exponent = (h >> 10) & 0x1F;
  uint32_t mantissa = h & 0x3FF;
  uint32_t bits;
  if (exponent == 0) {
    if (mantissa == 0) {
      bits = sign;
    } else {  // subnormal: renormalise
      int e = -1;
      do {
        ++e;
        mantissa <<= 1;
      } while ((mantissa & 0x400) == 0);
      bits = sign | static_cast<uint32_t>(127 - 15 - e) << 23 | (mantissa & 0x3FF) << 13;
    }
  } else if (exponent == 31) {
    bits = sign | 0x7F800000u | mantissa << 13;
  } else {
    bits = sign | (exponent + 127 - 15) << 23 | mantissa << 13;
  }
  return std::bit_cast<float>(bits);
}

uint16_t FloatToHalf(float f) {
  uint32_t bits = std::bit_cast<uint32_t>(f);
  uint16_t sign = static_cast<uint16_t>((bits >> 16) & 0x8000);
  uint32_t abs = bits & 0x7FFFFFFF;
  if (abs >= 0x7F800000) return sign | 0x7C00 | (abs > 0x7F800000 ? 0x200 : 0);  // inf/NaN
  if (abs >= 0x477FF000) return sign | 0x7C00;                                   // overflows to infinity
  if (abs < 0x38800000) {                                                        // subnormal or zero
    if (abs < 0x33000000) return sign;
    uint32_t exponent = abs >> 23;
    uint32_t mantissa = (abs & 0x7FFFFF) | 0x800000;
    uint32_t shift = 126 - exponent;  // 14..24
    uint32_t half = mantissa >> shift;
    uint32_t rest = mantissa & ((1u << shift) - 1);
    uint32_t midpoint = 1u << (shift - 1);
    if (rest > midpoint || (rest == midpoint && (half & 1))) ++half;
    return sign | static_cast<uint16_t>(half);
  }
  uint32_t rounded = abs + 0xFFF + ((abs >> 13) & 1);  // round to nearest even
  return sign | static_cast<uint16_t>((rounded - 0x38000000) >> 13);
}

float Unit8(uint32_t v) { return static_cast<float>(v) * (1.0f / 255.0f); }
float Unit16(uint32_t v) { return static_cast<float>(v) * (1.0f / 65535.0f); }
float UnitBits(uint32_t v, uint32_t max) { return static_cast<float>(v) / static_cast<float>(max); }

uint32_t Quantise(float v, uint32_t max) {
  if (!(v > 0.0f)) return 0;  // also NaN
  if (v >= 1.0f) return max;
  return static_cast<uint32_t>(v * static_cast<float>(max) + 0.5f);
}

// ---- readers ----

template <uint32_t kBits>
void ReadGrayPacked(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  constexpr uint32_t kMax = (1u << kBits) - 1;
  constexpr uint32_t kPerByte = 8 / kBits;
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t shift = 8 - kBits * (x % kPerByte + 1);
    float v = UnitBits((row[x / kPerByte] >> shift) & kMax, kMax);
    out[x] = {v, v, v, 1.0f};
  }
}

template <uint32_t kBits>
void ReadIndexed(const DecodedImage& image, const uint8_t* row, uint32_t width, Rgba* out) {
  constexpr uint32_t kMax = (1u << kBits) - 1;
  constexpr uint32_t kPerByte = 8 / kBits;
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t shift = 8 - kBits * (x % kPerByte + 1);
    uint32_t index = (row[x / kPerByte] >> shift) & kMax;
    PaletteEntry e = index < image.palette.size() ? image.palette[index] : PaletteEntry{};
    out[x] = {Unit8(e.r), Unit8(e.g), Unit8(e.b), Unit8(e.a)};
  }
}

void ReadGray8(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    float v = Unit8(row[x]);
    out[x] = {v, v, v, 1.0f};
  }
}
void ReadAlpha8(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) out[x] = {0, 0, 0, Unit8(row[x])};
}
void ReadGray16(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    float v = Unit16(Load16(row + 2 * x));
    out[x] = {v, v, v, 1.0f};
  }
}
void ReadGrayHalf(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    float v = HalfToFloat(Load16(row + 2 * x));
    out[x] = {v, v, v, 1.0f};
  }
}
void ReadGrayFloat(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    float v = LoadFloat(row + 4 * x);
    out[x] = {v, v, v, 1.0f};
  }
}

// Byte-per-channel layouts: offsets of R, G, B and A (-1: opaque) in a pixel.
template <int kSize, int kR, int kG, int kB, int kA>
void ReadBytes(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    const uint8_t* p = row + kSize * x;
    out[x] = {Unit8(p[kR]), Unit8(p[kG]), Unit8(p[kB]), kA < 0 ? 1.0f : Unit8(p[kA])};
  }
}

// 16-bit-per-channel layouts, channel indices as above.
template <int kChannels, int kR, int kG, int kB, int kA>
void ReadShorts(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    const uint8_t* p = row + 2 * kChannels * x;
    out[x] = {Unit16(Load16(p + 2 * kR)), Unit16(Load16(p + 2 * kG)), Unit16(Load16(p + 2 * kB)),
              kA < 0 ? 1.0f : Unit16(Load16(p + 2 * kA))};
  }
}

void ReadRgbaHalf(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    const uint8_t* p = row + 8 * x;
    out[x] = {HalfToFloat(Load16(p)), HalfToFloat(Load16(p + 2)), HalfToFloat(Load16(p + 4)),
              HalfToFloat(Load16(p + 6))};
  }
}
template <int kChannels>
void ReadFloats(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    const uint8_t* p = row + 4 * kChannels * x;
    out[x] = {LoadFloat(p), LoadFloat(p + 4), LoadFloat(p + 8), kChannels == 4 ? LoadFloat(p + 12) : 1.0f};
  }
}

void Read555(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t v = Load16(row + 2 * x);
    out[x] = {UnitBits((v >> 10) & 31, 31), UnitBits((v >> 5) & 31, 31), UnitBits(v & 31, 31), 1.0f};
  }
}
void Read5551(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t v = Load16(row + 2 * x);
    out[x] = {UnitBits((v >> 10) & 31, 31), UnitBits((v >> 5) & 31, 31), UnitBits(v & 31, 31),
              static_cast<float>(v >> 15)};
  }
}
void Read565(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t v = Load16(row + 2 * x);
    out[x] = {UnitBits(v >> 11, 31), UnitBits((v >> 5) & 63, 63), UnitBits(v & 31, 31), 1.0f};
  }
}
// R in the low bits, alpha in the top two.
void Read1010102(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t v = Load32(row + 4 * x);
    out[x] = {UnitBits(v & 1023, 1023), UnitBits((v >> 10) & 1023, 1023), UnitBits((v >> 20) & 1023, 1023),
              UnitBits(v >> 30, 3)};
  }
}
// Extended range: 10-bit channels biased by 0x180 over a scale of 510.
void Read1010102XR(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  auto channel = [](uint32_t v) { return (static_cast<float>(v) - 384.0f) / 510.0f; };
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t v = Load32(row + 4 * x);
    out[x] = {channel(v & 1023), channel((v >> 10) & 1023), channel((v >> 20) & 1023), UnitBits(v >> 30, 3)};
  }
}
// B in the low bits, the top two unused.
void ReadBgr101010(const DecodedImage&, const uint8_t* row, uint32_t width, Rgba* out) {
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t v = Load32(row + 4 * x);
    out[x] = {UnitBits((v >> 20) & 1023, 1023), UnitBits((v >> 10) & 1023, 1023), UnitBits(v & 1023, 1023),
              1.0f};
  }
}

Reader ReaderFor(PixelFormat format) {
  using PF = PixelFormat;
  switch (format) {
    case PF::kBlackWhite:
      return ReadGrayPacked<1>;
    case PF::k2bppGray:
      return ReadGrayPacked<2>;
    case PF::k4bppGray:
      return ReadGrayPacked<4>;
    case PF::k8bppGray:
      return ReadGray8;
    case PF::k8bppAlpha:
      return ReadAlpha8;
    case PF::k16bppGray:
      return ReadGray16;
    case PF::k16bppGrayHalf:
      return ReadGrayHalf;
    case PF::k32bppGrayFloat:
      return ReadGrayFloat;
    case PF::k1bppIndexed:
      return ReadIndexed<1>;
    case PF::k2bppIndexed:
      return ReadIndexed<2>;
    case PF::k4bppIndexed:
      return ReadIndexed<4>;
    case PF::k8bppIndexed:
      return ReadIndexed<8>;
    case PF::k24bppRGB:
      return ReadBytes<3, 0, 1, 2, -1>;
    case PF::k24bppBGR:
      return ReadBytes<3, 2, 1, 0, -1>;
    case PF::k32bppRGBA:
      return ReadBytes<4, 0, 1, 2, 3>;
    case PF::k32bppBGRA:
      return ReadBytes<4, 2, 1, 0, 3>;
    case PF::k32bppBGR:
      return ReadBytes<4, 2, 1, 0, -1>;
    case PF::k32bppRGB:
      return ReadBytes<4, 0, 1, 2, -1>;
    case PF::k48bppRGB:
      return ReadShorts<3, 0, 1, 2, -1>;
    case PF::k48bppBGR:
      return ReadShorts<3, 2, 1, 0, -1>;
    case PF::k64bppRGBA:
      return ReadShorts<4, 0, 1, 2, 3>;
    case PF::k64bppBGRA:
      return ReadShorts<4, 2, 1, 0, 3>;
    case PF::k64bppRGB:
      return ReadShorts<4, 0, 1, 2, -1>;
    case PF::k64bppRGBAHalf:
      return ReadRgbaHalf;
    case PF::k128bppRGBAFloat:
      return ReadFloats<4>;
    case PF::k128bppRGBFloat:
      return ReadFloats<4>;  // fourth float is padding
    case PF::k96bppRGBFloat:
      return ReadFloats<3>;
    case PF::k16bppBGR555:
      return Read555;
    case PF::k16bppBGRA5551:
      return Read5551;
    case PF::k16bppBGR565:
      return Read565;
    case PF::k32bppRGBA1010102:
      return Read1010102;
    case PF::k32bppRGBA1010102XR:
      return Read1010102XR;
    case PF::k32bppBGR101010:
      return ReadBgr101010;
    default:
      return nullptr;  // premultiplied, fixed-point, CMYK, extended range
  }
}

// ---- writers ----

float Luma(const Rgba& c) { return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b; }

void WriteGray8(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(Quantise(Luma(in[x]), 255));
}
void WriteAlpha8(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(Quantise(in[x].a, 255));
}
void WriteGray16(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) {
    Store16(row + 2 * x, static_cast<uint16_t>(Quantise(Luma(in[x]), 65535)));
  }
}
void WriteGrayHalf(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) Store16(row + 2 * x, FloatToHalf(Luma(in[x])));
}
void WriteGrayFloat(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) StoreFloat(row + 4 * x, Luma(in[x]));
}
template <int kR, int kG, int kB, int kA>
void WriteBytes4(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) {
    uint8_t* p = row + 4 * x;
    p[kR] = static_cast<uint8_t>(Quantise(in[x].r, 255));
    p[kG] = static_cast<uint8_t>(Quantise(in[x].g, 255));
    p[kB] = static_cast<uint8_t>(Quantise(in[x].b, 255));
    p[kA] = static_cast<uint8_t>(Quantise(in[x].a, 255));
  }
}
void WriteBgrx(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) {
    uint8_t* p = row + 4 * x;
    p[0] = static_cast<uint8_t>(Quantise(in[x].b, 255));
    p[1] = static_cast<uint8_t>(Quantise(in[x].g, 255));
    p[2] = static_cast<uint8_t>(Quantise(in[x].r, 255));
    p[3] = 255;
  }
}
void WriteRgba16(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) {
    uint8_t* p = row + 8 * x;
    Store16(p, static_cast<uint16_t>(Quantise(in[x].r, 65535)));
    Store16(p + 2, static_cast<uint16_t>(Quantise(in[x].g, 65535)));
    Store16(p + 4, static_cast<uint16_t>(Quantise(in[x].b, 65535)));
    Store16(p + 6, static_cast<uint16_t>(Quantise(in[x].a, 65535)));
  }
}
void WriteRgbaHalf(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) {
    uint8_t* p = row + 8 * x;
    Store16(p, FloatToHalf(in[x].r));
    Store16(p + 2, FloatToHalf(in[x].g));
    Store16(p + 4, FloatToHalf(in[x].b));
    Store16(p + 6, FloatToHalf(in[x].a));
  }
}
template <int kChannels>
void WriteFloats(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) {
    uint8_t* p = row + 4 * kChannels * x;
    StoreFloat(p, in[x].r);
    StoreFloat(p + 4, in[x].g);
    StoreFloat(p + 8, in[x].b);
    if (kChannels == 4) StoreFloat(p + 12, in[x].a);
  }
}
void Write5551(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t v = Quantise(in[x].r, 31) << 10 | Quantise(in[x].g, 31) << 5 | Quantise(in[x].b, 31) |
                 Quantise(in[x].a, 1) << 15;
    Store16(row + 2 * x, static_cast<uint16_t>(v));
  }
}
void Write565(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t v = Quantise(in[x].r, 31) << 11 | Quantise(in[x].g, 63) << 5 | Quantise(in[x].b, 31);
    Store16(row + 2 * x, static_cast<uint16_t>(v));
  }
}
void Write1010102(const Rgba* in, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t v = Quantise(in[x].r, 1023) | Quantise(in[x].g, 1023) << 10 | Quantise(in[x].b, 1023) << 20 |
                 Quantise(in[x].a, 3) << 30;
    Store32(row + 4 * x, v);
  }
}

Writer WriterFor(PixelFormat format) {
  using PF = PixelFormat;
  switch (format) {
    case PF::k8bppGray:
      return WriteGray8;
    case PF::k8bppAlpha:
      return WriteAlpha8;
    case PF::k16bppGray:
      return WriteGray16;
    case PF::k16bppGrayHalf:
      return WriteGrayHalf;
    case PF::k32bppGrayFloat:
      return WriteGrayFloat;
    case PF::k32bppRGBA:
      return WriteBytes4<0, 1, 2, 3>;
    case PF::k32bppBGRA:
      return WriteBytes4<2, 1, 0, 3>;
    case PF::k32bppBGR:
      return WriteBgrx;
    case PF::k64bppRGBA:
      return WriteRgba16;
    case PF::k64bppRGBAHalf:
      return WriteRgbaHalf;
    case PF::k128bppRGBAFloat:
      return WriteFloats<4>;
    case PF::k96bppRGBFloat:
      return WriteFloats<3>;
    case PF::k16bppBGRA5551:
      return Write5551;
    case PF::k16bppBGR565:
      return Write565;
    case PF::k32bppRGBA1010102:
      return Write1010102;
    default:
      return nullptr;
  }
}

// Area filter weights: output sample i covers source interval [i s, (i + 1) s) with
// s = source / target; each source sample weighs by its overlap.
struct Taps {
  std::vector<uint32_t> first;   // per output sample: first source sample
  std::vector<uint32_t> offset;  // per output sample + 1: range into weights
  std::vector<float> weights;
};

Taps AreaTaps(uint32_t source, uint32_t target) {
  Taps taps;
  taps.first.resize(target);
  taps.offset.resize(target + 1);
  double scale = static_cast<double>(source) / target;
  for (uint32_t i = 0; i < target; ++i) {
    double begin = i * scale;
    double end = std::min<double>((i + 1) * scale, source);
    auto k = std::min(static_cast<uint32_t>(begin), source - 1);
    taps.first[i] = k;
    taps.offset[i] = static_cast<uint32_t>(taps.weights.size());
    double covered = end - begin;
    for (; k < source && k < end; ++k) {
      double overlap = std::min<double>(end, k + 1) - std::max<double>(begin, k);
      if (overlap > 0) taps.weights.push_back(static_cast<float>(overlap / covered));
    }
    if (taps.weights.size() == taps.offset[i]) taps.weights.push_back(1.0f);
  }
  taps.offset[target] = static_cast<uint32_t>(taps.weights.size());
  return taps;
}

}  // namespace

ImageResult ConvertImage(const DecodedImage& source, PixelFormat target, uint32_t width, uint32_t height,
                         DecodedImage& out) {
  Reader read = ReaderFor(source.format);
  Writer write = WriterFor(target);
  if (read == nullptr || write == nullptr) return ImageResult::kUnexpected;
  if (source.width == 0 || source.height == 0 || width == 0 || height == 0) {
    return ImageResult::kInvalidArgument;
  }
  if (source.pixels.size() < source.rowPitch * source.height ||
      source.rowPitch < (static_cast<uint64_t>(source.width) * BitsPerPixel(source.format) + 7) / 8) {
    return ImageResult::kInvalidArgument;
  }
  uint64_t pitch = (static_cast<uint64_t>(width) * BitsPerPixel(target) + 7) / 8;
  uint64_t size = pitch * height;
  if (pitch > 0xFFFFFFFFu || size > 0xFFFFFFFFu) return ImageResult::kArithmeticOverflow;

  std::vector<uint8_t> pixels;  // built aside: out may be source itself
  try {
    pixels.assign(size, 0);
    Taps columns = AreaTaps(source.width, width);
    Taps rows = AreaTaps(source.height, height);
    std::vector<Rgba> unpacked(source.width);
    std::vector<Rgba> filtered(width);
    std::vector<Rgba> sum(width);
    const bool sameWidth = width == source.width;
    for (uint32_t y = 0; y < height; ++y) {
      std::fill(sum.begin(), sum.end(), Rgba{0, 0, 0, 0});
      for (uint32_t t = rows.offset[y]; t < rows.offset[y + 1]; ++t) {
        uint32_t sy = rows.first[y] + (t - rows.offset[y]);
        float wy = rows.weights[t];
        read(source, source.pixels.data() + sy * source.rowPitch, source.width, unpacked.data());
        const Rgba* line = unpacked.data();
        if (!sameWidth) {
          for (uint32_t x = 0; x < width; ++x) {
            Rgba acc{0, 0, 0, 0};
            for (uint32_t k = columns.offset[x]; k < columns.offset[x + 1]; ++k) {
              const Rgba& s = unpacked[columns.first[x] + (k - columns.offset[x])];
              float w = columns.weights[k];
              acc.r += w * s.r;
              acc.g += w * s.g;
              acc.b += w * s.b;
              acc.a += w * s.a;
            }
            filtered[x] = acc;
          }
          line = filtered.data();
        }
        if (rows.offset[y + 1] - rows.offset[y] == 1) {
          std::copy(line, line + width, sum.begin());  // exact: no rounding from weights
        } else {
          for (uint32_t x = 0; x < width; ++x) {
            sum[x].r += wy * line[x].r;
            sum[x].g += wy * line[x].g;
            sum[x].b += wy * line[x].b;
            sum[x].a += wy * line[x].a;
          }
        }
      }
      write(sum.data(), width, pixels.data() + y * pitch);
    }
  } catch (const std::bad_alloc&) {
    return ImageResult::kOutOfMemory;
  }
  out.pixels = std::move(pixels);
  out.width = width;
  out.height = height;
  out.format = target;
  out.rowPitch = static_cast<size_t>(pitch);
  out.container = source.container;
  out.hasSrgbIntent = source.hasSrgbIntent;
  out.colourSpace = source.colourSpace;
  out.palette.clear();
  return ImageResult::kOk;
}

}  // namespace graphics
