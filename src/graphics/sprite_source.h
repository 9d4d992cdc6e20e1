// SpriteSource: the sprite sheet of a game object: the image file, how many rows and
// columns of equal cells it holds, and the loaded texture.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/render_device.h"
#include "objects/base_component.h"

namespace objects {
class TypeRegistry;
}

namespace graphics {

class SpriteSource : public objects::BaseComponent {
 public:
  SpriteSource();
  explicit SpriteSource(std::string imagePath);

  // Loads the texture from `image`; true even when the file cannot be loaded (the
  // texture then stays null and the sprite draws nothing visible). An object is
  // initialised after each prefab layer and on every reload: an image already
  // loaded is not decoded again.
  bool Initialize() override;

  // Replaces the texture with one loaded from another file; `image` keeps its value.
  // The old texture is released; on failure the texture becomes null.
  void LoadImage(const std::string& imagePath);

  // Null until loaded, or when loading failed.
  const Texture* GetTexture() const { return texture.get(); }
  // The file `texture` was loaded from; empty while there is no texture.
  const std::string& LoadedImage() const { return loadedImage_; }

  std::int32_t rows = 1;
  std::int32_t columns = 1;
  std::string image;  // path relative to the working directory
  std::unique_ptr<Texture> texture;

 private:
  std::string loadedImage_;  // the file `texture` came from; empty when none
};

void RegisterSpriteSource(objects::TypeRegistry& registry);

}  // namespace graphics
