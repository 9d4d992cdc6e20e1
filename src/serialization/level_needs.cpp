// What the game needs of a level file beyond well-formed components: the objects it
// looks up by name, buttons that get an action, and what makes a level playable (one
// level space with the player and the star counter, an exit, enough stars).
#include <algorithm>
#include <optional>
#include <set>

#include "serialization/level_header.h"
#include "serialization/validator_local.h"

namespace serialization::validation {
namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// "A and B", "A or B".
std::string Join(const std::vector<std::string>& names, const char* word) {
  std::string joined;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) joined += i + 1 == names.size() ? std::string(" ") + word + " " : ", ";
    joined += names[i];
  }
  return joined;
}

// " (with A and B)", or "" for no components.
std::string With(const std::vector<std::string>& components) {
  return components.empty() ? std::string() : " (with " + Join(components, "and") + ")";
}

const rapidjson::Value::Member* FindSpace(const rapidjson::Value& root, const std::string& name) {
  const auto space = root.FindMember(rapidjson::StringRef(name.c_str(), name.size()));
  return space == root.MemberEnd() ? nullptr : &*space;
}

bool IsPlayable(const DataFile& file, const PlayableLevelRules& playable) {
  if (playable.objects.empty()) return false;
  if (file.custom) return true;
  return std::any_of(playable.builtIn.begin(), playable.builtIn.end(),
                     [&](const PlayableLevelRules::BuiltIn& level) { return level.file == file.relative; });
}

// A playable level's buttons get no action; in the spaces the game wires by name,
// only the objects it wires do.
void CheckButtons(const DataFile& file, const LevelObjects& objects, const ValidationRules& rules,
                  bool playable, const Report& report) {
  if (rules.buttonType.empty()) return;
  for (const auto& [key, info] : objects) {
    // Named, not bound: a lambda below uses the space, and structured bindings
    // cannot be captured before C++20's rule is in every compiler the build uses.
    const std::string& space = key.first;
    const std::string& object = key.second;
    if (info.view.count(rules.buttonType) == 0) continue;
    if (playable) {
      report(info.place, "object " + Quoted(object) + " has a " + rules.buttonType +
                             ", but the game gives the buttons of a playable level no action: clicking it "
                             "does nothing");
      continue;
    }
    const auto wired =
        std::find_if(rules.buttons.begin(), rules.buttons.end(), [&](const WiredButtons& page) {
          return !file.relative.empty() && page.file == file.relative && page.space == space;
        });
    if (wired == rules.buttons.end() || Contains(wired->objects, object)) continue;
    report(info.place, "object " + Quoted(object) + " has a " + rules.buttonType +
                           " the game gives no action" + Suggestion(object, wired->objects) +
                           ": clicking it does nothing");
  }
}

// A custom level's spaces draw under the game's screens and apart from its levels.
void CheckCustomSpaces(const DataFile& file, const PlayableLevelRules& playable, const Report& report) {
  for (const auto& space : file.text.document.GetObject()) {
    const std::string name = Text(space.name);
    if (name == kLevelHeaderKey) continue;
    if (Contains(playable.gameSpaces, name)) {
      report(file.PlaceOf(space.name), "space " + Quoted(name) +
                                           " is one of the game's own spaces: a custom level must name its "
                                           "spaces otherwise");
    } else if (!playable.firstScreenSpace.empty() && !(name < playable.firstScreenSpace)) {
      report(
          file.PlaceOf(space.name),
          "space " + Quoted(name) + " sorts at or after " + Quoted(playable.firstScreenSpace) +
              ", where the game's screens and menus start: a level's spaces must sort before it (byte-wise: "
              "digits and capitals before \"U_\", small letters after)");
    }
  }
}

struct LevelSpace {
  std::string name;
  int starGoal = 0;
};

// A custom level's level space is the one space holding the player, or its only
// space when none does (which then lacks the player); its star goal is the level
// header's.
std::optional<LevelSpace> CustomLevelSpace(const DataFile& file, const LevelObjects& objects,
                                           const PlayableLevelRules& playable, const Report& report) {
  const RequiredObject& player = playable.objects.front();
  std::vector<std::pair<std::string, const ObjectInfo*>> holders;
  for (const auto& [key, info] : objects) {
    if (key.second == player.object) holders.emplace_back(key.first, &info);
  }
  std::vector<std::string> spaces;
  for (const auto& space : file.text.document.GetObject()) {
    if (Text(space.name) != kLevelHeaderKey && space.value.IsObject()) spaces.push_back(Text(space.name));
  }
  if (holders.empty() && spaces.size() == 1) holders.emplace_back(spaces.front(), nullptr);
  if (holders.empty()) {
    report(file.PlaceOf(file.text.document),
           "no space holds an object " + Quoted(player.object) + With(player.components) +
               ": a playable level needs one, and the space holding it is the level");
    return std::nullopt;
  }
  for (std::size_t i = 1; i < holders.size(); ++i) {
    report(holders[i].second->place, "object " + Quoted(player.object) + " is in space " +
                                         Quoted(holders[i].first) + " as well as in " +
                                         Quoted(holders[0].first) + ": a playable level has one level space");
  }
  if (holders.size() > 1) return std::nullopt;
  std::vector<HeaderProblem> reportedByTheWalk;
  return LevelSpace{holders[0].first, ReadLevelHeader(file.text.document, reportedByTheWalk).starGoal};
}

std::optional<LevelSpace> PlayedSpace(const DataFile& file, const LevelObjects& objects,
                                      const PlayableLevelRules& playable, const Report& report) {
  if (file.custom) return CustomLevelSpace(file, objects, playable, report);
  for (const PlayableLevelRules::BuiltIn& level : playable.builtIn) {
    if (level.file != file.relative) continue;
    // A missing space is reported with the objects the game looks up in it.
    const auto* space = FindSpace(file.text.document, level.space);
    if (space == nullptr || !space->value.IsObject()) return std::nullopt;
    return LevelSpace{level.space, level.starGoal};
  }
  return std::nullopt;
}

bool IsExit(const ObjectView& view, const PlayableLevelRules& playable) {
  for (const std::string& type : playable.exitTypes) {
    const auto component = view.find(type);
    if (component == view.end()) continue;
    const auto handler = component->second.members.find(playable.exitMember);
    if (handler != component->second.members.end() && handler->second.value->IsString() &&
        Text(*handler->second.value) == playable.exitHandler) {
      return true;
    }
  }
  return false;
}

void CheckExitAndStars(const DataFile& file, const LevelObjects& objects, const PlayableLevelRules& playable,
                       const LevelSpace& level, const Report& report) {
  bool exit = false;
  int stars = 0;
  for (const auto& [key, info] : objects) {
    if (key.first != level.name) continue;
    exit = exit || IsExit(info.view, playable);
    if (info.view.count(playable.starType) != 0) ++stars;
  }
  const Place at = file.PlaceOf(FindSpace(file.text.document, level.name)->name);
  if (!exit) {
    report(at, "space " + Quoted(level.name) + " has no exit: no object in it has a " +
                   Join(playable.exitTypes, "or") + " with " + playable.exitMember + " " +
                   Quoted(playable.exitHandler) + ", so the level never ends");
  }
  if (stars < level.starGoal) {
    report(at, "space " + Quoted(level.name) + " has " + std::to_string(stars) + " star" +
                   (stars == 1 ? "" : "s") + " (objects with a " + playable.starType +
                   "), fewer than the star goal of " + std::to_string(level.starGoal) +
                   (file.custom ? " (\"starGoal\" in the level header sets it)" : "") +
                   ": the star objective cannot be met");
  }
}

}  // namespace

void CheckRequiredObjects(const DataFile& file, const LevelObjects& objects,
                          const std::vector<RequiredObject>& required, const Report& report) {
  const rapidjson::Value& root = file.text.document;
  std::set<std::string> missingSpaces;
  for (const RequiredObject& wanted : required) {
    if (wanted.file != file.relative) continue;
    const auto* space = FindSpace(root, wanted.space);
    if (space == nullptr) {
      if (missingSpaces.insert(wanted.space).second) {
        report({file.shown, {1, 1}}, "the game loads the space " + Quoted(wanted.space) +
                                         " from this file, but the file has no such space");
      }
      continue;
    }
    if (wanted.object.empty() || !space->value.IsObject()) continue;
    const auto object = objects.find({wanted.space, wanted.object});
    if (object == objects.end()) {
      report(file.PlaceOf(space->name), "space " + Quoted(wanted.space) + " has no object " +
                                            Quoted(wanted.object) + With(wanted.components) +
                                            ", which the game needs");
      continue;
    }
    for (const std::string& type : wanted.components) {
      if (object->second.view.count(type) == 0) {
        report(object->second.place,
               "object " + Quoted(wanted.object) + " has no " + type + ", which the game needs");
      }
    }
  }
}

// Components missing the ones they work with, after the prefab layers and the
// object's own entry.
void CheckSiblings(const LevelObjects& objects, const std::vector<SiblingRule>& siblings,
                   const Report& report) {
  for (const auto& [key, info] : objects) {
    for (const SiblingRule& rule : siblings) {
      if (info.view.count(rule.type) == 0) continue;
      for (const std::string& needed : rule.needs) {
        if (info.view.count(needed) != 0) continue;
        report(info.place, "object " + Quoted(key.second) + ": " + rule.type + " needs a " + needed +
                               " on its object (in its prefab or its own entry); without it the " +
                               rule.type + " does nothing");
      }
    }
  }
}

void CheckLevelNeeds(const DataFile& file, const LevelObjects& objects, const ValidationRules& rules,
                     const Report& report) {
  CheckSiblings(objects, rules.siblings, report);
  const PlayableLevelRules& playable = rules.playable;
  const bool isPlayable = IsPlayable(file, playable);
  CheckButtons(file, objects, rules, isPlayable, report);
  if (!isPlayable) return;
  if (file.custom) CheckCustomSpaces(file, playable, report);
  const std::optional<LevelSpace> level = PlayedSpace(file, objects, playable, report);
  if (!level) return;
  if (file.custom) {
    // The game's own levels have these objects among the required ones.
    std::vector<RequiredObject> inLevel = playable.objects;
    for (RequiredObject& wanted : inLevel) {
      wanted.file = file.relative;
      wanted.space = level->name;
    }
    CheckRequiredObjects(file, objects, inLevel, report);
  }
  CheckExitAndStars(file, objects, playable, *level, report);
}

}  // namespace serialization::validation
