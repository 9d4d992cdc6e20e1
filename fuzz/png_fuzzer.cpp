// libFuzzer program: image files through the PNG decoder (see fuzz::DecodePng).
#include <cstddef>
#include <cstdint>

#include "fuzz/entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::DecodePng({data, size});
  return 0;
}
