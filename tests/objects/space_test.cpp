// Spaces and the space registry: object and space order, paused against inactive in
// the three passes, lookups, the duplicate rules, the menu test space, and the flat
// walks: changes made during a pass, components that leave the passes they idle in.
#include "objects/space.h"

#include <functional>
#include <span>

#include <gtest/gtest.h>

#include "objects/probe_component.h"
#include "objects/space_registry.h"
#include "objects/type_registry.h"

namespace {

using testing_support::Probe;
using testing_support::RegisterProbe;
using Journal = std::vector<std::string>;

class SpaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    objects::ResetTypeRegistry();
    for (const char* name : {"Button", "Sprite"}) RegisterProbe(objects::GetTypeRegistry(), name);
    objects::ResetSpaces();
    Probe::Journal().clear();
  }
  void TearDown() override {
    objects::ResetSpaces();
    objects::ResetTypeRegistry();
  }

  // A registered space holding "<name>Object" with a Sprite probe.
  static objects::Space& SpaceWithOneObject(const std::string& spaceName) {
    objects::Space& space = objects::GetSpaceRegistry().CreateSpace(spaceName);
    space.CreateObject(spaceName + "Object")->AddComponent("Sprite");
    return space;
  }

  // All three passes; returns the journal they wrote.
  static Journal RunPasses() {
    Probe::Journal().clear();
    objects::UpdateSpaces(0.016f);
    objects::LateUpdateSpaces(0.016f);
    objects::DrawSpaces();
    return Probe::Journal();
  }
};

TEST_F(SpaceTest, ObjectsComponentsAndSpacesRunInByteWiseNameOrder) {
  objects::Space space("Level1");
  for (const char* name : {"c_UI", "Player", "a_WhiteScreen", "B"}) {
    auto object = space.CreateObject(name);
    object->AddComponent("Sprite");
    object->AddComponent("Button");
  }
  space.Update(0.016f);
  EXPECT_EQ(Probe::Journal(),
            (Journal{"B/Button.Update", "B/Sprite.Update", "Player/Button.Update", "Player/Sprite.Update",
                     "a_WhiteScreen/Button.Update", "a_WhiteScreen/Sprite.Update", "c_UI/Button.Update",
                     "c_UI/Sprite.Update"}));
  SpaceWithOneObject("X_PauseMenu");
  SpaceWithOneObject("Level1");
  EXPECT_EQ(RunPasses(), (Journal{"Level1Object/Sprite.Update", "X_PauseMenuObject/Sprite.Update",
                                  "Level1Object/Sprite.LateUpdate", "X_PauseMenuObject/Sprite.LateUpdate",
                                  "Level1Object/Sprite.Draw", "X_PauseMenuObject/Sprite.Draw"}));
}

TEST_F(SpaceTest, PausedSpaceIsOnlyDrawnInactiveSpaceOrObjectIsSkippedButFound) {
  objects::Space& space = SpaceWithOneObject("Level1");
  space.SetPaused(true);
  EXPECT_EQ(RunPasses(), (Journal{"Level1Object/Sprite.Draw"}));
  space.SetPaused(false);
  space.SetActive(false);
  EXPECT_TRUE(RunPasses().empty());
  space.Update(0.016f);  // also when called directly
  space.Draw();
  EXPECT_TRUE(Probe::Journal().empty());
  space.SetActive(true);
  auto object = space.FindObject("Level1Object").lock();
  object->SetActive(false);
  EXPECT_TRUE(RunPasses().empty());
  EXPECT_EQ(space.FindObject("Level1Object").lock(), object);
  EXPECT_NE(object->GetComponent("Sprite"), nullptr);
  object->SetActive(true);
  EXPECT_EQ(RunPasses().size(), 3u);
}

TEST_F(SpaceTest, LookupsByNameAndComponentAreExactAndSorted) {
  objects::Space space("Level1");
  for (const char* name : {"b", "c"}) space.CreateObject(name)->AddComponent("Button");
  for (const char* name : {"d", "a"}) space.CreateObject(name)->AddComponent("Sprite");
  EXPECT_TRUE(space.FindObject("B").expired() && space.FindObject("").expired());
  auto names = [](const std::vector<std::weak_ptr<objects::GameObject>>& list) {
    Journal result;
    for (const auto& object : list) result.push_back(object.lock()->GetName());
    return result;
  };
  EXPECT_EQ(names(space.GetAllObjects()), (Journal{"a", "b", "c", "d"}));
  EXPECT_EQ(names(space.GetObjectsWithComponent("Button")), (Journal{"b", "c"}));
  EXPECT_TRUE(space.GetObjectsWithComponent("button").empty());
}

TEST_F(SpaceTest, TakenNamesChangeNothing) {
  objects::Space space("Level1");
  auto first = space.CreateObject("Player");
  first->AddComponent("Sprite");
  EXPECT_EQ(first->GetSpace(), &space);
  EXPECT_EQ(space.CreateObject("Player"), nullptr);
  EXPECT_EQ(space.FindObject("Player").lock(), first);
  EXPECT_NE(first->GetComponent("Sprite"), nullptr);
  EXPECT_EQ(space.GetObjects().size(), 1u);
  objects::Space& created = objects::GetSpaceRegistry().CreateSpace("Level1");
  created.SetPaused(true);
  EXPECT_EQ(&objects::GetSpaceRegistry().CreateSpace("Level1"), &created);
  EXPECT_TRUE(created.IsPaused());
  EXPECT_EQ(objects::FindSpace("Level1"), &created);
  EXPECT_EQ(objects::FindSpace("level1"), nullptr);

  // The menu test space takes hand-built objects outside the registry.
  auto* button = new objects::GameObject("c_Button");
  auto stored = objects::AddObject(button);
  objects::Space& menu = objects::GetMenuTestSpace();
  EXPECT_EQ(stored.get(), button);
  EXPECT_EQ(button->GetSpace(), &menu);
  EXPECT_EQ(menu.FindObject("c_Button").lock(), stored);
  EXPECT_EQ(menu.GetName(), "MenuTestSpace");
  EXPECT_EQ(objects::FindSpace("MenuTestSpace"), nullptr);
  // A taken name leaves it as it was; only the returned reference owns the newcomer.
  auto* duplicate = new objects::GameObject("c_Button");
  auto orphan = objects::AddObject(duplicate);
  EXPECT_EQ(orphan.get(), duplicate);
  EXPECT_EQ(menu.FindObject("c_Button").lock(), stored);
  EXPECT_EQ(duplicate->GetSpace(), nullptr);
  EXPECT_EQ(objects::AddObject(nullptr), nullptr);
}

}  // namespace

// A component that runs a given action in its Update and does nothing else.
class Actor : public objects::BaseComponent {
 public:
  explicit Actor(std::function<void()> action) : BaseComponent("Actor"), action_(std::move(action)) {}
  void Update(float) override {
    ++updates;
    action_();
  }
  int updates = 0;

 private:
  std::function<void()> action_;
};

TEST_F(SpaceTest, ChangesMadeDuringAPassKeepTheOrderOfAWalkOverTheMap) {
  objects::Space space("Level1");
  for (const char* name : {"d", "e"}) space.CreateObject(name)->AddComponent("Sprite");
  // "b" adds an object before it and one after it, switches "d" off and removes
  // itself: it must survive its own call, and the pass goes on from after "b".
  space.CreateObject("b")->AddComponent(new Actor([&space] {
    space.CreateObject("a2")->AddComponent("Sprite");
    space.CreateObject("c2")->AddComponent("Sprite");
    space.FindObject("d").lock()->SetActive(false);
    space.RemoveObject("b");
  }));
  space.Update(0.016f);
  EXPECT_EQ(Probe::Journal(), (Journal{"c2/Sprite.Update", "e/Sprite.Update"}));
  EXPECT_TRUE(space.FindObject("b").expired());

  Probe::Journal().clear();
  space.Update(0.016f);
  EXPECT_EQ(Probe::Journal(), (Journal{"a2/Sprite.Update", "c2/Sprite.Update", "e/Sprite.Update"}));
}

TEST_F(SpaceTest, AComponentLeavesOnlyThePassesItHasNoWorkIn) {
  objects::Space space("Level1");
  auto object = space.CreateObject("o");
  auto* actor = new Actor([] {});
  object->AddComponent(actor);
  for (int frame = 0; frame < 3; ++frame) {
    space.Update(0.016f);
    space.LateUpdate(0.016f);
    space.Draw();
  }
  EXPECT_EQ(actor->updates, 3);
  EXPECT_FALSE(actor->IsIdleIn(objects::Pass::kUpdate));
  EXPECT_TRUE(actor->IsIdleIn(objects::Pass::kLateUpdate));
  EXPECT_TRUE(actor->IsIdleIn(objects::Pass::kDraw));

  // A component added later takes part in every pass; walks of every object still
  // see the idle one.
  object->AddComponent("Sprite");
  Probe::Journal().clear();
  space.LateUpdate(0.016f);
  space.Draw();
  EXPECT_EQ(Probe::Journal(), (Journal{"o/Sprite.LateUpdate", "o/Sprite.Draw"}));
  int seen = 0;
  space.ForEachObject([&seen](objects::GameObject&, std::span<objects::BaseComponent* const> components) {
    seen += static_cast<int>(components.size());
  });
  EXPECT_EQ(seen, 2);
}
