// UI: counter pictures and the requested state.
#include "components/ui.h"

#include "base/game_states.h"
#include "components/pool.h"
#include "graphics/sprite_source.h"
#include "objects/game_object.h"
#include "objects/type_registry.h"

namespace components {

UI::UI() : BaseComponent("UI") {}

void UI::Update(float) {
  if (GetOwner() != nullptr) {
    auto* source = GetOwner()->GetComponent<graphics::SpriteSource>("SpriteSource");
    auto* pool = GetOwner()->GetComponent<Pool>("Pool");
    if (source != nullptr && pool != nullptr && pool->amount >= 1 &&
        pool->amount <= kCounterPictures.size()) {
      const char* picture = kCounterPictures[pool->amount - 1];
      if (source->image != picture) {
        source->LoadImage(picture);
        // LoadImage keeps the old path in `image`; recording the new one here is what
        // makes the comparison above stop the picture from being decoded again every
        // frame.
        source->image = picture;
      }
    }
  }
  if (base::IsTableState(gmHolder)) base::States().next = gmHolder;
}

void RegisterUI(objects::TypeRegistry& registry) {
  registry.RegisterType<UI>("UI")
      .Describe(
          "asks the game for a state every frame and shows its Pool's amount (1 to 6) as a counter picture",
          R"({"gmHolder": 3})")
      .AddHeaderMember()
      .Add("gmHolder", VELMARIS_FIELD(UI, gmHolder),
           {"the state to run, 0 to 12 (see States a UI may ask for); any other asks for none"})
      .FinishType();
}

}  // namespace components
