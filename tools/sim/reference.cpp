#include "reference.h"

#include <sstream>

#include "components/collision_handlers.h"
#include "file_vocabulary.h"
#include "game/game_states.h"
#include "game/menus/menu_pages.h"
#include "game/names.h"
#include "objects/type_registry.h"
#include "scripting/api_reference.h"

namespace sim {
namespace {

// A table cell: a "|" would end it.
std::string Cell(const std::string& text) {
  std::string result;
  for (char c : text) result += c == '|' ? std::string("\\|") : std::string(1, c);
  return result;
}

std::string Code(const std::string& text) { return text.empty() ? "" : "`" + Cell(text) + "`"; }

void Example(std::ostream& out, const char* language, const std::string& text) {
  out << "```" << language << '\n' << text << "\n```\n\n";
}

void Files(std::ostream& out) {
  out << "## Files\n\n"
         "A **level file** (also a menu) is one JSON object: each member is a space, named as the game "
         "loads it, holding game objects by name; each object holds components by type name, each "
         "component its members. An object may start from a prefab (`\"prefab\": \"Prefabs/Star.txt\"`), "
         "whose values its own entry then overrides. A **prefab file** holds one component table under "
         "the prefab's name and, after it, optionally `\"prefab\"`: the prefab it starts from.\n\n"
         "Paths (prefabs, pictures, scripts) lead from the data folder and stay inside it. A number with a "
         "fraction or exponent (`1.0`, `2e3`) is written for a `number` member, a whole number for an "
         "`integer`; `null` keeps the member's default.\n\n";
  Example(out, "json",
          "{\n  \"Level1\": {\n    \"Player\": {\"prefab\": \"Prefabs/Player.txt\", \"Transform\": "
          "{\"x_position\": 0.0, \"y_position\": 0.0}},\n    \"Star1\": {\"prefab\": \"Prefabs/Star.txt\", "
          "\"Transform\": {\"x_position\": 4.0, \"y_position\": 2.0}}\n  }\n}");
  out << "`docs/level.schema.json` describes both shapes for editors: they then complete component types "
         "and member names and mark values of the wrong kind. `velmaris-sim --schema level.schema.json` "
         "writes it beside your files; in VS Code, a `.vscode/settings.json` in that folder puts it to "
         "use:\n\n";
  Example(out, "json",
          "{\n  \"files.associations\": {\"*.txt\": \"json\"},\n  \"json.schemas\": [{\"fileMatch\": "
          "[\"Levels/*.txt\", \"Menu/*.txt\", \"Prefabs/*.txt\"], \"url\": \"./level.schema.json\"}]\n}");
}

void LevelHeader(std::ostream& out) {
  out << "## Level header\n\n"
         "Beside its spaces a level file may hold one member named `\""
      << kLevelHeaderKey
      << "\"`: the level's own name and goals (it is not a space). Every member is optional.\n\n"
         "| Member | Type | Default | Unit | What it does |\n|---|---|---|---|---|\n";
  for (const HeaderMember& member : LevelHeaderMembers()) {
    out << "| `" << member.name << "` | " << member.kind << " | " << Code(member.defaultJson) << " | "
        << member.unit << " | " << Cell(member.description) << " |\n";
  }
  out << '\n';
  Example(out, "json", "\"level\": {\"name\": \"Windy Ridge\", \"starGoal\": 30, \"timeGoal\": 90.0}");
}

void Components(std::ostream& out) {
  out << "## Components\n\n"
         "Each type with its members as files name them: the kind of value, the value a new component "
         "has, the unit.\n\n";
  for (const auto& [name, type] : objects::GetTypeRegistry().GetTypes()) {
    const std::vector<FileMember> members = FileMembers(type);
    out << "### " << name << "\n\n" << type.description << "\n\n";
    if (members.empty()) {
      out << "No members.\n\n";
    } else {
      out << "| Member | Type | Default | Unit | What it does |\n|---|---|---|---|---|\n";
      for (const FileMember& file : members) {
        const objects::MemberDescriptor& member = *file.member;
        out << "| `" << member.name << "` | " << FileKind(member.type) << " | " << Code(file.defaultJson)
            << " | " << Cell(member.about.unit) << " | " << Cell(member.about.text) << " |\n";
      }
      out << '\n';
    }
    Example(out, "json", "\"" + name + "\": " + type.example);
  }
}

void Handlers(std::ostream& out) {
  out << "## Collision handlers\n\n"
         "A `CircleCollider` or `BoxCollider` names one in `handler`. Each frame the object named "
         "\"Player\" is tested against the other colliders of its space, and on contact both colliders' "
         "handlers run; a handler acts only when the other collider is the player's. Another name (or "
         "none) gives a collider without a handler.\n\n"
         "| Handler | What it does |\n|---|---|\n";
  for (const components::NamedHandler& handler : components::CollisionHandlerList()) {
    out << "| `" << handler.name << "` | " << Cell(handler.description) << " |\n";
  }
  out << '\n';
  Example(out, "json", "\"BoxCollider\": {\"handler\": \"stopMovement\", \"x_size\": 4.0, \"y_size\": 0.5}");
}

void ButtonActions(std::ostream& out) {
  out << "## Button actions\n\n"
         "A `Button` is clicked with the left mouse button inside its Transform's position plus or minus "
         "its scale (or pressed with Enter when a menu cursor selects it); it plays the click sound and "
         "runs its action. The game gives actions to the buttons of its own pages, by object name; a "
         "Button elsewhere only plays the sound.\n\n"
         "| Page (space) | File | Button object | Action |\n|---|---|---|---|\n";
  for (const game::MenuPage& page : game::MenuPages()) {
    for (const game::PageButton& button : page.buttons) {
      out << "| `" << page.space << "` | `" << page.file << "` | `" << button.object << "` | "
          << Cell(button.does) << " |\n";
    }
  }
  out << "| `" << game::names::kVictorySpace << "` | `" << game::names::kVictoryFile << "` | `"
      << game::names::kButtonNext
      << "` | the next level; after Level3 the end screen; after a custom level where it was started from |\n"
      << "| `" << game::names::kVictorySpace << "` | `" << game::names::kVictoryFile << "` | `"
      << game::names::kButtonRestart
      << "` | a custom level again from its start (only a custom level shows it) |\n"
      << "| `" << game::names::kEndSpace << "` | `" << game::names::kEndFile << "` | `"
      << game::names::kButtonPlayAgain << "` | a new run from Level1 |\n"
      << "| `" << game::names::kEndSpace << "` | `" << game::names::kEndFile << "` | `"
      << game::names::kButtonQuit << "` | asks whether to quit (the window's exit question) |\n\n";
  Example(out, "json",
          "\"c_ButtonResume\": {\"Transform\": {\"x_position\": 0.0, \"y_position\": 2.0, \"x_scale\": 5.0, "
          "\"y_scale\": 1.6},\n                   \"Sprite\": {}, \"SpriteSource\": {\"image\": "
          "\"images/PauseMenus/button_resume.png\"},\n                   \"Button\": {\"buttonName\": "
          "\"Resume\", \"_canClick\": true}}");
}

void States(std::ostream& out) {
  out << "## States a UI may ask for\n\n"
         "A `UI` asks the game, every frame, to run the state in its `gmHolder`: one of these. Asking for "
         "the state already running changes nothing; any other number asks for nothing.\n\n"
         "| State | Name | What it is |\n|---|---|---|\n";
  for (int state = 0; state < game::kUiStateCount; ++state) {
    out << "| " << state << " | `" << game::GameStateName(state) << "` | "
        << Cell(std::string(game::GameStateDescription(state))) << " |\n";
  }
  out << '\n';
  Example(out, "json", "\"UI\": {\"gmHolder\": 3}");
}

const char* KindName(scripting::ApiKind kind) {
  switch (kind) {
    case scripting::ApiKind::Function:
      return "function";
    case scripting::ApiKind::Constructor:
      return "constructor";
    case scripting::ApiKind::Method:
      return "method";
    case scripting::ApiKind::Field:
      return "field";
  }
  return "";
}

// How a script writes the entry: "Math.sinf(radians)", "obj:TransformAddX(delta)", "obj.x".
std::string Call(const scripting::ApiClass& owner, const scripting::ApiEntry& entry) {
  const std::string arguments = std::string("(") + entry.arguments + ")";
  switch (entry.kind) {
    case scripting::ApiKind::Function:
      return std::string(owner.name) + "." + entry.name + arguments;
    case scripting::ApiKind::Constructor:
      return entry.name + arguments;
    case scripting::ApiKind::Method:
      return std::string("obj:") + entry.name + arguments;
    case scripting::ApiKind::Field:
      return std::string("obj.") + entry.name;
  }
  return entry.name;
}

void Globals(std::ostream& out, const char* title, const std::vector<scripting::ApiGlobal>& globals) {
  out << "| " << title << " | What it is | When |\n|---|---|---|\n";
  for (const scripting::ApiGlobal& global : globals) {
    out << "| `" << global.name << "` | " << Cell(global.value) << " | " << Cell(global.when) << " |\n";
  }
  out << '\n';
}

void LuaApi(std::ostream& out) {
  out << "## Lua API\n\n"
         "A `Script` component runs one Lua 5.2 file for its object (`\"Script\": {\"filename\": "
         "\"LuaScripts/MoveRight.lua\"}`). The file defines two functions, and the engine sets four "
         "globals around them; vectors that getters return are copies.\n\n";
  Globals(out, "Function", scripting::ScriptFunctions());
  Globals(out, "Global", scripting::ScriptGlobals());
  Example(
      out, "lua",
      "function Init()\n  data.speed = 2\nend\n\nfunction Update(dt)\n  myTransform:TransformAddX(data.speed "
      "* dt)\nend");
  for (const scripting::ApiClass& api : scripting::ScriptingApiReference()) {
    out << "### " << api.name << "\n\n"
        << api.description << "\n\n"
        << "| Use | Kind | Gives | What it does |\n|---|---|---|---|\n";
    for (const scripting::ApiEntry& entry : api.entries) {
      out << "| `" << Cell(Call(api, entry)) << "` | " << KindName(entry.kind) << " | " << Cell(entry.result)
          << " | " << Cell(entry.description) << " |\n";
    }
    out << '\n';
    Example(out, "lua", api.example);
  }
}

}  // namespace

std::vector<ReferencePage> ReferencePages() {
  std::ostringstream out;
  out << "# Velmaris level reference\n\n"
         "Everything a level, menu or prefab file may name, and what scripts see. Made by "
         "`velmaris-sim --reference docs` from the engine's own tables; the tests check it is up to "
         "date.\n\n"
         "[Files](#files) · [Level header](#level-header) · [Components](#components) · "
         "[Collision handlers](#collision-handlers) · [Button actions](#button-actions) · "
         "[States a UI may ask for](#states-a-ui-may-ask-for) · [Lua API](#lua-api)\n\n";
  Files(out);
  LevelHeader(out);
  Components(out);
  Handlers(out);
  ButtonActions(out);
  States(out);
  LuaApi(out);
  std::string text = out.str();
  text.pop_back();  // one line end at the end of the file
  return {{"reference.md", text}};
}

}  // namespace sim
