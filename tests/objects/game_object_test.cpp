// GameObject: initialisation order, exact lookups, the duplicate rules of both
// AddComponents, the unknown-type refusal and RequireSibling's refusals.
#include "objects/game_object.h"

#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "base/log.h"
#include "objects/probe_component.h"
#include "objects/space.h"
#include "objects/transform.h"
#include "objects/type_registry.h"

namespace {

using testing_support::Probe;

class GameObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    objects::ResetTypeRegistry();
    for (const char* name : {"Transform", "Sprite", "Physics"}) {
      testing_support::RegisterProbe(objects::GetTypeRegistry(), name);
    }
    Probe::Journal().clear();
    base::ResetLogOnce();
  }
  void TearDown() override {
    objects::ResetTypeRegistry();
    base::ResetLogOnce();
  }

  objects::GameObject object{"Player"};
};

TEST_F(GameObjectTest, InitializeRunsInTypeNameOrderAndStopsAtTheFirstFailure) {
  object.AddComponent("Sprite");
  object.AddComponent("Physics");
  object.AddComponent("Transform");
  EXPECT_TRUE(object.Initialize());
  EXPECT_EQ(Probe::Journal(),
            (std::vector<std::string>{"Player/Physics.Initialize", "Player/Sprite.Initialize",
                                      "Player/Transform.Initialize"}));
  Probe::Journal().clear();
  static_cast<Probe*>(object.GetComponent("Physics"))->succeed = false;
  EXPECT_FALSE(object.Initialize());
  EXPECT_EQ(Probe::Journal(), (std::vector<std::string>{"Player/Physics.Initialize"}));
  EXPECT_TRUE(objects::GameObject("Empty").Initialize());
}

TEST_F(GameObjectTest, AddComponentByNameSetsTypeAndOwnerAndLookupsAreExact) {
  objects::BaseComponent* component = object.AddComponent("Transform");
  ASSERT_NE(component, nullptr);
  EXPECT_EQ(component->GetType(), "Transform");  // the constructor said "Probe"
  EXPECT_EQ(component->GetOwner(), &object);
  EXPECT_EQ(object.GetComponent("Transform"), component);
  for (const char* near : {"transform", "Transform ", "Trans"}) {
    EXPECT_EQ(object.GetComponent(near), nullptr) << near;
    EXPECT_FALSE(object.HasComponent(near)) << near;
  }
  try {
    object.AddComponent("Camera");
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Attempted to find component of type Camera.  This type does not exist.");
  }
  EXPECT_EQ(object.GetComponents().size(), 1u);
}

TEST_F(GameObjectTest, ByNameTwiceKeepsTheFirstByPointerReplacesTheStoredOne) {
  auto* first = static_cast<Probe*>(object.AddComponent("Physics"));
  first->count = 1;
  auto* second = static_cast<Probe*>(object.AddComponent("Physics"));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(object.GetComponent("Physics"), first);
  object.Initialize();  // the unattached one is kept until the object dies, unused
  EXPECT_EQ(second->initializations, 0);

  auto* handMade = new Probe("Physics");
  EXPECT_EQ(object.AddComponent(handMade), handMade);
  EXPECT_EQ(object.GetComponent("Physics"), handMade);
  EXPECT_EQ(handMade->GetOwner(), &object);
  EXPECT_EQ(first->count, 1);  // a sibling that cached the replaced one can still read it
  EXPECT_EQ(object.AddComponent(handMade), handMade);  // the stored one again: no change
  EXPECT_EQ(object.GetComponents().size(), 1u);
  EXPECT_EQ(object.AddComponent(static_cast<objects::BaseComponent*>(nullptr)), nullptr);
}

// What RequireSibling gives and what it writes to standard error; each row asks a
// "Sprite" probe of the object "Hero" for its Transform.
TEST_F(GameObjectTest, RequireSiblingGivesTheSiblingOrReportsWhatIsMissing) {
  enum class Sibling { kNone, kTransform, kProbeNamedTransform };
  struct Case {
    const char* what;
    Sibling sibling;
    bool attached;  // the asking component is on the object
    const char* report;
  };
  const char* const kMissing = "component: object Hero: Sprite needs a Transform on its object\n";
  const Case cases[] = {
      {"present", Sibling::kTransform, true, ""},
      {"absent", Sibling::kNone, true, kMissing},
      {"another class under the name", Sibling::kProbeNamedTransform, true, kMissing},
      {"no object yet", Sibling::kTransform, false,
       "component: a component without an object: Sprite needs a Transform on its object\n"},
  };
  for (const Case& c : cases) {
    base::ResetLogOnce();
    objects::GameObject hero("Hero");
    objects::BaseComponent* stored = nullptr;
    if (c.sibling == Sibling::kTransform) stored = hero.AddComponent(new objects::Transform());
    if (c.sibling == Sibling::kProbeNamedTransform) stored = hero.AddComponent(new Probe("Transform"));
    Probe loose("Sprite");
    Probe& asking = c.attached ? *static_cast<Probe*>(hero.AddComponent(new Probe("Sprite"))) : loose;
    testing::internal::CaptureStderr();
    objects::Transform* result = objects::RequireSibling<objects::Transform>(asking, "Transform");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.report) << c.what;
    const bool expectFound = c.report[0] == '\0';
    EXPECT_EQ(result, expectFound ? stored : nullptr) << c.what;
  }
}

TEST_F(GameObjectTest, RequireSiblingReportsOncePerObjectComponentAndType) {
  objects::Space level("Level1");
  std::shared_ptr<objects::GameObject> first = level.CreateObject("First");
  std::shared_ptr<objects::GameObject> second = level.CreateObject("Second");
  auto* firstSprite = first->AddComponent(new Probe("Sprite"));
  auto* firstCamera = first->AddComponent(new Probe("Camera"));
  auto* secondSprite = second->AddComponent(new Probe("Sprite"));
  testing::internal::CaptureStderr();
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_EQ(objects::RequireSibling<objects::Transform>(*firstSprite, "Transform"), nullptr);
    objects::RequireSibling<objects::Transform>(*firstCamera, "Transform");
    objects::RequireSibling<Probe>(*firstSprite, "SpriteSource");
    objects::RequireSibling<objects::Transform>(*secondSprite, "Transform");
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "component: object First in space Level1: Sprite needs a Transform on its object\n"
            "component: object First in space Level1: Camera needs a Transform on its object\n"
            "component: object First in space Level1: Sprite needs a SpriteSource on its object\n"
            "component: object Second in space Level1: Sprite needs a Transform on its object\n");
}

}  // namespace
