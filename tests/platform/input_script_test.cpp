#include "platform/headless/input_script.h"

#include <sstream>

#include <gtest/gtest.h>

#include "platform/key_names.h"

namespace {

using platform::MessageType;
using platform::headless::InputScript;
using platform::headless::InputScriptError;

InputScript ParseText(const std::string& text) {
  std::istringstream in(text);
  return InputScript::Parse(in, "steer.jsonl");
}

std::string ErrorOf(const std::string& text) {
  try {
    ParseText(text);
  } catch (const InputScriptError& error) {
    return error.what();
  }
  return "no error";
}

TEST(InputScriptTest, ReadsEveryKindOfEventIntoItsFrame) {
  const InputScript script = ParseText(
      "{\"frame\":1,\"key\":\"Escape\",\"down\":true}\n"
      "\n"
      "{\"frame\":2,\"mouse\":[640,360]}\n"
      "{\"frame\":2,\"button\":\"left\",\"down\":true}\n"
      "{\"frame\":3,\"vk\":48,\"down\":false}\n"
      "{\"frame\":4,\"close\":true}\n"
      "{\"frame\":4,\"minimize\":true}\n");
  ASSERT_EQ(script.EventsOf(1).size(), 1u);
  EXPECT_EQ(script.EventsOf(1)[0].type, MessageType::kKeyDown);
  EXPECT_EQ(script.EventsOf(1)[0].virtualKey, 0x1B);
  ASSERT_EQ(script.EventsOf(2).size(), 2u);
  EXPECT_EQ(script.EventsOf(2)[0].type, MessageType::kMouseMove);
  // A button event happens where the pointer last was.
  EXPECT_EQ(script.EventsOf(2)[1].type, MessageType::kMouseButtonDown);
  EXPECT_EQ(script.EventsOf(2)[1].virtualKey, 0x01);
  EXPECT_EQ(script.EventsOf(2)[1].x, 640);
  EXPECT_EQ(script.EventsOf(2)[1].y, 360);
  EXPECT_EQ(script.EventsOf(3)[0].type, MessageType::kKeyUp);
  EXPECT_EQ(script.EventsOf(3)[0].virtualKey, 0x30);
  EXPECT_EQ(script.EventsOf(4)[0].command, platform::SystemCommand::kClose);
  EXPECT_EQ(script.EventsOf(4)[1].command, platform::SystemCommand::kMinimize);
  EXPECT_TRUE(script.EventsOf(5).empty());
}

TEST(InputScriptTest, RefusalsNameTheFileLineAndProblem) {
  EXPECT_EQ(ErrorOf("{\"frame\":1,\"close\":true}\n{\"frame\":2,\"key\":\"Esc\",\"down\":true}"),
            "steer.jsonl:2: unknown key \"Esc\"");
  EXPECT_EQ(ErrorOf("{\"frame\":1,\"key\":\"A\"}"), "steer.jsonl:1: \"down\" must be true or false");
  EXPECT_EQ(ErrorOf("{\"frame\":1,\"focus\":true}"),
            "steer.jsonl:1: \"focus\" must be false: the window losing the focus");
  EXPECT_EQ(ErrorOf("{\"frame\":0,\"close\":true}"),
            "steer.jsonl:1: \"frame\" must be a whole number from 1");
  EXPECT_EQ(ErrorOf("{\"frame\":3,\"close\":true}\n{\"frame\":2,\"close\":true}"),
            "steer.jsonl:2: frames must not go backwards");
  EXPECT_EQ(ErrorOf("{\"frame\":1,\"mouse\":[1280,0]}"),
            "steer.jsonl:1: \"mouse\" must be [x, y] in client pixels, 0-1279 and 0-719");
  EXPECT_EQ(ErrorOf("[1,2]"), "steer.jsonl:1: each line must be one JSON object");
  EXPECT_EQ(ErrorOf("{\"frame\":1,\"jump\":true}").rfind("steer.jsonl:1: an event needs one of", 0), 0u);
  EXPECT_EQ(ErrorOf("{\"frame\":1,").rfind("steer.jsonl:1: not JSON: ", 0), 0u);
  EXPECT_EQ(ErrorOf("{\"frame\":1,\"vk\":256,\"down\":true}"),
            "steer.jsonl:1: \"vk\" must be a virtual-key code from 1 to 255");
  EXPECT_EQ(ErrorOf("{\"frame\":1,\"dt\":0.025,\"real\":0.01}"),
            "steer.jsonl:1: \"real\" must be the frame's real time in seconds, from its \"dt\" to 3600");
}

TEST(KeyNamesTest, NamesMapToVirtualKeyCodes) {
  EXPECT_EQ(platform::VirtualKeyFromName("A"), 0x41);
  EXPECT_EQ(platform::VirtualKeyFromName("Z"), 0x5A);
  EXPECT_EQ(platform::VirtualKeyFromName("9"), 0x39);
  EXPECT_EQ(platform::VirtualKeyFromName("Enter"), 0x0D);
  EXPECT_EQ(platform::VirtualKeyFromName("F1"), 0x70);
  EXPECT_EQ(platform::VirtualKeyFromName("F12"), 0x7B);
  EXPECT_EQ(platform::VirtualKeyFromName("F13"), 0);
  EXPECT_EQ(platform::VirtualKeyFromName("F01"), 0);
  EXPECT_EQ(platform::VirtualKeyFromName("a"), 0) << "names are case-sensitive";
  EXPECT_EQ(platform::MouseButtonFromName("middle"), 0x04);
  EXPECT_EQ(platform::MouseButtonFromName("Left"), 0);
}

}  // namespace
