// GameObject: initialisation order, exact lookups, the duplicate rules of both
// AddComponents and the unknown-type refusal.
#include "objects/game_object.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "objects/probe_component.h"
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
  }
  void TearDown() override { objects::ResetTypeRegistry(); }

  objects::GameObject object{"Player"};
};

TEST_F(GameObjectTest, InitializeRunsInTypeNameOrderAndStopsAtTheFirstFailure) {
  object.AddComponent("Sprite");
  object.AddComponent("Physics");
  object.AddComponent("Transform");
  EXPECT_TRUE(object.Initialize());
  EXPECT_EQ(Probe::Journal(), (std::vector<std::string>{"Player/Physics.Initialize", "Player/Sprite.Initialize",
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

}  // namespace
