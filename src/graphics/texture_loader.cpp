#include "graphics/texture_loader.h"

#include "base/log.h"
#include "graphics/graphics.h"
#include "graphics/image_decoder.h"

namespace graphics {

std::unique_ptr<Texture> LoadTextureFromFile(const std::string& path, std::uint32_t maxSize,
                                             ImageResult* result) {
  auto report = [result](ImageResult code) {
    if (result != nullptr) *result = code;
  };
  if (!Block().device) {
    report(ImageResult::kInvalidArgument);
    base::LogErrorOnce("graphics", path + ": no render device to load the texture into");
    return nullptr;
  }
  TextureLoadOptions options;
  options.maxSize = maxSize;
  options.deviceMaxTextureSize = Block().device->MaxTextureSize();
  TextureImage image;
  const ImageResult loaded = LoadTextureImage(path, options, image);
  report(loaded);
  if (loaded != ImageResult::kOk) return nullptr;  // the loader has named the file
  std::unique_ptr<Texture> texture = Block().device->CreateTexture(image);
  if (!texture) {
    report(ImageResult::kFail);
    base::LogError("graphics", path + ": the render device refused the texture");
  }
  return texture;
}

}  // namespace graphics
