// Spaces and the space registry: object and space order, the active and paused
// rules of the three passes, object lookups, the menu test space.
#include "objects/space.h"

#include <gtest/gtest.h>

#include "objects/probe_component.h"
#include "objects/space_registry.h"
#include "serialization/type_registry.h"

namespace {

using testing_support::Probe;
using Journal = std::vector<std::string>;

class SpaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    serialization::ResetTypeRegistry();
    for (const char* name : {"Button", "Sprite", "Camera"}) {
      testing_support::RegisterProbe(serialization::GetTypeRegistry(), name);
    }
    objects::ResetSpaces();
    Probe::Journal().clear();
  }
  void TearDown() override {
    objects::ResetSpaces();
    serialization::ResetTypeRegistry();
  }

  static objects::Space& SpaceWithOneObject(const std::string& spaceName) {
    objects::Space& space = objects::GetSpaceRegistry().CreateSpace(spaceName);
    space.CreateObject(spaceName + "Object")->AddComponent("Sprite");
    return space;
  }
};

TEST_F(SpaceTest, ObjectsAndComponentsRunInByteWiseNameOrder) {
  objects::Space space("Level1");
  for (const char* name : {"c_UI", "Player", "a_WhiteScreen", "B"}) {
    auto object = space.CreateObject(name);
    object->AddComponent("Sprite");
    object->AddComponent("Button");
  }
  space.Update(0.016f);
  EXPECT_EQ(Probe::Journal(),
            (Journal{"B/Button.Update", "B/Sprite.Update", "Player/Button.Update",
                     "Player/Sprite.Update", "a_WhiteScreen/Button.Update",
                     "a_WhiteScreen/Sprite.Update", "c_UI/Button.Update", "c_UI/Sprite.Update"}));
}

TEST_F(SpaceTest, RegistryPassesVisitSpacesInNameOrderUpdateBeforeLateBeforeDraw) {
  SpaceWithOneObject("X_PauseMenu");
  SpaceWithOneObject("Level1");
  objects::UpdateSpaces(0.016f);
  objects::LateUpdateSpaces(0.016f);
  objects::DrawSpaces();
  EXPECT_EQ(Probe::Journal(),
            (Journal{"Level1Object/Sprite.Update", "X_PauseMenuObject/Sprite.Update",
                     "Level1Object/Sprite.LateUpdate", "X_PauseMenuObject/Sprite.LateUpdate",
                     "Level1Object/Sprite.Draw", "X_PauseMenuObject/Sprite.Draw"}));
}

TEST_F(SpaceTest, PausedSpaceIsDrawnButNotUpdated) {
  SpaceWithOneObject("Level1").SetPaused(true);
  objects::UpdateSpaces(0.016f);
  objects::LateUpdateSpaces(0.016f);
  objects::DrawSpaces();
  EXPECT_EQ(Probe::Journal(), (Journal{"Level1Object/Sprite.Draw"}));
}

TEST_F(SpaceTest, InactiveSpaceIsSkippedByEveryPass) {
  objects::Space& space = SpaceWithOneObject("Level1");
  space.SetActive(false);
  objects::UpdateSpaces(0.016f);
  objects::LateUpdateSpaces(0.016f);
  objects::DrawSpaces();
  space.Update(0.016f);
  space.Draw();
  EXPECT_TRUE(Probe::Journal().empty());
  space.SetActive(true);
  objects::DrawSpaces();
  EXPECT_EQ(Probe::Journal(), (Journal{"Level1Object/Sprite.Draw"}));
}

TEST_F(SpaceTest, InactiveObjectIsSkippedButFound) {
  objects::Space& space = SpaceWithOneObject("Level1");
  auto object = space.FindObject("Level1Object").lock();
  ASSERT_NE(object, nullptr);
  object->SetActive(false);
  objects::UpdateSpaces(0.016f);
  objects::DrawSpaces();
  EXPECT_TRUE(Probe::Journal().empty());
  EXPECT_EQ(space.FindObject("Level1Object").lock(), object);
  object->SetActive(true);
  objects::DrawSpaces();
  EXPECT_EQ(Probe::Journal(), (Journal{"Level1Object/Sprite.Draw"}));
}

TEST_F(SpaceTest, CreateObjectWithATakenNameChangesNothing) {
  objects::Space space("Level1");
  auto first = space.CreateObject("Player");
  ASSERT_NE(first, nullptr);
  first->AddComponent("Sprite");
  EXPECT_EQ(first->GetSpace(), &space);
  EXPECT_EQ(space.CreateObject("Player"), nullptr);
  EXPECT_EQ(space.FindObject("Player").lock(), first);
  EXPECT_NE(first->GetComponent("Sprite"), nullptr);
  EXPECT_EQ(space.GetObjects().size(), 1u);
}

TEST_F(SpaceTest, LookupsByName) {
  objects::Space space("Level1");
  space.CreateObject("b")->AddComponent("Button");
  space.CreateObject("a")->AddComponent("Sprite");
  space.CreateObject("c")->AddComponent("Button");
  space.CreateObject("d")->AddComponent("Sprite");
  EXPECT_TRUE(space.FindObject("player").expired());
  EXPECT_TRUE(space.FindObject("").expired());

  auto names = [](const std::vector<std::weak_ptr<objects::GameObject>>& list) {
    Journal result;
    for (const auto& object : list) result.push_back(object.lock()->GetName());
    return result;
  };
  EXPECT_EQ(names(space.GetAllObjects()), (Journal{"a", "b", "c", "d"}));
  EXPECT_EQ(names(space.GetObjectsWithComponent("Button")), (Journal{"b", "c"}));
  EXPECT_TRUE(space.GetObjectsWithComponent("button").empty());
}

TEST_F(SpaceTest, RegistryFindsAndCreatesSpacesOnce) {
  objects::Space& created = objects::GetSpaceRegistry().CreateSpace("Level1");
  EXPECT_EQ(objects::FindSpace("Level1"), &created);
  EXPECT_EQ(&objects::GetSpaceRegistry().CreateSpace("Level1"), &created);
  EXPECT_EQ(objects::FindSpace("level1"), nullptr);
  EXPECT_TRUE(created.IsActive());
  EXPECT_FALSE(created.IsPaused());
}

TEST_F(SpaceTest, MenuTestSpaceTakesHandBuiltObjectsOutsideTheRegistry) {
  auto* button = new objects::GameObject("c_Button");
  auto stored = objects::AddObject(button);
  EXPECT_EQ(stored.get(), button);
  objects::Space& menu = objects::GetMenuTestSpace();
  EXPECT_EQ(menu.GetName(), "MenuTestSpace");
  EXPECT_EQ(button->GetSpace(), &menu);
  EXPECT_EQ(menu.FindObject("c_Button").lock(), stored);
  EXPECT_EQ(objects::FindSpace("MenuTestSpace"), nullptr);

  // A taken name leaves the space as it was; only the returned reference owns it.
  auto* duplicate = new objects::GameObject("c_Button");
  auto orphan = objects::AddObject(duplicate);
  EXPECT_EQ(orphan.get(), duplicate);
  EXPECT_EQ(menu.FindObject("c_Button").lock(), stored);
  EXPECT_EQ(duplicate->GetSpace(), nullptr);
  EXPECT_EQ(objects::AddObject(nullptr), nullptr);
}

}  // namespace
