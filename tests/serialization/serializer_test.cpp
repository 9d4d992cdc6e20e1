// The level loader: file order, reloads in place, prefab layering, value kinds and
// every refusal, malformed files; the component writer and the space dump.
#include "serialization/serializer.h"

#include <sstream>
#include <tuple>
#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/physics.h"
#include "objects/transform.h"
#include "serialization/json_file.h"
#include "serialization/serializer_fixture.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::Probe;

class LoaderTest : public testing_support::SerializerFixture {
 protected:
  // A level whose object "o" in space "S" has the given text as its entry.
  static std::string Level(const std::string& entry) { return R"({ "S": { "o": )" + entry + " } }"; }
};

constexpr const char* kPlayerLevel = R"({
  "Level1": {
    "Player": {
      "Transform": { "x_position": 1.5, "y_position": -2.0, "rotation": 90.0, "x_scale": 2.0 },
      "Physics": { "x_velocity": 3.0, "y_velocity": 4.0, "max_velocity": 2.0, "mass": 1.0 }
    },
    "a_Star": { "Transform": { "x_position": 7.0 } }
  },
  "A": [1, 2], "B": 5,
  "U_LevelTimer": { "c_UI": { "Alpha": { "count": 3 } } }
})";

TEST_F(LoaderTest, BuildsSpacesObjectsAndComponentsWithTheFileValues) {
  serialization::Serializer serializer(&spaces);
  EXPECT_FALSE(serializer.LoadLevel("absent.txt"));
  // A folder is not a level file, and is refused as what it is.
  EXPECT_THROW(
      {
        try {
          serializer.LoadLevel(folder.string());
        } catch (const std::runtime_error& error) {
          EXPECT_EQ(std::string(error.what()), "Level file " + folder.string() + " is a directory.");
          throw;
        }
      },
      std::runtime_error);
  EXPECT_TRUE(spaces.GetSpaces().empty());
  Load(kPlayerLevel);
  ASSERT_EQ(spaces.GetSpaces().size(), 2u);  // entries that are not objects are skipped
  auto* transform = ComponentOf<objects::Transform>("Level1", "Player", "Transform");
  auto* physics = ComponentOf<components::Physics>("Level1", "Player", "Physics");
  ASSERT_TRUE(transform != nullptr && physics != nullptr);
  EXPECT_EQ(transform->translation.y, -2.0f);
  EXPECT_EQ(transform->rotation, 90.0f);
  EXPECT_EQ(transform->scale.y, 0.0f);  // not given: the default
  EXPECT_EQ(physics->maxVelocity, 2.0f);
  EXPECT_EQ(physics->transform, transform);  // initialised after the load
  EXPECT_EQ(ComponentOf<objects::Transform>("Level1", "a_Star", "Transform")->translation.x, 7.0f);
  EXPECT_EQ(ComponentOf<Probe>("U_LevelTimer", "c_UI", "Alpha")->count, 3);
  EXPECT_EQ(objects::FindSpace("Level1"), nullptr);  // the fixture's registry, not the global one
  spaces.UpdateSpaces(1.0f);                         // Physics moves the player by the clamped velocity
  EXPECT_FLOAT_EQ(transform->translation.x, 1.5f + 1.2f);

  ASSERT_TRUE(serializer.LoadLevel(std::string(VELMARIS_SOURCE_DIR) + "/data/Levels/PlayerTest.txt"));
  EXPECT_NE(ComponentOf<components::Physics>("PlayerTest", "Player", "Physics")->transform, nullptr);
}

TEST_F(LoaderTest, SecondLoadUpdatesInPlaceAndInitialisesAgain) {
  Load(R"({ "Level1": { "p": { "Alpha": { "count": 1, "label": "first" } } } })", "one.txt");
  Probe* probe = ComponentOf<Probe>("Level1", "p", "Alpha");
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->initializations, 1);
  Load(R"({ "Level1": { "p": { "Alpha": { "count": 2 }, "Beta": {} }, "q": { "Alpha": {} } } })", "two.txt");
  EXPECT_EQ(ComponentOf<Probe>("Level1", "p", "Alpha"), probe);
  EXPECT_EQ(probe->count, 2);
  EXPECT_EQ(probe->label, "first");  // not mentioned: kept
  EXPECT_EQ(probe->initializations, 2);
  EXPECT_NE(ComponentOf<Probe>("Level1", "p", "Beta"), nullptr);
  EXPECT_EQ(spaces.FindSpace("Level1")->GetObjects().size(), 2u);
}

TEST_F(LoaderTest, PrefabChainAppliesDeepestBaseFirstAndInitialisesAfterEachLayer) {
  const std::string base = Write("base.txt", R"({
    "Base": { "Transform": { "x_position": 1.0, "y_position": 5.0 }, "Alpha": { "count": 1, "label": "base" } }
  })");
  const std::string middle = Write("middle.txt", R"({
    "Middle": { "Transform": { "x_position": 1.5, "x_scale": 3.0 }, "Alpha": { "count": 2 } },
    "prefab": ")" + base + R"(" })");
  Load(Level(R"({ "prefab": ")" + middle + R"(", "Transform": { "x_position": 2.0 }, "Beta": {} })"));
  auto* transform = ComponentOf<objects::Transform>("S", "o", "Transform");
  ASSERT_NE(transform, nullptr);
  EXPECT_EQ(transform->translation.x, 2.0f);
  EXPECT_EQ(transform->translation.y, 5.0f);
  EXPECT_EQ(transform->scale.x, 3.0f);
  Probe* alpha = ComponentOf<Probe>("S", "o", "Alpha");
  EXPECT_EQ(alpha->count, 2);
  EXPECT_EQ(alpha->label, "base");
  EXPECT_EQ(alpha->initializations, 3);
  EXPECT_EQ(ComponentOf<Probe>("S", "o", "Beta")->initializations, 1);
  // Prefab files that cannot be read are skipped; the object still loads.
  const std::string broken = Write("broken.txt", R"({ "P": { "Alpha": { "count": 4 } )");
  for (const std::string& prefab : {std::string("absent.txt"), broken, Write("array.txt", "[1]")}) {
    spaces.Clear();
    Load(Level(R"({ "prefab": ")" + prefab + R"(", "Alpha": { "label": "own" } })"));
    Probe* probe = ComponentOf<Probe>("S", "o", "Alpha");
    ASSERT_NE(probe, nullptr) << prefab;
    EXPECT_EQ(probe->label, "own");
    EXPECT_EQ(probe->count, 7);
  }
}

TEST_F(LoaderTest, EveryRefusalSaysWhatAndWhere) {
  const std::string path = "level.txt";
  const std::string self = "self.txt";
  Write("self.txt", R"({ "P": { "Alpha": {} }, "prefab": ")" + self + R"(" })");
  const std::string a = "a.txt";
  Write("a.txt", R"({ "A": { "Alpha": {} }, "prefab": "b.txt" })");
  Write("b.txt", R"({ "B": { "Beta": {} }, "prefab": "./a.txt" })");
  const std::string empty = Write("empty.txt", "{}");
  const std::string notTable = Write("nottable.txt", R"({ "P": 3 })");
  const std::string badBase = Write("badbase.txt", R"({ "P": { "Alpha": {} }, "prefab": [] })");
  auto prefab = [](const std::string& file) { return Level(R"({ "prefab": ")" + file + R"(" })"); };
  struct Case {
    std::string text;
    std::string start;  // the message begins with it
    std::vector<std::string> parts;
    bool createsNothing;
  };
  const std::string where = "file '" + path + "'";
  const Case cases[] = {
      {Level(R"({ "PlayerControllerNew": {} })"),
       "Attempted to find component of type PlayerControllerNew.  This type does not exist.",
       {where, "space 'S'", "object 'o'"},
       false},
      {Level(R"({ "Physics": { "velocity": 1.0 } })"),
       "Tried to find member velocity in component Physics.  This is not a member of this component.",
       {where, "member 'velocity'"},
       false},
      {Level(R"({ "Alpha": { "": 1 } })"), "Tried to find member  in component Alpha.", {}, false},
      {Level(R"({ "Physics": {} })"), "A component did not initialize correctly.", {"object 'o'"}, false},
      {Level("5"), "", {"Object entry o is not a JSON object", "space 'S'"}, false},
      {Level(R"({ "Alpha": [1] })"), "", {"Component entry Alpha is not a JSON object", "object 'o'"}, false},
      {R"({ "Level1": { "Player": { "Transform": { "x_position": "left" } } } })",
       "",
       {"level.txt", "object 'Player'", "x_position", "expects a number", "gives a string"},
       false},
      {prefab(self), "", {"comes back to " + self, "object 'o'"}, false},
      {prefab(a), "", {"comes back to"}, false},
      {Level(R"({ "prefab": 5 })"), "", {"\"prefab\" value is not a string", "object 'o'"}, false},
      {prefab(empty), "", {"empty", "prefab '" + empty + "'"}, false},
      {prefab(notTable), "", {"not a component table"}, false},
      {prefab(badBase), "", {"\"prefab\" value is not a string"}, false},
      {"{\n  \"S\": { \"o\": {} }\n  \"T\": {}\n}",
       "",
       {"level.txt is not well-formed JSON", "line 3, column 3"},
       true},
      {"{ \"S\": {} }\n// comment", "", {"line 2, column 1"}, true},
      {"[ { \"S\": {} } ]", "", {"root is not a JSON object"}, true},
      {"", "", {"line 1, column 1"}, true},
      {std::string("{ \"S\": {} }\0 junk", 17), "", {"at line 1, column 12: NUL byte."}, true},
      {"\xEF\xBB{ \"S\": {} }", "", {"broken byte-order mark"}, true},
      {"{ \"S\": { \"\xC3\x28\": {} } }", "", {"not well-formed"}, true},
  };
  for (const Case& c : cases) {
    spaces.Clear();
    const std::string message = LoadError(c.text);
    EXPECT_THAT(message, StartsWith(c.start)) << c.text;
    for (const std::string& part : c.parts) EXPECT_THAT(message, HasSubstr(part)) << c.text;
    EXPECT_TRUE(!c.createsNothing || spaces.GetSpaces().empty()) << c.text;
  }
  Load("\xEF\xBB\xBF{ \"S\": { \"o\": {} } }");  // a whole byte-order mark is fine
  EXPECT_NE(Object("S", "o"), nullptr);
}

TEST_F(LoaderTest, RefusalStopsTheLoadWhereItHappens) {
  EXPECT_THAT(LoadError(R"({ "S": { "o": { "Gamma": {}, "Beta": { "succeed": false }, "Alpha": {} },
                                    "p": { "Alpha": {} } } })"),
              StartsWith("A component did not initialize correctly."));
  EXPECT_EQ(ComponentOf<Probe>("S", "o", "Alpha")->initializations, 1);
  EXPECT_EQ(ComponentOf<Probe>("S", "o", "Beta")->initializations, 1);
  EXPECT_EQ(ComponentOf<Probe>("S", "o", "Gamma")->initializations, 0);  // sorts after Beta
  EXPECT_EQ(Object("S", "p"), nullptr);
  // Wrong-shaped entries are refused before anything is created for them.
  LoadError(R"({ "T": { "o": 5 } })");
  EXPECT_EQ(Object("T", "o"), nullptr);
  LoadError(R"({ "T": { "p": { "Alpha": [1] } } })");
  EXPECT_FALSE(Object("T", "p")->HasComponent("Alpha"));
}

// Values are stored by the member's registered type; a value that does not fit is
// refused with where and what was expected, and the member keeps its value.
class MemberValueTest : public testing_support::SerializerFixture {
 protected:
  // A fresh object each time, so "keeps its value" means the constructor's value.
  Probe* LoadProbe(const std::string& member, const std::string& value) {
    spaces.Clear();
    Load(R"({ "S": { "o": { "Alpha": { ")" + member + R"(": )" + value + " } } } }");
    return ComponentOf<Probe>("S", "o", "Alpha");
  }
};

TEST_F(MemberValueTest, AcceptedValues) {
  EXPECT_EQ(LoadProbe("count", "-2147483648")->count, -2147483647 - 1);
  EXPECT_EQ(LoadProbe("count", "null")->count, 7);    // null keeps the value
  EXPECT_EQ(LoadProbe("factor", "2")->factor, 2.0f);  // an integer becomes its float value
  EXPECT_EQ(LoadProbe("factor", "0.1")->factor, 0.1f);
  EXPECT_EQ(LoadProbe("factor", "-1e3")->factor, -1000.0f);
  EXPECT_EQ(LoadProbe("label", R"("a\u0000b")")->label, std::string("a\0b", 3));
  EXPECT_EQ(LoadProbe("label", "null")->label, "none");
  EXPECT_EQ(LoadProbe("flag", "true")->flag, true);
  EXPECT_EQ(LoadProbe("ints", "[]")->ints, std::vector<std::int32_t>{});
  EXPECT_EQ(LoadProbe("ints", "[4, -5, 6]")->ints, (std::vector<std::int32_t>{4, -5, 6}));
  EXPECT_EQ(LoadProbe("floats", "[1, 0.25]")->floats, (std::vector<float>{1.0f, 0.25f}));
  EXPECT_EQ(LoadProbe("floats", "[]")->floats, std::vector<float>{});
}

TEST_F(MemberValueTest, RefusedValuesNameEverythingAndWriteNothing) {
  const char* kInt = "an integer in the 32-bit range";
  const char* kFloat = "a number in the 32-bit float range";
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"count", "2.5", kInt},
      {"count", "2.0", kInt},
      {"count", "3000000000", kInt},
      {"count", "\"5\"", kInt},
      {"count", "true", kInt},
      {"count", "{}", kInt},
      {"factor", "\"1.0\"", kFloat},
      {"factor", "false", kFloat},
      {"factor", "[1.0]", kFloat},
      {"factor", "1e39", kFloat},
      {"label", "5", "a string"},
      {"label", "true", "a string"},
      {"label", "[\"a\"]", "a string"},
      {"flag", "1", "true or false"},
      {"flag", "\"true\"", "true or false"},
      {"ints", "5", "an array of integers"},
      {"ints", "[1, 2.5]", "an array of integers"},
      {"ints", "[1, \"2\"]", "an array of integers"},
      {"floats", "0.5", "an array of numbers"},
      {"floats", "[0.5, \"a\"]", "an array of numbers"},
      {"floats", "[0.5, 1e300]", "an array of numbers"},
  };
  const std::string file = "file 'level.txt'";
  for (const auto& [member, value, expected] : cases) {
    spaces.Clear();
    const std::string message =
        LoadError(R"({ "S": { "o": { "Alpha": { ")" + std::string(member) + R"(": )" + value + " } } } }");
    for (const std::string& part :
         {"Member " + std::string(member) + " expects " + expected, file, std::string("space 'S'"),
          std::string("object 'o'"), std::string("component 'Alpha'"),
          "member '" + std::string(member) + "'"}) {
      EXPECT_THAT(message, HasSubstr(part)) << member << " = " << value;
    }
    Probe* probe = ComponentOf<Probe>("S", "o", "Alpha");
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(std::tie(probe->count, probe->factor, probe->label, probe->flag, probe->ints, probe->floats),
              std::make_tuple(7, 0.5f, std::string("none"), false, std::vector<std::int32_t>{9},
                              std::vector<float>{9.5f}))
        << member << " = " << value;
  }
}

class WriterTest : public testing_support::SerializerFixture {
 protected:
  static std::string Write(const objects::BaseComponent& component) {
    std::ostringstream text;
    rapidjson::OStreamWrapper stream(text);
    serialization::JsonWriter writer(stream);
    writer.StartObject();
    serialization::Serializer::SerializeComponent(component, writer);
    writer.EndObject();
    return text.str();
  }
};

TEST_F(WriterTest, WritesMembersByRegisteredTypeInDeclarationOrder) {
  RegisterCamera();
  EXPECT_EQ(Write(objects::BaseComponent("Camera")), "{\n    \"Camera\": {}\n}");
  components::Physics physics;
  physics.velocity = {0.1f, -2.0f};
  physics.maxVelocity = 5.0f;
  physics.mass = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(Write(physics),
            "{\n    \"Physics\": {\n"
            "        \"x_acceleration\": 0.0,\n        \"y_acceleration\": 0.0,\n"
            "        \"x_velocity\": 0.10000000149011612,\n        \"y_velocity\": -2.0,\n"
            "        \"max_velocity\": 5.0,\n        \"mass\": null\n    }\n}");
  Probe probe("Alpha");
  probe.flag = true;
  probe.ints = {1, -2};
  probe.floats = {};
  EXPECT_THAT(Write(probe),
              HasSubstr("\"count\": 7,\n        \"factor\": 0.5,\n        \"label\": \"none\",\n"
                        "        \"flag\": true,\n        \"ints\": [\n            1,\n            -2\n"
                        "        ],\n        \"floats\": [],\n        \"succeed\": true\n"));
}

TEST_F(WriterTest, WrittenComponentReadsBackToTheSameValues) {
  objects::Transform written(0.1f, -3.75f, 1e-7f);
  written.rotation = 33.3f;
  written.scale = {1.0f / 3.0f, 2.0f, 0.0f, 0.0f};
  rapidjson::Document document;
  std::string error;
  ASSERT_TRUE(serialization::ParseJsonText(Write(written), document, error)) << error;
  objects::Transform read;
  serialization::Serializer(&spaces).DeserializeComponent(&read, *document.MemberBegin());
  EXPECT_EQ(Write(read), Write(written));  // every member, to the last bit
}

TEST_F(WriterTest, DumpListsSpacesObjectsAndComponentsInNameOrder) {
  Load(kPlayerLevel);
  spaces.FindSpace("U_LevelTimer")->SetPaused(true);
  Object("Level1", "a_Star")->SetActive(false);
  std::ostringstream dump;
  serialization::WriteSpacesJson(dump, spaces);
  rapidjson::Document document;
  std::string error;
  ASSERT_TRUE(serialization::ParseJsonText(dump.str(), document, error)) << error;
  std::vector<std::string> spaceNames;
  for (const auto& space : std::as_const(document).GetObject()) spaceNames.push_back(space.name.GetString());
  EXPECT_EQ(spaceNames, (std::vector<std::string>{"Level1", "U_LevelTimer"}));
  EXPECT_TRUE(document["U_LevelTimer"]["paused"].GetBool());
  const auto& level = document["Level1"]["objects"];
  EXPECT_EQ(std::string(level.MemberBegin()->name.GetString()), "Player");
  EXPECT_FALSE(level["a_Star"]["active"].GetBool());
  const auto& player = level["Player"]["components"];
  EXPECT_EQ(std::string(player.MemberBegin()->name.GetString()), "Physics");
  EXPECT_EQ(player["Transform"]["x_position"].GetDouble(), 1.5);
  EXPECT_EQ(player["Physics"]["max_velocity"].GetDouble(), 2.0);
}

}  // namespace
