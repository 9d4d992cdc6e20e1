// The headless runner as people use it: a separate process with arguments.
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "graphics/image_decoder.h"
#include "run_sim.h"

namespace {

using sim_testing::Result;
using sim_testing::RunSim;

TEST(SimRunnerTest, RunsTheGameFromItsFirstState) {
  const Result result = RunSim("--frames 300");  // the logos last about 6 s
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("frame 1: state -3 -> 7\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("frames: 300, state: 7\n"), std::string::npos) << result.output;
}

TEST(SimRunnerTest, StateOutsideTheTableRunsOnCallingNothing) {
  const Result result = RunSim("--frames 2 --state 14");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("frame 1: state -3 -> 14\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("frames: 2, state: 14\n"), std::string::npos) << result.output;
}

TEST(SimRunnerTest, SandboxStatesPrintAndReturnToEmptyOnKeyZero) {
  const std::string script = testing::TempDir() + "key0.jsonl";
  FILE* file = std::fopen(script.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("{\"frame\":3,\"key\":\"0\",\"down\":true}\n", file);
  std::fclose(file);
  const Result result = RunSim("--state 10 --frames 5 --input " + script);
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("SBZorbel: init\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("SBZorbel: exit\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("frame 4: state 10 -> 0\n"), std::string::npos) << result.output;
}

TEST(SimRunnerTest, ClosingTheWindowEndsTheRun) {
  const std::string script = testing::TempDir() + "close.jsonl";
  FILE* file = std::fopen(script.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("{\"frame\":5,\"close\":true}\n", file);
  std::fclose(file);
  const Result result = RunSim("--frames 100 --input " + script);
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("frames: 4, state: 7\n"), std::string::npos) << result.output;
}

// A data folder for a scene: the game's shaders and the PngSuite pictures under
// pictures/, named from inside it as level files name pictures. Passed with --data.
std::string SceneData() {
  namespace fs = std::filesystem;
  // One per test: tests run side by side.
  const fs::path data =
      fs::path(testing::TempDir()) /
      ("scene_data_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
  fs::remove_all(data);
  fs::create_directories(data / "images");
  fs::copy(fs::path(VELMARIS_SOURCE_DIR) / "data/images/Shaders", data / "images/Shaders",
           fs::copy_options::recursive);
  fs::copy(fs::path(VELMARIS_TESTDATA_DIR) / "pngsuite", data / "pictures", fs::copy_options::recursive);
  return " --data " + data.string() + " ";
}

// A level with a camera at the origin and one PngSuite picture at world (2, 1), scale 1.
std::string WriteSceneLevel() {
  const std::string path = testing::TempDir() + "scene.txt";
  std::ofstream level(path);
  level << R"({"Scene": {
    "Camera": {"Transform": {"x_position": 0.0, "y_position": 0.0, "x_scale": 1.0, "y_scale": 1.0},
               "Camera": {}},
    "Picture": {"Transform": {"x_position": 2.0, "y_position": 1.0, "x_scale": 1.0, "y_scale": 1.0},
                "SpriteSource": {"image": "pictures/basn2c08.png", "numrows": 1, "numcols": 1},
                "Sprite": {}}}})";
  return path;
}

TEST(SimRunnerTest, RealWindowScreenshotShowsTheSpriteWhereTheWorldPutsIt) {
  const std::string shot = testing::TempDir() + "scene.png";
  std::remove(shot.c_str());
  const Result result = RunSim("--real-window" + SceneData() + "--load " + WriteSceneLevel() +
                               " --frames 2 --screenshot 2:" + shot);
  ASSERT_EQ(result.status, 0) << result.output;
  graphics::DecodedImage picture;
  ASSERT_EQ(graphics::DecodeImageFile(shot, picture), graphics::ImageResult::kOk);
  ASSERT_EQ(picture.width, 1280u);
  ASSERT_EQ(picture.height, 720u);
  // An 8-bit RGBA PNG decodes in blue, green, red, alpha byte order.
  ASSERT_EQ(picture.format, graphics::PixelFormat::k32bppBGRA);
  auto pixel = [&](int x, int y) {
    const std::uint8_t* p =
        &picture.pixels[static_cast<size_t>(y) * picture.rowPitch + static_cast<size_t>(x) * 4];
    return std::array<int, 3>{p[2], p[1], p[0]};
  };
  const std::array<int, 3> background{100, 149, 237};
  // The picture covers 48 x 48 pixels centred 48 right of and 24 above the centre:
  // its top rows are yellow, its bottom rows dark gray.
  const auto top = pixel(688, 322);
  EXPECT_GT(top[0], 200);
  EXPECT_GT(top[1], 200);
  EXPECT_LT(top[2], top[0] - 60) << "yellow";
  const auto bottom = pixel(688, 356);
  EXPECT_LT(bottom[0], 120);
  EXPECT_EQ(bottom[0], bottom[2]) << "a gray row";
  EXPECT_EQ(pixel(660, 336), background);
  EXPECT_EQ(pixel(716, 336), background);
  EXPECT_EQ(pixel(688, 306), background);
  EXPECT_EQ(pixel(688, 366), background);
  EXPECT_EQ(pixel(640, 360), background);
}

TEST(SimRunnerTest, RealWindowOverviewFitsTheWholeLevelIntoOnePicture) {
  const std::string level = testing::TempDir() + "wide.txt";
  std::ofstream(level) << R"({"Wide": {
    "Left": {"Transform": {"x_position": -50.0, "y_position": 0.0, "x_scale": 1.0, "y_scale": 1.0},
             "SpriteSource": {"image": "pictures/basn2c08.png"}, "Sprite": {}},
    "Right": {"Transform": {"x_position": 50.0, "y_position": 20.0, "x_scale": 1.0, "y_scale": 1.0},
              "SpriteSource": {"image": "pictures/basn2c08.png"}, "Sprite": {}},
    "Backdrop": {"Transform": {"x_scale": 26.667, "y_scale": 15.0},
                 "SpriteSource": {"image": "pictures/basn0g08.png"}, "Sprite": {"static": true}}}})";
  const std::string shot = testing::TempDir() + "overview.png";
  std::remove(shot.c_str());
  const Result result = RunSim("--real-window" + SceneData() + "--load " + level + " --overview " + shot);
  ASSERT_EQ(result.status, 0) << result.output;
  graphics::DecodedImage picture;
  ASSERT_EQ(graphics::DecodeImageFile(shot, picture), graphics::ImageResult::kOk);
  ASSERT_EQ(picture.width, 1280u);
  auto pixel = [&](int x, int y) {
    const std::uint8_t* p =
        &picture.pixels[static_cast<size_t>(y) * picture.rowPitch + static_cast<size_t>(x) * 4];
    return std::array<int, 3>{p[2], p[1], p[0]};
  };
  // x from -53 to 53 fills the width: 1280 / 106 pixels a unit, the view centred on
  // (0, 10). Each picture lands near a side; the screen-fixed backdrop is left out.
  const float scale = 1280.0f / 106.0f;
  const auto left = pixel(static_cast<int>(640 - 50 * scale), static_cast<int>(360 + 10 * scale - scale / 2));
  const auto right =
      pixel(static_cast<int>(640 + 50 * scale), static_cast<int>(360 - 10 * scale - scale / 2));
  const std::array<int, 3> backdrop = pixel(640, 360);
  EXPECT_NE(left, backdrop);
  EXPECT_NE(right, backdrop);
  EXPECT_EQ(pixel(1280 / 4, 360), backdrop) << "nothing drawn between the two";
  EXPECT_GT(backdrop[2], backdrop[0] + 60) << "the blue backdrop, not the gray screen-fixed picture";

  // A custom level's preview is drawn the same way, with a picture found beside it.
  const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "overview_custom_level";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(std::filesystem::path(VELMARIS_TESTDATA_DIR) / "pngsuite/basn2c08.png",
                             folder / "own.png", std::filesystem::copy_options::overwrite_existing);
  std::string custom = sim_testing::ReadFile(level);
  for (std::size_t at; (at = custom.find("pictures/basn2c08.png")) != std::string::npos;)
    custom.replace(at, std::strlen("pictures/basn2c08.png"), "own.png");
  std::ofstream(folder / "level.json") << custom;
  std::remove(shot.c_str());
  const Result preview = RunSim("--real-window" + SceneData() + "--level " +
                                (folder / "level.json").string() + " --overview " + shot);
  ASSERT_EQ(preview.status, 0) << preview.output;
  ASSERT_EQ(graphics::DecodeImageFile(shot, picture), graphics::ImageResult::kOk);
  EXPECT_EQ(pixel(static_cast<int>(640 - 50 * scale), static_cast<int>(360 + 10 * scale - scale / 2)), left);

  const Result missing = RunSim("--real-window --overview " + shot);
  EXPECT_EQ(missing.status, 2) << missing.output;
  EXPECT_NE(missing.output.find("--overview draws one level: --load LEVELFILE, or --level FILE"),
            std::string::npos)
      << missing.output;
}

TEST(SimRunnerTest, RealWindowRunEndedByABrokenLevelExitsCleanly) {
  const std::string path = testing::TempDir() + "broken.txt";
  std::ofstream(path) << R"({"Scene": {"Thing": {"NoSuchComponent": {}}}})";
  const Result result = RunSim("--real-window --load " + path);
  // The textures and the device go while the window's context is still there.
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find("Attempted to find component of type NoSuchComponent."), std::string::npos)
      << result.output;
}

// Without a shader that compiles the runner says why and stops, headless or in a
// real window, and never opens a dialog: one would wait for a click (and hang here).
TEST(SimRunnerTest, RealWindowAndHeadlessRunsWithoutAWorkingShaderReportAndExitWithoutADialog) {
  namespace fs = std::filesystem;
  const fs::path shader =
      fs::path(SceneData().substr(8, SceneData().size() - 9)) / "images/Shaders/UIShader.fx";
  const struct {
    const char* what;
    std::function<void()> spoil;
    const char* reported;
  } cases[] = {
      {"missing", [&] { fs::remove(shader); }, "the file does not exist"},
      {"a directory", [&] { fs::create_directory(shader); }, "the file is a directory"},
      {"a FIFO", [&] { ::mkfifo(shader.c_str(), 0600); },
       "the file is a FIFO (named pipe), not a plain file"},
      {"broken GLSL", [&] { std::ofstream(shader) << "void main() { this is not GLSL }\n"; },
       "does not compile"},
  };
  for (const char* window : {"", "--real-window "}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(window) + c.what);
      const std::string data = SceneData();
      fs::remove_all(shader);
      c.spoil();
      const Result result =
          RunSim(std::string(window) + data + "--load " + WriteSceneLevel() + " --frames 2");
      // The recording device of a headless run compiles nothing: only reading the file can fail there.
      if (std::string(window).empty() && std::string(c.what) == "broken GLSL") {
        EXPECT_EQ(result.status, 0) << result.output;
        continue;
      }
      EXPECT_EQ(result.status, 1) << result.output;
      EXPECT_NE(result.output.find(c.reported), std::string::npos) << result.output;
      EXPECT_NE(result.output.find("velmaris-sim: the graphics did not start (see above); nothing is run\n"),
                std::string::npos)
          << result.output;
    }
  }
}

TEST(SimRunnerTest, LoadDumpsEverySpaceObjectAndComponent) {
  const std::string dump = testing::TempDir() + "scene.json";
  const Result result = RunSim(SceneData() + "--load " + WriteSceneLevel() + " --frames 1 --dump " + dump);
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("frame 1: state -3 -> 0\n"), std::string::npos) << result.output;
  std::ifstream in(dump);
  const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(json.find("\"Scene\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"Picture\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"x_position\": 2.0"), std::string::npos) << json;
  EXPECT_NE(json.find("basn2c08.png"), std::string::npos) << json;
}

TEST(SimRunnerTest, MissingLevelFileIsAnErrorNamingIt) {
  const Result result = RunSim("--load Levels/NoSuchLevel.txt");
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find("Levels/NoSuchLevel.txt: cannot open the level file"), std::string::npos)
      << result.output;
}

TEST(SimRunnerTest, BadArgumentsExitTwoWithUsageAndHelpExitsZero) {
  for (const char* arguments :
       {"--frames", "--frames ten", "--dt -1", "--bogus 1", "--screenshot 2", "--screenshot 2:x.png"}) {
    const Result result = RunSim(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_NE(result.output.find("usage: velmaris-sim"), std::string::npos) << arguments;
  }
  for (const char* arguments : {"--help", "-h", "--state 3 --help"}) {
    const Result result = RunSim(arguments);
    EXPECT_EQ(result.status, 0) << arguments;
    EXPECT_EQ(result.output.rfind("usage: velmaris-sim", 0), 0u) << arguments << ": " << result.output;
  }
}

TEST(SimRunnerTest, BrokenInputScriptIsAnErrorNamingTheLine) {
  const std::string script = testing::TempDir() + "broken.jsonl";
  FILE* file = std::fopen(script.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("{\"frame\":1,\"close\":true}\n{\"frame\":2,\n", file);
  std::fclose(file);
  const Result result = RunSim("--input " + script);
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find("broken.jsonl:2: not JSON"), std::string::npos) << result.output;
}

}  // namespace
