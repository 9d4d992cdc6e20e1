// The layers of src/ stay in their order: a file includes only its own layer and the
// layers below it (the order of the README's architecture table); calls upward go
// through hooks. Only the entry point may include the game.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// Each folder of src/ and its height; folders of one height may not include each other.
const std::map<std::string, int> kLayers = {
    {"base", 0},  {"platform", 1},   {"objects", 2},   {"serialization", 3}, {"graphics", 4}, {"audio", 4},
    {"input", 4}, {"components", 5}, {"scripting", 6}, {"core", 7},          {"game", 8},
};

// The files allowed above their layer: the entry point assembles the game.
bool MayIncludeAnything(const fs::path& relative) { return relative == "core/main.cpp"; }

TEST(LayersTest, NoFileIncludesALayerAboveItsOwnOrBesideIt) {
  const fs::path src = fs::path(VELMARIS_SOURCE_DIR) / "src";
  const std::regex include(R"(^\s*#\s*include\s*"([a-z_]+)/)");
  int files = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = entry.path().lexically_relative(src);
    const std::string layer = relative.begin()->string();
    ASSERT_TRUE(kLayers.contains(layer))
        << "src/" << layer << " is in no layer: add it to the table and the README";
    if (MayIncludeAnything(relative)) continue;
    ++files;
    std::ifstream file(entry.path());
    int lineNumber = 0;
    for (std::string line; std::getline(file, line);) {
      ++lineNumber;
      std::smatch match;
      if (!std::regex_search(line, match, include) || !kLayers.contains(match[1])) continue;
      const std::string target = match[1];
      const bool above = kLayers.at(target) > kLayers.at(layer);
      const bool beside = kLayers.at(target) == kLayers.at(layer) && target != layer;
      EXPECT_FALSE(above || beside) << "src/" << relative.string() << ":" << lineNumber << ": " << layer
                                    << " includes " << target
                                    << (above ? ", a layer above it" : ", a layer beside it") << ": " << line;
    }
  }
  EXPECT_GT(files, 100) << "the sources were found";
}

}  // namespace
