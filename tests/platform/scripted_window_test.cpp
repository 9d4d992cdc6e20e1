#include "platform/scripted_window.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_window.h"

namespace {

using platform::MessageType;

TEST(ScriptedWindowTest, ScriptedMessagesComeFirstAndTheScriptCanOwnTheInput) {
  platform::headless::HeadlessWindow device;
  device.PostKey('A', true);
  device.PostSystemCommand(platform::SystemCommand::kFocusLost);
  device.PostSystemCommand(platform::SystemCommand::kClose);
  platform::ScriptedWindow window(device, /*scriptOwnsInput=*/true);
  platform::Message scripted;
  scripted.type = MessageType::kKeyDown;
  scripted.virtualKey = 'B';
  window.Post(scripted);

  platform::Message message;
  ASSERT_TRUE(window.PeekMessage(message));
  EXPECT_EQ(message.virtualKey, 'B');
  // The device's own key press and focus loss are dropped (a replay must not pause
  // because another window opened); its close request still arrives.
  ASSERT_TRUE(window.PeekMessage(message));
  EXPECT_EQ(message.type, MessageType::kSystemCommand);
  EXPECT_EQ(message.command, platform::SystemCommand::kClose);
  EXPECT_FALSE(window.PeekMessage(message));
  EXPECT_TRUE(window.IsKeyHeld('B'));
  EXPECT_FALSE(window.IsKeyHeld('A'));
  platform::KeyboardState state{};
  window.GetKeyboardState(state);
  EXPECT_EQ(state['B'], 0x80);
  EXPECT_EQ(state['A'], 0);
}

TEST(ScriptedWindowTest, WithoutOwningTheInputBothSourcesCount) {
  platform::headless::HeadlessWindow device;
  device.PostKey('A', true);
  platform::ScriptedWindow window(device, /*scriptOwnsInput=*/false);
  platform::Message message;
  ASSERT_TRUE(window.PeekMessage(message));
  EXPECT_EQ(message.virtualKey, 'A');
  EXPECT_TRUE(window.IsKeyHeld('A'));
  platform::KeyboardState state{};
  window.GetKeyboardState(state);
  EXPECT_EQ(state['A'], 0x80);
}

}  // namespace
