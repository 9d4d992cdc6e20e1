// The real game program as a desktop starts and stops it: SIGTERM and SIGINT end it
// cleanly with 128 + the signal, without a display it says so and exits, and a level
// file given to it is checked before it is played.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The game started with its own state folder (where its run log shows it is up)
// and its output in one file; `unset` names variables it does not get, `arguments`
// follow --windowed.
class GameProcess {
 public:
  GameProcess(const std::string& name, const std::vector<std::string>& unset,
              std::vector<std::string> arguments = {}) {
    folder_ = fs::path(testing::TempDir()) / ("velmaris_game_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    std::vector<std::string> variables{"XDG_STATE_HOME=" + (folder_ / "state").string()};
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string variable = *entry;
      const std::string key = variable.substr(0, variable.find('='));
      bool dropped = key == "XDG_STATE_HOME";
      for (const std::string& name : unset) dropped = dropped || key == name;
      if (!dropped) variables.push_back(variable);
    }
    std::vector<char*> env;
    for (std::string& variable : variables) env.push_back(variable.data());
    env.push_back(nullptr);
    std::string program = VELMARIS_GAME_PATH;
    arguments.insert(arguments.begin(), {program, "--windowed"});
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string output = (folder_ / "output.txt").string();
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    spawned_ = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), env.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~GameProcess() {
    if (pid_ > 0 && !waited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    fs::remove_all(folder_);
  }

  bool Spawned() const { return spawned_; }
  // Waits (at most a minute) until the game's run log exists: it is running main.
  bool WaitUntilStarted() const {
    for (int tries = 0; tries < 600; ++tries) {
      if (fs::exists(folder_ / "state/velmaris/velmaris.log")) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }
  void Signal(int signal) const { ::kill(pid_, signal); }
  // The wait status of the ended game.
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    waited_ = true;
    return status;
  }
  std::string Output() const {
    std::ifstream in(folder_ / "output.txt");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  fs::path folder_;
  pid_t pid_ = -1;
  bool spawned_ = false;
  bool waited_ = false;
};

TEST(GameProcessTest, SigtermAndSigintEndTheGameCleanlyWithTheirExitCode) {
  const struct {
    int signal;
    int exitCode;
    const char* line;
  } cases[] = {
      {SIGTERM, 143, "velmaris: ended by signal 15 (TERM)\n"},
      {SIGINT, 130, "velmaris: ended by signal 2 (INT)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    GameProcess game("signal" + std::to_string(c.signal), {});
    ASSERT_TRUE(game.Spawned());
    ASSERT_TRUE(game.WaitUntilStarted()) << game.Output();
    // Some frames first, so the signal reaches the running frame loop.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    game.Signal(c.signal);
    const int status = game.Wait();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself, not by the game: " << game.Output();
    EXPECT_EQ(WEXITSTATUS(status), c.exitCode) << game.Output();
    EXPECT_NE(game.Output().find(c.line), std::string::npos) << game.Output();
  }
}

TEST(GameProcessTest, WithoutADisplayTheGameSaysSoAndExits) {
  GameProcess game("nodisplay", {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"});
  ASSERT_TRUE(game.Spawned());
  const int status = game.Wait();
  ASSERT_TRUE(WIFEXITED(status)) << game.Output();
  EXPECT_EQ(WEXITSTATUS(status), 1) << game.Output();
  EXPECT_NE(game.Output().find("velmaris: no display to show the game on"), std::string::npos)
      << game.Output();
}

// A level of the player's own, using the game's prefabs: checked (so the component
// types are known before the engine starts) and then played until the game is ended;
// a broken one is refused before any window opens, with its place.
TEST(GameProcessTest, ALevelFileGivenIsCheckedBeforeTheWindowAndThenPlayed) {
  const fs::path folder =
      fs::path(testing::TempDir()) / ("velmaris_given_level_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path good = folder / "good.json";
  const fs::path broken = folder / "broken.json";
  std::ofstream(good) << R"({"level": {"starGoal": 1}, "Hill": {
      "Player": {"prefab": "Prefabs/Player.txt"}, "c_UI": {"prefab": "Prefabs/StarCounter.txt"},
      "d_exit": {"prefab": "Prefabs/Exit.txt"}, "d_star": {"prefab": "Prefabs/Star.txt"}}})";
  std::ofstream(broken) << R"({"Hill": {"Player": {"Transform": {"x_position": "left"}}}})";

  GameProcess played("good_level", {}, {"--level", good.string()});
  ASSERT_TRUE(played.Spawned());
  ASSERT_TRUE(played.WaitUntilStarted()) << played.Output();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  played.Signal(SIGTERM);
  const int status = played.Wait();
  ASSERT_TRUE(WIFEXITED(status)) << played.Output();
  EXPECT_EQ(WEXITSTATUS(status), 143) << "still playing when ended: " << played.Output();

  GameProcess refused("broken_level", {}, {"--level", broken.string()});
  ASSERT_TRUE(refused.Spawned());
  const int refusal = refused.Wait();
  ASSERT_TRUE(WIFEXITED(refusal)) << refused.Output();
  EXPECT_EQ(WEXITSTATUS(refusal), 1) << refused.Output();
  EXPECT_NE(refused.Output().find("velmaris: " + broken.string() + ":1:"), std::string::npos)
      << refused.Output();
  fs::remove_all(folder);
}

}  // namespace
