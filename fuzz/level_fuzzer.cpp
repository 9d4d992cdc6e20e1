// libFuzzer program: level files through the level loader (see fuzz::LevelTarget).
// The scratch folder goes under the temporary folder ($TMPDIR), one per process.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "fuzz/entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::LevelTarget target(
      std::filesystem::temp_directory_path() / ("velmaris_fuzz_level_" + std::to_string(::getpid())),
      VELMARIS_DATA_DIR);
  target.Load({data, size});
  return 0;
}
