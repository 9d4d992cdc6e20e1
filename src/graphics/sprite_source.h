// SpriteSource: the sprite sheet of a game object: the image file, how many rows and
// columns of equal cells it holds, and the loaded texture, shared with every other
// source that shows the same file.
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
  // loaded is not loaded again.
  bool Initialize() override;

  // Replaces the texture with the one of another file, named as data files name it
  // (inside the data folder: base::ResolveDataPath), decoded only when no other source
  // holds that version of it; `image` keeps its value. The old texture is let go; on
  // failure, or for a name that leads out of the data folder, the texture becomes
  // null and the file is named once on standard error.
  void LoadImage(const std::string& imagePath);
  // Shows the picture at `file`, a path the game itself chose (a custom level's
  // preview beside its level file), not one a data file gave.
  void ShowFile(const std::string& file);

  // Null until loaded, or when loading failed.
  const Texture* GetTexture() const { return texture.get(); }
  // The file `texture` was loaded from; empty while there is no texture.
  const std::string& LoadedImage() const { return loadedImage_; }

  std::int32_t rows = 1;
  std::int32_t columns = 1;
  std::string image;                       // path inside the data folder
  std::shared_ptr<const Texture> texture;  // shared with the texture cache's other users

 private:
  std::string loadedImage_;  // the file `texture` came from; empty when none
};

void RegisterSpriteSource(objects::TypeRegistry& registry);

}  // namespace graphics
