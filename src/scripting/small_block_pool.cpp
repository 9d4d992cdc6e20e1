// Free lists per size class over a bump region of the newest chunk.
#include "scripting/small_block_pool.h"

#include <cstdlib>

namespace scripting {

SmallBlockPool::~SmallBlockPool() {
  while (chunks_ != nullptr) {
    void* before = *static_cast<void**>(chunks_);
    std::free(chunks_);
    chunks_ = before;
  }
}

void* SmallBlockPool::Allocate(std::size_t size) {
  const std::size_t sizeClass = ClassOf(size);
  if (FreeBlock* block = free_[sizeClass]) {
    free_[sizeClass] = block->next;
    return block;
  }
  const std::size_t bytes = (sizeClass + 1) * kGranule;
  if (unusedBytes_ < bytes) {
    void* chunk = std::malloc(kChunkBytes);
    if (chunk == nullptr) return nullptr;
    *static_cast<void**>(chunk) = chunks_;
    chunks_ = chunk;
    ++chunkCount_;
    // The link takes the first granule, so blocks keep the chunk's alignment. What
    // was left of the chunk before (less than one block) stays unused.
    unused_ = static_cast<char*>(chunk) + kGranule;
    unusedBytes_ = kChunkBytes - kGranule;
  }
  void* block = unused_;
  unused_ += bytes;
  unusedBytes_ -= bytes;
  return block;
}

void SmallBlockPool::Free(void* block, std::size_t size) {
  auto* freed = static_cast<FreeBlock*>(block);
  const std::size_t sizeClass = ClassOf(size);
  freed->next = free_[sizeClass];
  free_[sizeClass] = freed;
}

}  // namespace scripting
