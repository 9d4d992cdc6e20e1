#include "overview.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <vector>

#include "graphics/graphics.h"
#include "graphics/screenshot.h"
#include "graphics/sprite.h"
#include "objects/space_registry.h"
#include "objects/transform.h"

namespace sim {
namespace {

// A margin around the level, in world units, so that nothing touches the edge.
constexpr float kMargin = 2.0f;
// The sky blue of the levels' clear colour, a little darker, behind the overview.
constexpr float kBackdrop[4] = {0.30f, 0.45f, 0.72f, 1.0f};

struct Bounds {
  float left = std::numeric_limits<float>::max();
  float right = std::numeric_limits<float>::lowest();
  float bottom = std::numeric_limits<float>::max();
  float top = std::numeric_limits<float>::lowest();

  bool Empty() const { return left > right; }
  void Add(const objects::Transform& transform) {
    const float halfX = std::abs(transform.scale.x);
    const float halfY = std::abs(transform.scale.y);
    left = std::min(left, transform.translation.x - halfX);
    right = std::max(right, transform.translation.x + halfX);
    bottom = std::min(bottom, transform.translation.y - halfY);
    top = std::max(top, transform.translation.y + halfY);
  }
};

// The world sprites' extent; hides the screen-fixed ones, returned for showing again.
Bounds MeasureAndHideFixedSprites(std::vector<objects::GameObject*>& hidden) {
  Bounds bounds;
  for (const auto& [spaceName, space] : objects::GetSpaceRegistry().GetSpaces()) {
    if (!space->IsActive()) continue;
    for (const auto& [objectName, object] : space->GetObjects()) {
      auto* sprite = object->GetComponent<graphics::Sprite>("Sprite");
      auto* transform = object->GetComponent<objects::Transform>("Transform");
      if (sprite == nullptr || transform == nullptr || !object->IsActive()) continue;
      if (sprite->isStatic) {
        object->SetActive(false);
        hidden.push_back(object.get());
      } else {
        bounds.Add(*transform);
      }
    }
  }
  return bounds;
}

}  // namespace

bool SaveLevelOverview(const std::string& path) {
  // One update without time passing puts the movers on their paths.
  objects::UpdateSpaces(0.0f);
  std::vector<objects::GameObject*> hidden;
  const Bounds bounds = MeasureAndHideFixedSprites(hidden);
  if (bounds.Empty()) {
    std::cerr << "velmaris-sim: " << path << ": the loaded spaces have no world sprites to draw" << std::endl;
    return false;
  }
  graphics::GraphicsBlock& block = graphics::Block();
  const float width = bounds.right - bounds.left + 2.0f * kMargin;
  const float height = bounds.top - bounds.bottom + 2.0f * kMargin;
  // The projection spans 2 x pixels / zoom world units across each axis.
  const float zoom = std::min(2.0f * block.width / width, 2.0f * block.height / height);
  // Every draw builds its projection from the zoom.
  const float savedZoom = block.zoom;
  block.zoom = zoom;
  const float centreX = (bounds.left + bounds.right) * 0.5f;
  const float centreY = (bounds.bottom + bounds.top) * 0.5f;
  graphics::SetCameraView({centreX, centreY, -15.0f, 1.0f}, {0.0f, 0.0f, 15.0f, 0.0f},
                          {0.0f, 1.0f, 0.0f, 0.0f});

  graphics::ClearScreen(kBackdrop);
  objects::DrawSpaces();
  const bool saved = graphics::SaveScreenshot(path);

  block.zoom = savedZoom;
  for (objects::GameObject* object : hidden) object->SetActive(true);
  return saved;
}

}  // namespace sim
