#include "graphics/texture_cache.h"

#include <system_error>

#include "graphics/graphics.h"
#include "graphics/texture_loader.h"

namespace graphics {

std::shared_ptr<const Texture> TextureCache::Load(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_time_type modified = fs::last_write_time(path, error);
  const std::uintmax_t size = error ? 0 : fs::file_size(path, error);
  // A file that cannot be looked at is not remembered; the loader says what is wrong.
  if (error) return LoadTextureFromFile(path);

  const RenderDevice* device = Block().device.get();
  const auto found = entries_.find(path);
  if (found != entries_.end()) {
    const Entry& entry = found->second;
    if (entry.modified == modified && entry.size == size && entry.device == device) {
      if (entry.failed) return nullptr;
      if (std::shared_ptr<const Texture> held = entry.texture.lock()) return held;
    }
  }
  std::shared_ptr<const Texture> texture = LoadTextureFromFile(path);
  entries_[path] = Entry{modified, size, device, texture, texture == nullptr};
  return texture;
}

std::size_t TextureCache::TexturesInUse() const {
  std::size_t inUse = 0;
  for (const auto& [path, entry] : entries_) {
    if (!entry.texture.expired()) ++inUse;
  }
  return inUse;
}

std::shared_ptr<const Texture> LoadSharedTexture(const std::string& path) {
  return Block().textures.Load(path);
}

}  // namespace graphics
