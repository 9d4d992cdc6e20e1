// Image files: reads a file whole, hands it to the decoder that recognises it, and
// reports a failure once on standard error with the file's name.
#include "graphics/image_decoder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "base/log.h"

namespace graphics {
namespace {

constexpr std::string_view kTag = "TEXTURE";
// Files above this are refused before reading: no game image comes near it.
constexpr long kMaxFileBytes = 1L << 30;

ImageResult ResultFromErrno(int error) {
  switch (error) {
    case ENOENT:
      return ImageResult::kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
      return ImageResult::kPathNotFound;
    case EACCES:
    case EPERM:
      return ImageResult::kAccessDenied;
    default:
      return ImageResult::kReadFault;
  }
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

ImageResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& reason) {
  errno = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    int error = errno;
    reason = std::strerror(error);
    return ResultFromErrno(error);
  }
  long size = -1;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) size = std::ftell(file.get());
  if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
    reason = "cannot read (not a regular file?)";
    return ImageResult::kReadFault;
  }
  if (size > kMaxFileBytes) {
    reason = "file larger than 1 GiB";
    return ImageResult::kOutOfMemory;
  }
  try {
    bytes.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    reason = "out of memory";
    return ImageResult::kOutOfMemory;
  }
  if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    reason = "read error";
    return ImageResult::kReadFault;
  }
  return ImageResult::kOk;
}

// The system's or the decoder's own words; the numeric result code means nothing
// to a player or a level maker, so it is left out.
std::string FailureLine(const std::string& path, ImageResult result, const std::string& reason) {
  return "cannot load image '" + path +
         "': " + (reason.empty() ? std::string(ImageResultText(result)) : reason);
}

}  // namespace

ImageResult DecodeImage(std::span<const uint8_t> bytes, DecodedImage& out, std::string& reason) {
  static const std::unique_ptr<ImageDecoder> kDecoders[] = {CreatePngDecoder(), CreateBmpDecoder()};
  out = DecodedImage{};
  for (const auto& decoder : kDecoders) {
    if (decoder->Recognises(bytes)) {
      ImageResult result = decoder->Decode(bytes, out, reason);
      if (result != ImageResult::kOk) out = DecodedImage{};
      return result;
    }
  }
  reason = "not a PNG or BMP image";
  return ImageResult::kUnknownImageFormat;
}

ImageResult DecodeImageFile(const std::string& path, DecodedImage& out) {
  out = DecodedImage{};
  std::vector<uint8_t> bytes;
  std::string reason;
  ImageResult result = ReadWholeFile(path, bytes, reason);
  if (result == ImageResult::kOk) result = DecodeImage(bytes, out, reason);
  if (result != ImageResult::kOk) base::LogError(kTag, FailureLine(path, result, reason));
  return result;
}

ImageResult LoadTextureImage(const std::string& path, const TextureLoadOptions& options, TextureImage& out) {
  out = TextureImage{};
  DecodedImage image;
  ImageResult result = DecodeImageFile(path, image);
  if (result != ImageResult::kOk) return result;  // already reported
  result = PrepareTexture(image, options, out);
  if (result != ImageResult::kOk) {
    out = TextureImage{};
    base::LogError(kTag, FailureLine(path, result, ""));
  }
  return result;
}

}  // namespace graphics
