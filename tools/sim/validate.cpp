#include "validate.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "core/component_registration.h"
#include "core/data_folder.h"
#include "game/data_requirements.h"
#include "serialization/validator.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

fs::path Canonical(const fs::path& path) {
  std::error_code ignored;
  const fs::path canonical = fs::weakly_canonical(fs::absolute(path), ignored);
  return canonical.empty() ? fs::absolute(path) : canonical;
}

// How problem lines name the data folder: from the start folder when it lies inside
// it ("data"), else in full.
std::string ShownDataFolder(const fs::path& start, const fs::path& data) {
  const fs::path relative = Canonical(data).lexically_relative(Canonical(start));
  if (relative.empty() || *relative.begin() == "..") return Canonical(data).generic_string();
  return relative == "." ? std::string() : relative.generic_string();
}

}  // namespace

int Validate(const Options& options) {
  const fs::path start = fs::current_path();
  if (!core::EnterDataDirectory(options.common.dataDir)) return 1;
  const fs::path data = fs::current_path();
  core::RegisterComponents();

  const std::string shownData = ShownDataFolder(start, data);
  serialization::Validator validator(data, shownData, game::DataFileRules());

  if (options.validateFiles.empty()) validator.CheckDataFolder();
  // Files are named from where the runner was started; one that is not there is
  // taken inside the data folder.
  for (const std::string& file : options.validateFiles) {
    std::error_code error;
    if (fs::path(file).is_absolute() || fs::exists(start / file, error)) {
      validator.CheckFile(start / file, file);
    } else {
      validator.CheckFile(data / file, shownData.empty() ? file : shownData + "/" + file);
    }
  }

  for (const serialization::Problem& problem : validator.Problems()) {
    std::cout << serialization::FormatProblem(problem) << '\n';
  }
  std::cout << serialization::FormatSummary(validator) << std::endl;
  return validator.Problems().empty() ? 0 : 1;
}

}  // namespace sim
