// The custom level check: the game's data file rules over one level file.
#include "game/custom_level_check.h"

#include <system_error>

#include "game/data_requirements.h"

namespace game {

std::vector<serialization::Problem> CheckCustomLevel(const std::filesystem::path& levelFile,
                                                     const std::string& shown) {
  std::error_code error;
  const std::filesystem::path data = std::filesystem::current_path(error);
  serialization::Validator validator(data, data.generic_string(), DataFileRules());
  validator.CheckFile(levelFile, shown);
  return validator.Problems();
}

}  // namespace game
