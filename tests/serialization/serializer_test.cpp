// The level loader: file order, reloads in place, prefab layering, value kinds and
// every refusal, malformed files; the component writer and the space dump.
#include "serialization/serializer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "components/physics.h"
#include "components/transform.h"
#include "serialization/json_file.h"
#include "serialization/serializer_fixture.h"

namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::Probe;

class LoaderTest : public testing_support::SerializerFixture {};

constexpr const char* kPlayerLevel = R"({
  "Level1": {
    "Player": {
      "Transform": { "x_position": 1.5, "y_position": -2.0, "rotation": 90.0, "x_scale": 2.0 },
      "Physics": { "x_velocity": 3.0, "y_velocity": 4.0, "max_velocity": 2.0, "mass": 1.0 }
    },
    "a_Star": { "Transform": { "x_position": 7.0 } }
  },
  "U_LevelTimer": { "c_UI": { "Alpha": { "count": 3 } } }
})";

TEST_F(LoaderTest, MissingFileLoadsNothing) {
  serialization::Serializer serializer(&spaces);
  EXPECT_FALSE(serializer.LoadLevel((folder / "absent.txt").string()));
  EXPECT_FALSE(serializer.LoadLevel(folder.string()));  // a folder is not a level file
  EXPECT_TRUE(spaces.GetSpaces().empty());
}

TEST_F(LoaderTest, BuildsSpacesObjectsAndComponentsWithTheFileValues) {
  Load(kPlayerLevel);
  ASSERT_EQ(spaces.GetSpaces().size(), 2u);
  auto* transform = ComponentOf<components::Transform>("Level1", "Player", "Transform");
  auto* physics = ComponentOf<components::Physics>("Level1", "Player", "Physics");
  ASSERT_NE(transform, nullptr);
  ASSERT_NE(physics, nullptr);
  EXPECT_EQ(transform->translation.x, 1.5f);
  EXPECT_EQ(transform->translation.y, -2.0f);
  EXPECT_EQ(transform->rotation, 90.0f);
  EXPECT_EQ(transform->scale.x, 2.0f);
  EXPECT_EQ(transform->scale.y, 0.0f);  // not given: the default
  EXPECT_EQ(physics->velocity.y, 4.0f);
  EXPECT_EQ(physics->maxVelocity, 2.0f);
  EXPECT_EQ(physics->transform, transform);  // initialised after the load
  EXPECT_EQ(ComponentOf<components::Transform>("Level1", "a_Star", "Transform")->translation.x, 7.0f);
  EXPECT_EQ(ComponentOf<Probe>("U_LevelTimer", "c_UI", "Alpha")->count, 3);
  EXPECT_EQ(objects::FindSpace("Level1"), nullptr);  // the fixture's registry, not the global one

  // The loaded space runs: Physics moves the player by the clamped velocity.
  spaces.UpdateSpaces(1.0f);
  EXPECT_FLOAT_EQ(transform->translation.x, 1.5f + 1.2f);
}

TEST_F(LoaderTest, PlayerTestLevelOfTheGameLoads) {
  serialization::Serializer serializer(&spaces);
  ASSERT_TRUE(serializer.LoadLevel(std::string(VELMARIS_SOURCE_DIR) + "/data/Levels/PlayerTest.txt"));
  auto* physics = ComponentOf<components::Physics>("PlayerTest", "Player", "Physics");
  ASSERT_NE(physics, nullptr);
  EXPECT_NE(physics->transform, nullptr);
}

TEST_F(LoaderTest, SpaceEntryThatIsNotAnObjectIsSkipped) {
  Load(R"({ "A": [1, 2], "B": 5, "C": { "o": { "Alpha": {} } } })");
  EXPECT_EQ(spaces.FindSpace("A"), nullptr);
  EXPECT_EQ(spaces.FindSpace("B"), nullptr);
  EXPECT_NE(Object("C", "o"), nullptr);
}

TEST_F(LoaderTest, SecondLoadUpdatesInPlaceAndInitialisesAgain) {
  Load(R"({ "Level1": { "p": { "Alpha": { "count": 1, "label": "first" } } } })", "one.txt");
  Probe* probe = ComponentOf<Probe>("Level1", "p", "Alpha");
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->initializations, 1);
  Load(R"({ "Level1": { "p": { "Alpha": { "count": 2 }, "Beta": {} }, "q": { "Alpha": {} } } })",
       "two.txt");
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
    "prefab": ")" + base + R"("
  })");
  Load(R"({ "Level1": { "Thing": { "prefab": ")" + middle +
       R"(", "Transform": { "x_position": 2.0 }, "Beta": {} } } })");
  auto* transform = ComponentOf<components::Transform>("Level1", "Thing", "Transform");
  ASSERT_NE(transform, nullptr);
  EXPECT_EQ(transform->translation.x, 2.0f);
  EXPECT_EQ(transform->translation.y, 5.0f);
  EXPECT_EQ(transform->scale.x, 3.0f);
  Probe* alpha = ComponentOf<Probe>("Level1", "Thing", "Alpha");
  EXPECT_EQ(alpha->count, 2);
  EXPECT_EQ(alpha->label, "base");
  EXPECT_EQ(alpha->initializations, 3);
  EXPECT_EQ(ComponentOf<Probe>("Level1", "Thing", "Beta")->initializations, 1);
}

TEST_F(LoaderTest, UnusablePrefabFilesAreSkippedAndTheObjectStillLoads) {
  const std::string broken = Write("broken.txt", R"({ "P": { "Alpha": { "count": 4 } )");
  const std::string array = Write("array.txt", "[1]");
  for (const std::string& prefab : {(folder / "absent.txt").string(), broken, array}) {
    Load(R"({ "S": { "o": { "prefab": ")" + prefab + R"(", "Alpha": { "label": "own" } } } })");
    Probe* probe = ComponentOf<Probe>("S", "o", "Alpha");
    ASSERT_NE(probe, nullptr) << prefab;
    EXPECT_EQ(probe->label, "own");
    EXPECT_EQ(probe->count, 7);
  }
}

TEST_F(LoaderTest, PrefabRefusals) {
  const std::string self = (folder / "self.txt").string();
  Write("self.txt", R"({ "P": { "Alpha": {} }, "prefab": ")" + self + R"(" })");
  EXPECT_THAT(LoadError(R"({ "S": { "o": { "prefab": ")" + self + R"(" } } })"),
              AllOf(HasSubstr("comes back to " + self), HasSubstr("object 'o'")));

  const std::string a = (folder / "a.txt").string();
  const std::string b = (folder / "b.txt").string();
  Write("a.txt", R"({ "A": { "Alpha": {} }, "prefab": ")" + b + R"(" })");
  Write("b.txt", R"({ "B": { "Beta": {} }, "prefab": ")" + folder.string() + R"(/./a.txt" })");
  EXPECT_THAT(LoadError(R"({ "S": { "o": { "prefab": ")" + a + R"(" } } })"), HasSubstr("comes back to"));

  EXPECT_THAT(LoadError(R"({ "S": { "o": { "prefab": 5 } } })"),
              AllOf(HasSubstr("\"prefab\" value is not a string"), HasSubstr("object 'o'")));
  const std::string empty = Write("empty.txt", "{}");
  EXPECT_THAT(LoadError(R"({ "S": { "o": { "prefab": ")" + empty + R"(" } } })"),
              AllOf(HasSubstr("empty"), HasSubstr("prefab '" + empty + "'")));
  const std::string notTable = Write("nottable.txt", R"({ "P": 3 })");
  EXPECT_THAT(LoadError(R"({ "S": { "o": { "prefab": ")" + notTable + R"(" } } })"),
              HasSubstr("not a component table"));
  const std::string badBase = Write("badbase.txt", R"({ "P": { "Alpha": {} }, "prefab": [] })");
  EXPECT_THAT(LoadError(R"({ "S": { "o": { "prefab": ")" + badBase + R"(" } } })"),
              HasSubstr("\"prefab\" value is not a string"));
}

TEST_F(LoaderTest, UnknownTypeAndMemberKeepTheRegistryTextsThenSayWhere) {
  const std::string path = (folder / "level.txt").string();
  EXPECT_THAT(LoadError(R"({ "S": { "o": { "PlayerControllerNew": {} } } })"),
              AllOf(StartsWith("Attempted to find component of type PlayerControllerNew.  This type does not exist."),
                    HasSubstr("file '" + path + "'"), HasSubstr("space 'S'"), HasSubstr("object 'o'")));
  EXPECT_THAT(LoadError(R"({ "S": { "o": { "Physics": { "velocity": 1.0 } } } })"),
              AllOf(StartsWith("Tried to find member velocity in component Physics.  This is not a member of this component."),
                    HasSubstr("file '" + path + "'"), HasSubstr("member 'velocity'")));
  EXPECT_THAT(LoadError(R"({ "S": { "o": { "Alpha": { "": 1 } } } })"),
              StartsWith("Tried to find member  in component Alpha."));
}

TEST_F(LoaderTest, FailedInitialisationStopsTheLoad) {
  const std::string message = LoadError(R"({ "S": {
      "o": { "Gamma": {}, "Beta": { "succeed": false }, "Alpha": {} },
      "p": { "Alpha": {} } } })");
  EXPECT_THAT(message, AllOf(StartsWith("A component did not initialize correctly."), HasSubstr("object 'o'")));
  EXPECT_EQ(ComponentOf<Probe>("S", "o", "Alpha")->initializations, 1);
  EXPECT_EQ(ComponentOf<Probe>("S", "o", "Beta")->initializations, 1);
  EXPECT_EQ(ComponentOf<Probe>("S", "o", "Gamma")->initializations, 0);  // sorts after Beta
  EXPECT_EQ(Object("S", "p"), nullptr);  // the load stopped before it
  // A Physics without a Transform fails its initialisation.
  EXPECT_THAT(LoadError(R"({ "S": { "lonely": { "Physics": {} } } })"),
              StartsWith("A component did not initialize correctly."));
}

TEST_F(LoaderTest, WrongShapedEntriesAreRefusedBeforeAnythingIsCreated) {
  EXPECT_THAT(LoadError(R"({ "S": { "o": 5 } })"),
              AllOf(HasSubstr("Object entry o is not a JSON object"), HasSubstr("space 'S'")));
  EXPECT_EQ(Object("S", "o"), nullptr);
  EXPECT_THAT(LoadError(R"({ "S": { "p": { "Alpha": [1] } } })"),
              AllOf(HasSubstr("Component entry Alpha is not a JSON object"), HasSubstr("object 'p'")));
  EXPECT_FALSE(Object("S", "p")->HasComponent("Alpha"));
}

TEST_F(LoaderTest, MalformedFilesAreRefusedWithLineAndColumnAndCreateNothing) {
  EXPECT_THAT(LoadError("{\n  \"S\": { \"o\": {} }\n  \"T\": {}\n}"),
              AllOf(HasSubstr("level.txt is not well-formed JSON"), HasSubstr("line 3, column 3")));
  EXPECT_THAT(LoadError("{ \"S\": {} }\n// comment"), HasSubstr("line 2, column 1"));
  EXPECT_THAT(LoadError("[ { \"S\": {} } ]"), HasSubstr("root is not a JSON object"));
  EXPECT_THAT(LoadError(""), HasSubstr("line 1, column 1"));
  EXPECT_THAT(LoadError(std::string("{ \"S\": {} }\0 junk", 17)), HasSubstr("at line 1, column 12: NUL byte."));
  EXPECT_THAT(LoadError("\xEF\xBB{ \"S\": {} }"), HasSubstr("broken byte-order mark"));
  EXPECT_THAT(LoadError("{ \"S\": { \"\xC3\x28\": {} } }"), HasSubstr("not well-formed"));
  EXPECT_TRUE(spaces.GetSpaces().empty());
  Load("\xEF\xBB\xBF{ \"S\": { \"o\": {} } }");  // a whole byte-order mark is fine
  EXPECT_NE(Object("S", "o"), nullptr);
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
  EXPECT_EQ(LoadProbe("factor", "2")->factor, 2.0f);  // an integer becomes its float value
  EXPECT_EQ(LoadProbe("factor", "0.1")->factor, 0.1f);
  EXPECT_EQ(LoadProbe("factor", "-1e3")->factor, -1000.0f);
  EXPECT_EQ(LoadProbe("label", R"("a\u0000b")")->label, std::string("a\0b", 3));
  EXPECT_EQ(LoadProbe("flag", "true")->flag, true);
  EXPECT_EQ(LoadProbe("ints", "[]")->ints, std::vector<std::int32_t>{});
  EXPECT_EQ(LoadProbe("ints", "[4, -5, 6]")->ints, (std::vector<std::int32_t>{4, -5, 6}));
  EXPECT_EQ(LoadProbe("floats", "[0.5, 1]")->floats, (std::vector<float>{0.5f, 1.0f}));
  EXPECT_EQ(LoadProbe("floats", "[1, 0.25]")->floats, (std::vector<float>{1.0f, 0.25f}));
  EXPECT_EQ(LoadProbe("floats", "[]")->floats, std::vector<float>{});
  Probe* kept = LoadProbe("count", "null");
  EXPECT_EQ(kept->count, 7);
  EXPECT_EQ(LoadProbe("label", "null")->label, "none");
}

TEST_F(MemberValueTest, RefusedValuesNameEverythingAndWriteNothing) {
  struct Case {
    const char* member;
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      {"count", "2.5", "an integer in the 32-bit range"},
      {"count", "2.0", "an integer in the 32-bit range"},
      {"count", "3000000000", "an integer in the 32-bit range"},
      {"count", "\"5\"", "an integer in the 32-bit range"},
      {"count", "true", "an integer in the 32-bit range"},
      {"count", "{}", "an integer in the 32-bit range"},
      {"factor", "\"1.0\"", "a number in the 32-bit float range"},
      {"factor", "false", "a number in the 32-bit float range"},
      {"factor", "[1.0]", "a number in the 32-bit float range"},
      {"factor", "1e39", "a number in the 32-bit float range"},
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
  for (const Case& c : cases) {
    spaces.Clear();
    const std::string message =
        LoadError(R"({ "S": { "o": { "Alpha": { ")" + std::string(c.member) + R"(": )" + c.value + " } } } }");
    EXPECT_THAT(message, AllOf(HasSubstr("Member " + std::string(c.member) + " expects " + c.expected),
                               HasSubstr("file '" + (folder / "level.txt").string() + "'"),
                               HasSubstr("space 'S'"), HasSubstr("object 'o'"),
                               HasSubstr("component 'Alpha'"), HasSubstr("member '" + std::string(c.member) + "'")))
        << c.member << " = " << c.value;
    Probe* probe = ComponentOf<Probe>("S", "o", "Alpha");
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->count, 7);
    EXPECT_EQ(probe->factor, 0.5f);
    EXPECT_EQ(probe->label, "none");
    EXPECT_FALSE(probe->flag);
    EXPECT_EQ(probe->ints, std::vector<std::int32_t>{9});
    EXPECT_EQ(probe->floats, std::vector<float>{9.5f});
  }
}

TEST_F(MemberValueTest, StringForAPositionNamesFileObjectAndMember) {
  const std::string message = LoadError(R"({ "Level1": { "Player": { "Transform": { "x_position": "left" } } } })");
  EXPECT_THAT(message, AllOf(HasSubstr("level.txt"), HasSubstr("object 'Player'"), HasSubstr("x_position"),
                             HasSubstr("expects a number"), HasSubstr("gives a string")));
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

TEST_F(WriterTest, HeaderOnlyComponentIsAnEmptyObject) {
  serialization::GetTypeRegistry()
      .RegisterType<objects::BaseComponent>(
          "Camera", [](void* m) -> objects::BaseComponent* { return new (m) objects::BaseComponent("Camera"); })
      .AddHeaderMember()
      .FinishType();
  objects::BaseComponent camera("Camera");
  EXPECT_EQ(Write(camera), "{\n    \"Camera\": {}\n}");
}

TEST_F(WriterTest, WritesMembersByRegisteredTypeInDeclarationOrder) {
  components::Physics physics;
  physics.velocity = {0.1f, -2.0f};
  physics.maxVelocity = 5.0f;
  physics.mass = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(Write(physics),
            "{\n    \"Physics\": {\n"
            "        \"x_acceleration\": 0.0,\n        \"y_acceleration\": 0.0,\n"
            "        \"x_velocity\": 0.10000000149011612,\n        \"y_velocity\": -2.0,\n"
            "        \"max_velocity\": 5.0,\n        \"mass\": null\n    }\n}");
  Probe probe;
  probe.type = "Alpha";
  probe.flag = true;
  probe.ints = {1, -2};
  probe.floats = {};
  EXPECT_THAT(Write(probe), HasSubstr("\"count\": 7,\n        \"factor\": 0.5,\n        \"label\": \"none\",\n"
                                      "        \"flag\": true,\n        \"ints\": [\n            1,\n            -2\n"
                                      "        ],\n        \"floats\": [],\n        \"succeed\": true\n"));
}

TEST_F(WriterTest, WrittenComponentReadsBackToTheSameValues) {
  components::Transform written(0.1f, -3.75f, 1e-7f);
  written.rotation = 33.3f;
  written.scale = {1.0f / 3.0f, 2.0f, 0.0f, 0.0f};
  const std::string text = Write(written);
  rapidjson::Document document;
  std::string error;
  ASSERT_TRUE(serialization::ParseJsonText(text, document, error)) << error;
  components::Transform read;
  serialization::Serializer(&spaces).DeserializeComponent(&read, *document.MemberBegin());
  EXPECT_EQ(read.translation.x, written.translation.x);
  EXPECT_EQ(read.translation.y, written.translation.y);
  EXPECT_EQ(read.translation.z, written.translation.z);
  EXPECT_EQ(read.rotation, written.rotation);
  EXPECT_EQ(read.scale.x, written.scale.x);
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
  for (const auto& space : document.GetObject()) spaceNames.push_back(space.name.GetString());
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
