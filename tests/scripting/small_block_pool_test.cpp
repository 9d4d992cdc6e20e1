// The small-block pool behind script states: blocks of every class are aligned, do
// not overlap, come back in their class, and more chunks come as they are needed.
#include "scripting/small_block_pool.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace {

using scripting::SmallBlockPool;

TEST(SmallBlockPoolTest, BlocksOfEveryClassAreAlignedSeparateAndReusedInTheirClass) {
  SmallBlockPool pool;
  struct Held {
    unsigned char* block;
    std::size_t size;
  };
  std::vector<Held> held;
  // Enough blocks of every size to need several chunks.
  for (int round = 0; round < 40; ++round) {
    for (std::size_t size = 1; size <= SmallBlockPool::kLargest; size += 7) {
      auto* block = static_cast<unsigned char*>(pool.Allocate(size));
      ASSERT_NE(block, nullptr);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % SmallBlockPool::kGranule, 0u);
      std::memset(block, static_cast<int>(held.size() & 0xff), size);
      held.push_back({block, size});
    }
  }
  EXPECT_GT(pool.ChunkBytes(), SmallBlockPool::kChunkBytes);
  for (std::size_t i = 0; i < held.size(); ++i) {  // nothing written later overlapped
    for (std::size_t byte = 0; byte < held[i].size; ++byte) {
      ASSERT_EQ(held[i].block[byte], i & 0xff) << "block " << i;
    }
  }

  // A freed block serves the next request of its class, not of another class.
  const std::size_t chunks = pool.ChunkBytes();
  pool.Free(held[3].block, held[3].size);
  EXPECT_NE(pool.Allocate(SmallBlockPool::kLargest), held[3].block);
  EXPECT_EQ(pool.Allocate(held[3].size), held[3].block);
  EXPECT_EQ(pool.ChunkBytes(), chunks);
  EXPECT_TRUE(SmallBlockPool::SameClass(17, 32));
  EXPECT_FALSE(SmallBlockPool::SameClass(16, 17));
  EXPECT_FALSE(SmallBlockPool::Serves(SmallBlockPool::kLargest + 1));
  EXPECT_FALSE(SmallBlockPool::Serves(0));
}

}  // namespace
