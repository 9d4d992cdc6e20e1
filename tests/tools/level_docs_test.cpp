// velmaris-sim --schema and --reference: the committed docs/level.schema.json and
// docs/reference.md are what the generators make from this build, and every other
// table the reference reads has a description for each row.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "components/collider.h"
#include "components/collision_handlers.h"
#include "core/component_registration.h"
#include "game/game_states.h"
#include "game/menus/menu_pages.h"
#include "objects/type_registry.h"
#include "run_sim.h"

namespace {

namespace fs = std::filesystem;

using sim_testing::ReadFile;
using sim_testing::Result;
using sim_testing::RunSim;

const fs::path kDocs = fs::path(VELMARIS_SOURCE_DIR) / "docs";

class LevelDocsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("velmaris_" + std::to_string(::getpid()) + "_level_docs");
    fs::remove_all(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path folder;
};

TEST_F(LevelDocsTest, CommittedSchemaIsTheGeneratorsOutput) {
  const Result printed = RunSim("--schema");
  ASSERT_EQ(printed.status, 0) << printed.output;
  EXPECT_TRUE(printed.output == ReadFile((kDocs / "level.schema.json").string()))
      << "docs/level.schema.json is out of date: regenerate it with\n"
         "  ./build/velmaris-sim --schema docs/level.schema.json";
  fs::create_directories(folder);
  const Result written = RunSim("--schema " + (folder / "schema.json").string());
  ASSERT_EQ(written.status, 0) << written.output;
  EXPECT_EQ(written.output, "");
  EXPECT_TRUE(ReadFile((folder / "schema.json").string()) == printed.output);
}

TEST_F(LevelDocsTest, CommittedReferenceIsTheGeneratorsOutput) {
  const Result result = RunSim("--reference " + folder.string());
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output, "");
  EXPECT_TRUE(ReadFile((folder / "reference.md").string()) == ReadFile((kDocs / "reference.md").string()))
      << "docs/reference.md is out of date: regenerate it with\n"
         "  ./build/velmaris-sim --reference docs";
}

TEST_F(LevelDocsTest, RefusedCommandLines) {
  const struct {
    std::string arguments;
    int status;
    std::string message;
  } cases[] = {
      {"--schema a.json b.json", 2, "--schema writes one file"},
      {"--schema --load Levels/Level1.txt", 2, "--schema and --reference run nothing"},
      {"--reference " + (folder / "x").string() + " --validate", 2, "--schema and --reference run nothing"},
      {"--reference", 2, "--reference needs a value"},
      {"--schema /nonexistent-folder/schema.json", 1, "/nonexistent-folder/schema.json"},
  };
  for (const auto& c : cases) {
    const Result result = RunSim(c.arguments);
    EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.output;
    EXPECT_NE(result.output.find(c.message), std::string::npos) << c.arguments << "\n" << result.output;
  }
}

TEST(LevelDocsTablesTest, HandlersButtonActionsAndStatesAreDescribed) {
  objects::ResetTypeRegistry();
  core::RegisterComponents();
  // Every handler the table holds is listed with its description (a name looked up
  // in vain stays in the table without a function).
  std::size_t handlers = 0;
  for (const auto& [name, function] : components::GetCollisionHandlers()) handlers += function != nullptr;
  EXPECT_EQ(components::CollisionHandlerList().size(), handlers);
  for (const components::NamedHandler& handler : components::CollisionHandlerList()) {
    EXPECT_NE(std::string(handler.description), "") << handler.name;
    EXPECT_EQ(components::GetCollisionHandlers().at(handler.name), handler.function) << handler.name;
  }
  objects::ResetTypeRegistry();
  for (const game::MenuPage& page : game::MenuPages()) {
    for (const game::PageButton& button : page.buttons) {
      EXPECT_TRUE(button.does != nullptr && *button.does != '\0') << page.space << " " << button.object;
    }
  }
  for (int state = 0; state < game::kStateCount; ++state) {
    EXPECT_NE(game::GameStateDescription(state), "") << game::GameStateName(state);
  }
}

}  // namespace
