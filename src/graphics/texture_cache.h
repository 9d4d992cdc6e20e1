// The textures of image files, shared by every sprite source that shows the same
// version of the same file: one decode and one upload per picture, however many
// sprites show it. Entries are weak: a texture goes when its last user does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>

#include "graphics/render_device.h"

namespace graphics {

class TextureCache {
 public:
  // The texture of the file at `path` (relative to the working directory) as the file
  // is now, on the graphics block's device: the one its other users hold while the
  // file keeps the modification time and size it was loaded with, else decoded and
  // uploaded anew (those who hold the old version keep it). Null when the file cannot
  // be loaded; the loader has named the file in one line on standard error. A failure
  // is remembered as a success is, until the file changes: a broken picture that
  // many objects show is decoded once, not once for each of them.
  std::shared_ptr<const Texture> Load(const std::string& path);

  // Forgets every entry: their device is going. Textures still held stay with their
  // holders, who must let them go before the device does.
  void Clear() { entries_.clear(); }

  // How many files have a texture that someone still holds.
  std::size_t TexturesInUse() const;

 private:
  struct Entry {
    std::filesystem::file_time_type modified;
    std::uintmax_t size = 0;               // bytes
    const RenderDevice* device = nullptr;  // the device the texture lives on; not owned
    std::weak_ptr<const Texture> texture;
    bool failed = false;  // this version of the file does not load
  };
  std::unordered_map<std::string, Entry> entries_;  // by path as given
};

// Loads through the graphics block's cache (Block().textures): how sprite sources and
// the live reload get their pictures.
std::shared_ptr<const Texture> LoadSharedTexture(const std::string& path);

}  // namespace graphics
