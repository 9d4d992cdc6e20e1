#include "platform/headless/input_script.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <utility>

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include "base/file_read.h"
#include "platform/key_names.h"

namespace platform::headless {
namespace {

// The longest real time a frame line may give, in seconds: an hour's stall.
constexpr double kLongestRealFrame = 3600.0;

// Remembers where the pointer was, so that button events carry it as real ones do.
struct PointerState {
  int x = 0;
  int y = 0;
};

[[noreturn]] void Fail(const std::string& name, int line, const std::string& what) {
  throw InputScriptError(name + ":" + std::to_string(line) + ": " + what);
}

bool ReadDown(const rapidjson::Value& event, const std::string& name, int line) {
  if (!event.HasMember("down") || !event["down"].IsBool()) {
    Fail(name, line, "\"down\" must be true or false");
  }
  return event["down"].GetBool();
}

Message ParseEvent(const rapidjson::Value& event, PointerState& pointer, const std::string& name, int line) {
  Message message;
  if (event.HasMember("key") || event.HasMember("vk")) {
    int code = 0;
    if (event.HasMember("key")) {
      if (!event["key"].IsString()) Fail(name, line, "\"key\" must be a key name");
      code = VirtualKeyFromName(event["key"].GetString());
      if (code == 0) Fail(name, line, std::string("unknown key \"") + event["key"].GetString() + "\"");
    } else {
      if (!event["vk"].IsInt() || event["vk"].GetInt() <= 0 || event["vk"].GetInt() >= kKeyCount) {
        Fail(name, line, "\"vk\" must be a virtual-key code from 1 to 255");
      }
      code = event["vk"].GetInt();
    }
    message.type = ReadDown(event, name, line) ? MessageType::kKeyDown : MessageType::kKeyUp;
    message.virtualKey = code;
    return message;
  }
  if (event.HasMember("mouse")) {
    const rapidjson::Value& at = event["mouse"];
    if (!at.IsArray() || at.Size() != 2 || !at[0].IsInt() || !at[1].IsInt() || at[0].GetInt() < 0 ||
        at[0].GetInt() >= Window::kClientWidth || at[1].GetInt() < 0 ||
        at[1].GetInt() >= Window::kClientHeight) {
      Fail(name, line, "\"mouse\" must be [x, y] in client pixels, 0-1279 and 0-719");
    }
    pointer.x = at[0].GetInt();
    pointer.y = at[1].GetInt();
    message.type = MessageType::kMouseMove;
    message.x = pointer.x;
    message.y = pointer.y;
    return message;
  }
  if (event.HasMember("button")) {
    const int code = event["button"].IsString() ? MouseButtonFromName(event["button"].GetString()) : 0;
    if (code == 0) Fail(name, line, "\"button\" must be \"left\", \"right\" or \"middle\"");
    message.type = ReadDown(event, name, line) ? MessageType::kMouseButtonDown : MessageType::kMouseButtonUp;
    message.virtualKey = code;
    message.x = pointer.x;
    message.y = pointer.y;
    return message;
  }
  if (event.HasMember("stick")) {
    const rapidjson::Value& at = event["stick"];
    auto axis = [&at](rapidjson::SizeType i) {
      return at[i].IsInt() && at[i].GetInt() >= -kStickMax - 1 && at[i].GetInt() <= kStickMax;
    };
    if (!at.IsArray() || at.Size() != 2 || !axis(0) || !axis(1)) {
      Fail(name, line, "\"stick\" must be [x, y], each from -32768 to 32767");
    }
    message.type = MessageType::kPadStick;
    message.x = at[0].GetInt();
    message.y = at[1].GetInt();
    return message;
  }
  if (event.HasMember("focus")) {
    if (!event["focus"].IsBool() || event["focus"].GetBool()) {
      Fail(name, line, "\"focus\" must be false: the window losing the focus");
    }
    message.type = MessageType::kSystemCommand;
    message.command = SystemCommand::kFocusLost;
    return message;
  }
  if (event.HasMember("close") || event.HasMember("minimize")) {
    message.type = MessageType::kSystemCommand;
    message.command = event.HasMember("close") ? SystemCommand::kClose : SystemCommand::kMinimize;
    return message;
  }
  Fail(name, line,
       "an event needs one of \"key\", \"vk\", \"mouse\", \"button\", \"close\", \"minimize\", "
       "\"focus\", \"stick\"");
}

}  // namespace

InputScript InputScript::Parse(std::istream& in, const std::string& name) {
  InputScript script;
  PointerState pointer;
  std::string text;
  int line = 0;
  long long lastFrame = 0;
  while (std::getline(in, text)) {
    ++line;
    if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
    rapidjson::Document event;
    event.Parse(text.c_str(), text.size());
    if (event.HasParseError()) {
      Fail(name, line,
           std::string("not JSON: ") + rapidjson::GetParseError_En(event.GetParseError()) + " at column " +
               std::to_string(event.GetErrorOffset() + 1));
    }
    if (!event.IsObject()) Fail(name, line, "each line must be one JSON object");
    if (!event.HasMember("frame") || !event["frame"].IsInt64() || event["frame"].GetInt64() < 1) {
      Fail(name, line, "\"frame\" must be a whole number from 1");
    }
    const long long frame = event["frame"].GetInt64();
    if (frame < lastFrame) Fail(name, line, "frames must not go backwards");
    lastFrame = frame;
    if (event.HasMember("dt")) {
      const rapidjson::Value& dt = event["dt"];
      if (!dt.IsNumber() || !std::isfinite(dt.GetDouble()) || dt.GetDouble() < 0.0 || dt.GetDouble() > 1.0) {
        Fail(name, line, "\"dt\" must be a frame time in seconds, from 0 to 1");
      }
      float real = dt.GetFloat();
      if (event.HasMember("real")) {
        const rapidjson::Value& given = event["real"];
        if (!given.IsNumber() || !std::isfinite(given.GetDouble()) || given.GetDouble() < dt.GetDouble() ||
            given.GetDouble() > kLongestRealFrame) {
          Fail(name, line, "\"real\" must be the frame's real time in seconds, from its \"dt\" to 3600");
        }
        real = given.GetFloat();
      }
      script.frameTimes_[frame] = {dt.GetFloat(), real};
      continue;
    }
    script.frames_[frame].push_back(ParseEvent(event, pointer, name, line));
  }
  return script;
}

InputScript InputScript::Load(const std::string& path) {
  std::string text;
  const base::FileRead read = base::ReadWholeFile(path, base::kInputScriptLimit, text);
  if (!read.Ok()) throw InputScriptError(path + ": the input script " + read.Said());
  std::istringstream in(std::move(text));
  return Parse(in, path);
}

const std::vector<Message>& InputScript::EventsOf(long long frame) const {
  static const std::vector<Message> kNone;
  const auto found = frames_.find(frame);
  return found == frames_.end() ? kNone : found->second;
}

std::optional<float> InputScript::FrameTimeOf(long long frame) const {
  const auto found = frameTimes_.find(frame);
  if (found == frameTimes_.end()) return std::nullopt;
  return found->second.dt;
}

std::optional<float> InputScript::RealTimeOf(long long frame) const {
  const auto found = frameTimes_.find(frame);
  if (found == frameTimes_.end()) return std::nullopt;
  return found->second.real;
}

std::string ScriptLines(long long frame, const Message& message, int& pointerX, int& pointerY) {
  const std::string head = "{\"frame\":" + std::to_string(frame) + ",";
  auto down = [&message](MessageType pressed) { return message.type == pressed ? "true" : "false"; };
  switch (message.type) {
    case MessageType::kKeyDown:
    case MessageType::kKeyUp: {
      const std::string name = VirtualKeyName(message.virtualKey);
      const std::string key =
          name.empty() ? "\"vk\":" + std::to_string(message.virtualKey) : "\"key\":\"" + name + "\"";
      return head + key + ",\"down\":" + down(MessageType::kKeyDown) + "}\n";
    }
    case MessageType::kMouseMove:
      pointerX = message.x;
      pointerY = message.y;
      return head + "\"mouse\":[" + std::to_string(message.x) + "," + std::to_string(message.y) + "]}\n";
    case MessageType::kMouseButtonDown:
    case MessageType::kMouseButtonUp: {
      const std::string button = MouseButtonName(message.virtualKey);
      if (button.empty()) return "";
      std::string lines;
      if (message.x != pointerX || message.y != pointerY) {
        Message move;
        move.type = MessageType::kMouseMove;
        move.x = message.x;
        move.y = message.y;
        lines = ScriptLines(frame, move, pointerX, pointerY);
      }
      return lines + head + "\"button\":\"" + button + "\",\"down\":" + down(MessageType::kMouseButtonDown) +
             "}\n";
    }
    case MessageType::kSystemCommand:
      if (message.command == SystemCommand::kClose) return head + "\"close\":true}\n";
      if (message.command == SystemCommand::kMinimize) return head + "\"minimize\":true}\n";
      if (message.command == SystemCommand::kFocusLost) return head + "\"focus\":false}\n";
      return "";
    case MessageType::kPadStick:
      return head + "\"stick\":[" + std::to_string(message.x) + "," + std::to_string(message.y) + "]}\n";
    case MessageType::kDestroy:
      return "";
  }
  return "";
}

std::string FrameTimeLine(long long frame, float dt, float real) {
  const auto text = [](float seconds) {
    char number[32];
    std::snprintf(number, sizeof number, "%.9g", static_cast<double>(seconds));
    return std::string(number);
  };
  const std::string head = "{\"frame\":" + std::to_string(frame) + ",\"dt\":" + text(dt);
  return real == dt ? head + "}\n" : head + ",\"real\":" + text(real) + "}\n";
}

}  // namespace platform::headless
