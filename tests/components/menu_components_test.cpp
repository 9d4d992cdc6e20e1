// Button, Cursor and UI: the truncated click rectangle, one click per press with
// its sound, keyboard cycling through the buttons of a space, and the counter
// pictures and requested state of UI.
#include <gtest/gtest.h>

#include "component_fixture.h"
#include "components/button.h"
#include "components/cursor.h"
#include "components/pool.h"
#include "components/ui.h"
#include "core/game_state_manager.h"
#include "graphics/sprite_source.h"

namespace {

using components::Button;
using Presses = std::vector<std::string>;

Presses g_Pressed;
void PressPlay() { g_Pressed.push_back("play"); }
void PressOptions() { g_Pressed.push_back("options"); }
void PressQuit() { g_Pressed.push_back("quit"); }

class MenuComponentsTest : public component_testing::ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    g_Pressed.clear();
    base::States().Reset();
  }
  void TearDown() override {
    base::States().Reset();
    ComponentTest::TearDown();
  }

  Button* MakeButton(const std::string& name, float x, float y, float halfWidth, float halfHeight,
                     void (*action)() = nullptr, bool canClick = true) {
    objects::GameObject& object = MakeObject(name, x, y);
    Get<objects::Transform>(object, "Transform")->SetScale(halfWidth, halfHeight);
    auto* button = Add(object, new Button());
    button->action = action;
    button->canClick = canClick;
    EXPECT_TRUE(button->Initialize());
    return button;
  }

  // A frame with the pointer at view (x, y) and the left button down or up; then
  // the button updates.
  static void Click(float x, float y, bool down, Button* button) {
    Frame(x, y, down);
    button->Update(0.0f);
  }
};

TEST_F(MenuComponentsTest, ClickRectangleIsStrictAndTruncatedTowardsZero) {
  // Centre (10.6, -5.3), half size 20 x 8: the bounds -9.4, 30.6, -13.3 and 2.7 are
  // truncated towards zero to -9, 30, -13 and 2 (two of them up, two down).
  Button* button = MakeButton("Framed", 10.6f, -5.3f, 20.0f, 8.0f);
  const components::ButtonRect rect = button->GetRect();
  EXPECT_EQ(rect.left, -9.0f);
  EXPECT_EQ(rect.right, 30.0f);
  EXPECT_EQ(rect.bottom, -13.0f);
  EXPECT_EQ(rect.top, 2.0f);
  struct Case {
    const char* what;
    float x, y;
    bool inside;
  };
  // Each edge: a point just inside, one on it (the test is strict), and one between
  // the truncated and the exact bound.
  const Case cases[] = {
      {"left, inside", -8.9f, -5.0f, true},        {"left, on the edge", -9.0f, -5.0f, false},
      {"left, cut off", -9.3f, -5.0f, false},      {"right, inside", 29.9f, -5.0f, true},
      {"right, on the edge", 30.0f, -5.0f, false}, {"right, cut off", 30.5f, -5.0f, false},
      {"bottom, inside", 10.0f, -12.9f, true},     {"bottom, on the edge", 10.0f, -13.0f, false},
      {"bottom, cut off", 10.0f, -13.2f, false},   {"top, inside", 10.0f, 1.9f, true},
      {"top, on the edge", 10.0f, 2.0f, false},    {"top, cut off", 10.0f, 2.5f, false},
  };
  for (const Case& c : cases) EXPECT_EQ(button->Contains(c.x, c.y), c.inside) << c.what;
}

TEST_F(MenuComponentsTest, HeldButtonClicksOnceWithItsSoundUnlessSilencedOrLocked) {
  Button* play = MakeButton("Play", 0.0f, 0.0f, 5.0f, 2.0f, &PressPlay);
  for (int frame = 0; frame < 5; ++frame) Click(1.0f, 1.0f, true, play);
  EXPECT_EQ(g_Pressed, Presses{"play"});
  EXPECT_EQ(PlayedSounds(), std::vector<std::string>{"Audio/ButtonClick.ogg"});
  // Pressed elsewhere and moved onto the button while held: nothing.
  Click(20.0f, 10.0f, false, play);
  Click(20.0f, 10.0f, true, play);
  Click(1.0f, 1.0f, true, play);
  EXPECT_EQ(g_Pressed.size(), 1u);
  // A fresh press with effects off: the action without the sound.
  audio::Audio().sfxOn = false;
  Click(1.0f, 1.0f, false, play);
  Click(1.0f, 1.0f, true, play);
  EXPECT_EQ(g_Pressed, (Presses{"play", "play"}));
  EXPECT_EQ(PlayedSounds().size(), 1u);
  audio::Audio().sfxOn = true;
  Frame(1.0f, 1.0f, false);
  Frame(1.0f, 1.0f, true);
  MakeButton("Silent", 0.0f, 0.0f, 5.0f, 2.0f)->Update(0.0f);  // no action: only the sound
  MakeButton("Locked", 0.0f, 0.0f, 5.0f, 2.0f, &PressQuit, false)
      ->Update(0.0f);  // may not be clicked: nothing
  EXPECT_EQ(PlayedSounds().size(), 2u);
  EXPECT_EQ(g_Pressed.size(), 2u);
}

TEST_F(MenuComponentsTest, CursorCyclesThroughTheButtonsAndPressesTheSelection) {
  MakeButton("a_Play", 0.0f, 5.0f, 4.0f, 1.0f, &PressPlay);
  MakeButton("b_Options", 0.0f, 0.0f, 4.0f, 1.0f, &PressOptions);
  MakeButton("c_Quit", 0.0f, -5.0f, 4.0f, 1.0f, &PressQuit, false);
  objects::GameObject& arrow = MakeObject("d_Arrow");
  auto* cursor = Add(arrow, new components::Cursor());
  cursor->offsetX = -6;
  ASSERT_TRUE(cursor->Initialize());
  const base::XMFLOAT4& at = Get<objects::Transform>(arrow, "Transform")->translation;
  EXPECT_EQ(at.x, -6.0f);
  EXPECT_EQ(at.y, 5.0f);
  auto press = [&](std::vector<int> keys) {
    Frame(keys);
    cursor->Update(0.0f);
    return cursor->index;
  };
  std::vector<int> selected;
  for (int i = 0; i < 3; ++i) {
    selected.push_back(press({'S'}));
    Frame();
  }
  EXPECT_EQ(selected, (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(press({'W'}), 2);
  EXPECT_EQ(at.y, -5.0f);
  // Enter presses the selection although it may not be clicked, silently.
  press({0x0D});
  EXPECT_EQ(g_Pressed, Presses{"quit"});
  EXPECT_TRUE(PlayedSounds().empty());
  // Held keys act once: next first, then select.
  Frame();
  for (int i = 0; i < 3; ++i) press({0x0D, 'S'});
  EXPECT_EQ(g_Pressed, (Presses{"quit", "play"}));

  // A cursor in a space without buttons cannot work.
  objects::Space empty{"Empty"};
  auto* lost = new components::Cursor();
  empty.CreateObject("Arrow")->AddComponent(lost);
  EXPECT_FALSE(lost->Initialize());
  lost->Update(0.0f);
}

TEST_F(MenuComponentsTest, CounterPicturesFollowTheAmountAndLoadOnce) {
  graphics::recording::RecordingRenderDevice* device = UseDataFolder();
  objects::GameObject& counter = MakeObject("c_Counter");
  auto* source = Add(counter, new graphics::SpriteSource("images/Counter_1.bmp"));
  auto* pool = Add(counter, new components::Pool());
  auto* ui = Add(counter, new components::UI());
  for (std::uint32_t amount = 1; amount <= 7; ++amount) {
    pool->amount = amount;
    const int before = device->TexturesCreated();
    ui->Update(0.0f);
    ui->Update(0.0f);
    // Already showing 1; 7 has no picture and leaves the sixth.
    const bool changes = amount != 1 && amount != 7;
    EXPECT_EQ(device->TexturesCreated(), before + (changes ? 1 : 0)) << amount;
    EXPECT_EQ(source->image, "images/Counter_" + std::to_string(std::min(amount, 6u)) + ".bmp");
    EXPECT_TRUE(!changes || source->GetTexture() != nullptr) << amount;
  }
}

TEST_F(MenuComponentsTest, UIRequestsOnlyStatesOfTheTable) {
  auto* ui = Add(MakeObject("c_Holder"), new components::UI());
  base::SetStateCount(13);  // what the running state table has
  const int kept = 3;
  for (const auto& [request, expected] : {std::pair{13, kept}, {-1, kept}, {12, 12}, {0, 0}}) {
    base::States().next = kept;
    ui->gmHolder = request;
    ui->Update(0.0f);
    EXPECT_EQ(base::States().next, expected) << request;
  }
}

}  // namespace
