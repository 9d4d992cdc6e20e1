// Image files: reads a file whole, hands it to the decoder that recognises it, and
// reports a failure once on standard error with the file's name.
#include "graphics/image_decoder.h"

#include <cerrno>

#include "base/file_read.h"
#include "base/log.h"

namespace graphics {
namespace {

constexpr std::string_view kTag = "TEXTURE";

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
    case ENOMEM:
      return ImageResult::kOutOfMemory;
    default:
      return ImageResult::kReadFault;
  }
}

ImageResult ReadPictureFile(const std::string& path, std::string& bytes, std::string& reason) {
  const base::FileRead read = base::ReadWholeFile(path, base::kPictureLimit, bytes);
  reason = read.reason;
  if (read.Ok()) return ImageResult::kOk;
  return read.outcome == base::ReadOutcome::kRefused ? ImageResult::kReadFault
                                                     : ResultFromErrno(read.errorNumber);
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
  std::string bytes;
  std::string reason;
  ImageResult result = ReadPictureFile(path, bytes, reason);
  if (result == ImageResult::kOk) {
    result = DecodeImage({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, out, reason);
  }
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
