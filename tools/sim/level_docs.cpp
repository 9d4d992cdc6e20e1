#include "level_docs.h"

#include <filesystem>
#include <iostream>
#include <sstream>

#include "base/atomic_file.h"
#include "core/component_registration.h"
#include "reference.h"
#include "schema.h"

namespace sim {
namespace {

bool WriteWhole(const std::filesystem::path& path, const std::string& text) {
  base::AtomicFile file(path);
  if (!file.Write(text) || !file.Commit()) {
    std::cerr << "velmaris-sim: " << file.Error() << std::endl;
    return false;
  }
  return true;
}

}  // namespace

int WriteLevelDocs(const Options& options) {
  core::RegisterComponents();
  bool written = true;
  if (options.schema) {
    std::ostringstream schema;
    WriteSchema(schema);
    if (options.schemaPath.empty()) {
      std::cout << schema.str() << std::flush;
    } else {
      written = WriteWhole(options.schemaPath, schema.str());
    }
  }
  if (!options.referenceDir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options.referenceDir, error);
    for (const ReferencePage& page : ReferencePages()) {
      written = WriteWhole(std::filesystem::path(options.referenceDir) / page.file, page.text) && written;
    }
  }
  return written ? 0 : 1;
}

}  // namespace sim
