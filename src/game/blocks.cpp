#include "game/blocks.h"

#include <vector>

namespace game {
namespace {

std::vector<void (*)()>& Resets() {
  static std::vector<void (*)()> resets;
  return resets;
}

}  // namespace

void blocks_detail::AddReset(void (*reset)()) { Resets().push_back(reset); }

void ResetGameBlocks() {
  for (void (*reset)() : Resets()) reset();
}

}  // namespace game
