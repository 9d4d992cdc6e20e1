// What the player sees, frozen: each screen drawn by the real OpenGL device must match
// its committed picture in tests/graphics/pictures/ to within one level in 255 per
// channel, so that work on the renderer's speed cannot change a pixel unnoticed.
// After a change meant to alter the pictures, rewrite them with
//   VELMARIS_WRITE_PICTURES=1 ./velmaris_tests --gtest_filter='ScreenPicturesTest.*'
// and look at every one before committing it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "graphics/image_decoder.h"
#include "tools/run_sim.h"
#include "working_directory.h"

namespace {

struct Screen {
  const char* name;  // the picture's file name, without .png
  int state;         // the game state the run starts in
  int frame;         // the frame shown (1/60 s each)
  // The input script beside the pictures. Even no input comes from a script (an empty
  // one): then the real window's pointer and focus, which another window opening on
  // the same display moves, play no part (a lost focus pauses the game).
  const char* input = "still.jsonl";
};

// The three levels with their interface, a transition, the victory screen, a logo and
// the pause menu over a level.
constexpr Screen kScreens[] = {
    {"level1", 1, 90},
    {"level2", 3, 90},
    {"level3", 5, 90},
    {"level1_transition", 2, 90},
    {"level_win", 6, 90},
    {"logos", 7, 90},
    {"pause_menu", 1, 60, "pause.jsonl"},
};

// Names the screen in test output instead of its bytes.
void PrintTo(const Screen& screen, std::ostream* out) { *out << screen.name; }

const std::filesystem::path kPictures =
    std::filesystem::path(VELMARIS_SOURCE_DIR) / "tests/graphics/pictures";

// The largest difference of one channel between two decoded pictures, and how many
// pixels differ by more than the tolerance; -1 when their sizes differ.
struct Difference {
  int largest = 0;
  long long pixelsOff = 0;
  int firstX = -1, firstY = -1;  // the first pixel off, in reading order
};

Difference Compare(const graphics::DecodedImage& a, const graphics::DecodedImage& b, int tolerance) {
  Difference difference;
  if (a.width != b.width || a.height != b.height) return {-1, 0};
  for (std::uint32_t y = 0; y < a.height; ++y) {
    for (std::uint32_t x = 0; x < a.width; ++x) {
      int worst = 0;
      for (int channel = 0; channel < 4; ++channel) {
        const std::size_t at = y * a.rowPitch + x * 4 + static_cast<std::size_t>(channel);
        worst = std::max(worst, std::abs(a.pixels[at] - b.pixels[y * b.rowPitch + x * 4 + channel]));
      }
      difference.largest = std::max(difference.largest, worst);
      if (worst > tolerance && difference.pixelsOff++ == 0) {
        difference.firstX = static_cast<int>(x);
        difference.firstY = static_cast<int>(y);
      }
    }
  }
  return difference;
}

class ScreenPicturesTest : public testing::TestWithParam<Screen> {};

TEST_P(ScreenPicturesTest, MatchesItsCommittedPicture) {
  const Screen& screen = GetParam();
  const std::filesystem::path reference = kPictures / (std::string(screen.name) + ".png");
  const bool write = std::getenv("VELMARIS_WRITE_PICTURES") != nullptr;
  // A home of its own: settings another test writes meanwhile (full screen, say)
  // would change the picture.
  const std::filesystem::path home = testing_support::ScratchFolder(std::string("pictures-") + screen.name);
  for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
    ::setenv(variable, (home / variable).c_str(), 1);
  }
  std::filesystem::create_directories(home);
  const std::string shot = write ? reference.string() : (home / "drawn.png").string();
  std::string arguments = "--real-window --data " + std::string(VELMARIS_SOURCE_DIR) + "/data --state " +
                          std::to_string(screen.state) + " --frames " + std::to_string(screen.frame) +
                          " --screenshot " + std::to_string(screen.frame) + ":" + shot;
  arguments += " --input " + (kPictures / screen.input).string();
  const sim_testing::Result result = sim_testing::RunSim(arguments);
  ASSERT_EQ(result.status, 0) << result.output;
  if (write) GTEST_SKIP() << "wrote " << reference;

  graphics::DecodedImage expected, drawn;
  ASSERT_EQ(graphics::DecodeImageFile(reference.string(), expected), graphics::ImageResult::kOk) << reference;
  ASSERT_EQ(graphics::DecodeImageFile(shot, drawn), graphics::ImageResult::kOk) << shot;
  const Difference difference = Compare(expected, drawn, 1);
  ASSERT_GE(difference.largest, 0) << "drawn " << drawn.width << " x " << drawn.height << ", expected "
                                   << expected.width << " x " << expected.height;
  EXPECT_EQ(difference.pixelsOff, 0) << difference.pixelsOff << " pixels differ by up to "
                                     << difference.largest << " levels, the first at (" << difference.firstX
                                     << ", " << difference.firstY << "); compare " << shot << " with "
                                     << reference;
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, ScreenPicturesTest, testing::ValuesIn(kScreens),
                         [](const testing::TestParamInfo<Screen>& info) {
                           return std::string(info.param.name);
                         });

// The comparison itself: a picture matches itself, and one level off in a channel is
// within the tolerance where two are not.
TEST(ScreenPicturesCompareTest, ToleratesOneLevelInAChannel) {
  graphics::DecodedImage a;
  a.width = 2;
  a.height = 2;
  a.rowPitch = 8;
  a.pixels.assign(16, 100);
  graphics::DecodedImage b = a;
  EXPECT_EQ(Compare(a, b, 1).largest, 0);
  b.pixels[5] = 101;  // pixel (1, 0), green
  EXPECT_EQ(Compare(a, b, 1).pixelsOff, 0);
  b.pixels[13] = 98;  // pixel (1, 1), green
  const Difference off = Compare(a, b, 1);
  EXPECT_EQ(off.largest, 2);
  EXPECT_EQ(off.pixelsOff, 1);
  EXPECT_EQ(off.firstX, 1);
  EXPECT_EQ(off.firstY, 1);
  b.width = 3;
  EXPECT_EQ(Compare(a, b, 1).largest, -1);
}

}  // namespace
