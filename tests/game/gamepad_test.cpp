// Play without a mouse: the controller's stick and D-pad and the arrow keys steer
// through the same pointer as the mouse, A and Space fly, and the controller works
// the pause menu. Controller buttons and the stick come as the window's messages,
// so these run on the headless window; the SDL backend has its own tests.
#include <cmath>
#include <functional>

#include "components/physics.h"
#include "game/names.h"
#include "game_fixture.h"

namespace {

using game_testing::GameTest;
namespace names = game::names;

class GamepadTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    PlayLevel1PastItsIntro();
  }

 public:
  void Key(int key, bool down) { window_.PostKey(key, down); }
  void Stick(int x, int y) {
    platform::Message message;
    message.type = platform::MessageType::kPadStick;
    message.x = x;
    message.y = y;
    window_.Post(message);
  }

 protected:
  // Lets go of everything steering and puts the mouse pointer at (x, y).
  void RestAt(int x, int y) {
    Stick(0, 0);
    for (int key : {platform::kVkLeft, platform::kVkRight, platform::kVkUp, platform::kVkDown,
                    platform::kVkPadUp, platform::kVkPadDown, platform::kVkPadLeft, platform::kVkPadRight}) {
      window_.PostKey(key, false);
    }
    window_.PostMouseMove(x, y);
    RunFrames(1);
  }

  objects::Transform& PlayerTransform() {
    return ComponentOf<objects::Transform>(names::kLevel1, "Player", "Transform");
  }
  components::Physics& PlayerPhysics() {
    return ComponentOf<components::Physics>(names::kLevel1, "Player", "Physics");
  }

  std::vector<std::string> OpenOverlays() {
    std::vector<std::string> open;
    for (const char* space : {names::kPauseMenu, names::kPauseOptions, names::kPauseExit, names::kWindowExit,
                              names::kPauseCredits, names::kPauseHowToPlay}) {
      if (SpaceNamed(space).IsActive()) open.emplace_back(space);
    }
    return open;
  }
};

struct SteeringCase {
  const char* name;
  std::function<void(GamepadTest&)> input;
  float pointerX;  // where the pointer should be afterwards, client pixels
  float pointerY;
  float rotation;  // the player's facing, degrees
};

TEST_F(GamepadTest, StickDpadAndArrowsPutThePointerWhereTheMouseWouldSteerTheSameWay) {
  constexpr float kD = input::kPadPointerDistance;
  const float diagonal = kD / std::sqrt(2.0f);
  const std::vector<SteeringCase> cases = {
      {"stick right", [](GamepadTest& t) { t.Stick(32767, 0); }, 640 + kD, 360, -90},
      {"stick up and left", [](GamepadTest& t) { t.Stick(-20000, -20000); }, 640 - diagonal, 360 - diagonal,
       45},
      {"stick in its dead zone", [](GamepadTest& t) { t.Stick(5000, -5000); }, 640, 100, 0},
      {"D-pad down", [](GamepadTest& t) { t.Key(platform::kVkPadDown, true); }, 640, 360 + kD, 180},
      {"left arrow", [](GamepadTest& t) { t.Key(platform::kVkLeft, true); }, 640 - kD, 360, 90},
      {"up and right arrows",
       [](GamepadTest& t) {
         t.Key(platform::kVkUp, true);
         t.Key(platform::kVkRight, true);
       },
       640 + diagonal, 360 - diagonal, -45},
      {"stick over the arrows",
       [](GamepadTest& t) {
         t.Key(platform::kVkLeft, true);
         t.Stick(0, 32767);
       },
       640, 360 + kD, 180},
  };
  for (const SteeringCase& c : cases) {
    RestAt(640, 100);  // the mouse above the player
    c.input(*this);
    RunFrames(1);
    EXPECT_NEAR(input::GetMousePosition().x, c.pointerX, 1e-3) << c.name;
    EXPECT_NEAR(input::GetMousePosition().y, c.pointerY, 1e-3) << c.name;
    EXPECT_NEAR(PlayerTransform().rotation, c.rotation, 1e-3) << c.name;
  }
}

TEST_F(GamepadTest, StickLeftAtRestKeepsTheDirectionAndTheMouseTakesOverWhenMoved) {
  RestAt(640, 100);
  Stick(-32768, 0);
  RunFrames(1);
  Stick(0, 0);
  RunFrames(3);
  EXPECT_NEAR(PlayerTransform().rotation, 90.0f, 1e-3) << "the player still faces where the stick was";
  window_.PostMouseMove(640, 600);
  RunFrames(1);
  EXPECT_NEAR(PlayerTransform().rotation, 180.0f, 1e-3);
}

TEST_F(GamepadTest, AAndSpaceFlyAsTheLeftMouseButtonDoes) {
  std::vector<base::vector2D> speeds;
  for (int fly : {platform::kVkLeftButton, platform::kVkSpace, platform::kVkPadA}) {
    RestAt(900, 360);
    PlayerPhysics().velocity = {0.0f, 0.0f};
    if (fly == platform::kVkLeftButton) {
      window_.PostMouseButton(fly, true, 900, 360);
    } else {
      window_.PostKey(fly, true);
    }
    RunFrames(4);
    speeds.push_back(PlayerPhysics().velocity);
    if (fly == platform::kVkLeftButton) {
      window_.PostMouseButton(fly, false, 900, 360);
    } else {
      window_.PostKey(fly, false);
    }
  }
  EXPECT_GT(speeds[0].x, 0.0f);
  EXPECT_NEAR(speeds[0].y, 0.0f, 1e-6);
  for (const base::vector2D& speed : speeds) {
    EXPECT_FLOAT_EQ(speed.x, speeds[0].x);
    EXPECT_FLOAT_EQ(speed.y, speeds[0].y);
  }
}

TEST_F(GamepadTest, StartOrBOpensThePauseMenuAndTheControllerWorksItsPages) {
  Tap(platform::kVkPadStart);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  EXPECT_TRUE(SpaceNamed(names::kLevel1).IsPaused());
  Tap(platform::kVkPadDown);  // Resume -> Options
  Tap(platform::kVkPadA);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseOptions});
  Tap(platform::kVkPadB);  // back a page
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  Tap(platform::kVkPadB);  // the pause menu has no page behind it: back to play
  EXPECT_TRUE(OpenOverlays().empty());
  EXPECT_FALSE(SpaceNamed(names::kLevel1).IsPaused());

  Tap(platform::kVkPadB);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  // The stick steps like the D-pad, once per push: Resume -> Options -> Credits.
  for (int push = 0; push < 2; ++push) {
    Stick(0, 30000);
    RunFrames(3);
    Stick(0, 0);
    RunFrames(1);
  }
  Tap(platform::kVkPadA);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseCredits});
  Tap(platform::kVkPadStart);
  EXPECT_TRUE(OpenOverlays().empty());
}

TEST_F(GamepadTest, BOnAnExitQuestionAnswersNo) {
  Tap(platform::kVkPadStart);
  Click(names::kPauseMenu, "c_ButtonExit");
  ASSERT_EQ(OpenOverlays(), (std::vector<std::string>{names::kPauseMenu, names::kPauseExit}));
  Tap(platform::kVkPadB);
  EXPECT_EQ(OpenOverlays(), std::vector<std::string>{names::kPauseMenu});
  Tap(platform::kVkPadStart);
  window_.PostSystemCommand(platform::SystemCommand::kClose);
  RunFrames(1);
  ASSERT_EQ(OpenOverlays(), std::vector<std::string>{names::kWindowExit});
  Tap(platform::kVkPadB);
  EXPECT_TRUE(OpenOverlays().empty());
  EXPECT_NE(base::States().next, base::kQuitState);
}

}  // namespace
