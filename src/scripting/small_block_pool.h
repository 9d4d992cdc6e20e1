// SmallBlockPool: the small blocks of one Lua state. Most of what a script state
// allocates (closures, upvalues, table headers, short strings, userdata) is a few
// dozen bytes, made and freed every frame. Served from free lists per size class
// carved out of large chunks, they stay together in cache, cost a few instructions,
// and never reach malloc, whose periodic consolidation of freed blocks walks
// memory gone cold. Anything larger is the caller's to get from malloc.
#pragma once

#include <cstddef>

namespace scripting {

class SmallBlockPool {
 public:
  // Bytes: the largest request served, the step between size classes (also the
  // alignment of every block), and the size of the chunks blocks are carved from.
  static constexpr std::size_t kLargest = 256;
  static constexpr std::size_t kGranule = 16;
  static constexpr std::size_t kChunkBytes = std::size_t{64} << 10;

  SmallBlockPool() = default;
  // Frees every chunk: every block goes with its pool.
  ~SmallBlockPool();
  SmallBlockPool(const SmallBlockPool&) = delete;
  SmallBlockPool& operator=(const SmallBlockPool&) = delete;

  static bool Serves(std::size_t size) { return size != 0 && size <= kLargest; }
  // True when blocks of sizes a and b (both served) are of the same class, so that
  // one fits where the other was asked for.
  static bool SameClass(std::size_t a, std::size_t b) { return ClassOf(a) == ClassOf(b); }

  // A block of at least size bytes (Serves(size)), aligned to kGranule; null only
  // when a new chunk is needed and malloc refuses it.
  void* Allocate(std::size_t size);
  // Takes back a block of this pool, or any block of at least size bytes that is
  // never to be freed otherwise; size is the one it is known by now.
  void Free(void* block, std::size_t size);

  // Bytes held in chunks (tests, benchmarks).
  std::size_t ChunkBytes() const { return chunkCount_ * kChunkBytes; }

 private:
  struct FreeBlock {
    FreeBlock* next;
  };
  static std::size_t ClassOf(std::size_t size) { return (size - 1) / kGranule; }

  FreeBlock* free_[kLargest / kGranule] = {};
  void* chunks_ = nullptr;  // the newest chunk; each starts with the address of the one before
  char* unused_ = nullptr;  // the part of the newest chunk not yet handed out
  std::size_t unusedBytes_ = 0;
  std::size_t chunkCount_ = 0;
};

}  // namespace scripting
