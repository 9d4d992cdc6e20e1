// GameObject: component order, lookups, the duplicate rules of both AddComponents.
#include "objects/game_object.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "objects/probe_component.h"
#include "serialization/type_registry.h"

namespace {

using testing_support::Probe;

class GameObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    serialization::ResetTypeRegistry();
    for (const char* name : {"Transform", "Sprite", "Physics"}) {
      testing_support::RegisterProbe(serialization::GetTypeRegistry(), name);
    }
    Probe::Journal().clear();
  }
  void TearDown() override { serialization::ResetTypeRegistry(); }
};

TEST_F(GameObjectTest, InitializeRunsComponentsInTypeNameOrder) {
  objects::GameObject object("Player");
  object.AddComponent("Sprite");
  object.AddComponent("Physics");
  object.AddComponent("Transform");
  EXPECT_TRUE(object.Initialize());
  EXPECT_EQ(Probe::Journal(), (std::vector<std::string>{"Player/Physics.Initialize",
                                                        "Player/Sprite.Initialize",
                                                        "Player/Transform.Initialize"}));
}

TEST_F(GameObjectTest, InitializeStopsAtTheFirstFailure) {
  objects::GameObject object("Player");
  object.AddComponent("Transform");
  static_cast<Probe*>(object.AddComponent("Physics"))->succeed = false;
  object.AddComponent("Sprite");
  EXPECT_FALSE(object.Initialize());
  EXPECT_EQ(Probe::Journal(), (std::vector<std::string>{"Player/Physics.Initialize"}));
  EXPECT_TRUE(objects::GameObject("Empty").Initialize());
}

TEST_F(GameObjectTest, AddComponentByNameSetsTypeAndOwner) {
  objects::GameObject object("Player");
  objects::BaseComponent* component = object.AddComponent("Transform");
  ASSERT_NE(component, nullptr);
  EXPECT_EQ(component->GetType(), "Transform");  // the constructor said "Probe"
  EXPECT_EQ(component->GetOwner(), &object);
  EXPECT_EQ(object.GetComponent("Transform"), component);
  EXPECT_TRUE(object.HasComponent("Transform"));
}

TEST_F(GameObjectTest, LookupsAreExactAndCaseSensitive) {
  objects::GameObject object("Player");
  object.AddComponent("Transform");
  EXPECT_EQ(object.GetComponent("transform"), nullptr);
  EXPECT_EQ(object.GetComponent("Transform "), nullptr);
  EXPECT_EQ(object.GetComponent("Trans"), nullptr);
  EXPECT_FALSE(object.HasComponent("transform"));
}

TEST_F(GameObjectTest, AddComponentByNameTwiceKeepsTheFirst) {
  objects::GameObject object("Player");
  auto* first = static_cast<Probe*>(object.AddComponent("Physics"));
  first->count = 1;
  auto* second = static_cast<Probe*>(object.AddComponent("Physics"));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(object.GetComponent("Physics"), first);
  EXPECT_EQ(object.GetComponents().size(), 1u);
  // The unattached component stays usable until the object dies (no leak, no dangling).
  second->count = 2;
  EXPECT_EQ(first->count, 1);
  object.Initialize();
  EXPECT_EQ(second->initializations, 0);
}

TEST_F(GameObjectTest, AddComponentByPointerReplacesTheStoredOne) {
  objects::GameObject object("Player");
  auto* loaded = static_cast<Probe*>(object.AddComponent("Physics"));
  auto* handMade = new Probe();
  handMade->type = "Physics";
  EXPECT_EQ(object.AddComponent(handMade), handMade);
  EXPECT_EQ(object.GetComponent("Physics"), handMade);
  EXPECT_EQ(handMade->GetOwner(), &object);
  EXPECT_EQ(object.GetComponents().size(), 1u);
  // A sibling that cached the replaced component can still read it.
  EXPECT_EQ(loaded->count, 7);
  // Adding the stored component again changes nothing.
  EXPECT_EQ(object.AddComponent(handMade), handMade);
  EXPECT_EQ(object.GetComponent("Physics"), handMade);
  EXPECT_EQ(object.AddComponent(static_cast<objects::BaseComponent*>(nullptr)), nullptr);
}

TEST_F(GameObjectTest, UnknownTypeThrowsAndAddsNothing) {
  objects::GameObject object("Player");
  try {
    object.AddComponent("Camera");
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Attempted to find component of type Camera.  This type does not exist.");
  }
  EXPECT_TRUE(object.GetComponents().empty());
}

TEST_F(GameObjectTest, SetActiveKeepsComponents) {
  objects::GameObject object("Star");
  object.AddComponent("Sprite");
  EXPECT_TRUE(object.IsActive());
  object.SetActive(false);
  EXPECT_FALSE(object.IsActive());
  EXPECT_NE(object.GetComponent("Sprite"), nullptr);
  object.SetActive(true);
  EXPECT_TRUE(object.IsActive());
}

}  // namespace
