#include "graphics/sprite_source.h"

#include "base/data_path.h"
#include "base/log.h"
#include "graphics/texture_cache.h"
#include "objects/type_registry.h"

namespace graphics {

SpriteSource::SpriteSource() : BaseComponent("SpriteSource") {}

SpriteSource::SpriteSource(std::string imagePath)
    : BaseComponent("SpriteSource"), image(std::move(imagePath)) {}

bool SpriteSource::Initialize() {
  if (texture == nullptr || loadedImage_ != image) LoadImage(image);
  return true;
}

void SpriteSource::LoadImage(const std::string& imagePath) {
  const base::ResolvedPath resolved = base::ResolveDataPath(imagePath);
  if (!resolved.Inside()) {
    base::LogErrorOnce("graphics", "picture \"" + imagePath + "\" " + resolved.reason + "; it is not loaded");
    texture = nullptr;
    loadedImage_.clear();
    return;
  }
  // The new texture is taken before the old one goes, so that showing the file shown
  // already does not decode it again.
  texture = LoadSharedTexture(resolved.path);
  loadedImage_ = texture != nullptr ? imagePath : std::string();
}

void SpriteSource::ShowFile(const std::string& file) {
  texture = LoadSharedTexture(file);
  image = file;
  loadedImage_ = texture != nullptr ? file : std::string();
}

void RegisterSpriteSource(objects::TypeRegistry& registry) {
  registry.RegisterType<SpriteSource>("SpriteSource")
      .Describe("the picture its object's Sprite shows: a sheet of rows x columns equal frames",
                R"({"numrows": 2, "numcols": 4, "image": "images/Play/star.png"})")
      .AddHeaderMember()
      .Add("numrows", VELMARIS_FIELD(SpriteSource, rows), {"rows of frames in the picture, 1 or more"})
      .Add("numcols", VELMARIS_FIELD(SpriteSource, columns), {"columns of frames in the picture, 1 or more"})
      .Add("image", VELMARIS_FIELD(SpriteSource, image), {"the PNG or BMP picture, from the data folder"})
      .Hide(VELMARIS_FIELD(SpriteSource, texture))
      .FinishType();
}

}  // namespace graphics
