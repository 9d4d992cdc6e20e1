// Shared by the image tests: reading a corpus file whole, walking a PNG's chunks and
// setting its colour-space chunks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace graphics::testing_support {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline std::uint32_t Be32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// Calls visit(type, chunk) for each chunk of a PNG file; chunk spans the chunk's
// length, type, data and CRC.
template <typename Visit>
void ForEachChunk(const Bytes& file, Visit visit) {
  for (std::size_t at = 8; at + 12 <= file.size();) {
    const std::size_t end = std::min(file.size(), at + 12 + std::size_t{Be32(&file[at])});
    visit(std::string(file.begin() + at + 4, file.begin() + at + 8), std::span(file.data() + at, end - at));
    at = end;
  }
}

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t length) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

// The file without its colour-space chunks, and with an sRGB chunk when srgb is set.
// With one, libpng's simplified reader neither gamma-corrects nor takes 16-bit
// samples as linear: the texture loader keeps the stored values.
inline Bytes WithColourChunks(const Bytes& file, bool srgb) {
  Bytes out(file.begin(), file.begin() + 8);
  const std::uint8_t intent[] = {0, 0, 0, 1, 's', 'R', 'G', 'B', 0};
  ForEachChunk(file, [&](const std::string& type, std::span<const std::uint8_t> chunk) {
    if (type != "gAMA" && type != "cHRM" && type != "iCCP" && type != "sRGB" && type != "sBIT") {
      out.insert(out.end(), chunk.begin(), chunk.end());
    }
    if (type != "IHDR" || !srgb) return;
    out.insert(out.end(), std::begin(intent), std::end(intent));
    const std::uint32_t crc = Crc32(intent + 4, 5);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(crc >> shift));
  });
  return out;
}

}  // namespace graphics::testing_support
