// The notice showing, its time, and its labels in the overlay space.
#include "game/menus/notice.h"

#include <algorithm>
#include <iterator>

#include "game/blocks.h"
#include "game/menus/label.h"
#include "objects/space.h"
#include "objects/space_registry.h"

namespace game {
namespace {

// The headline in the warm yellow of the level timer's digits, or coral when what
// the player asked for did not happen; where or why in white below it.
constexpr base::XMFLOAT4 kHeadlineColour{1.0f, 0.92f, 0.55f, 1.0f};
constexpr base::XMFLOAT4 kProblemColour{1.0f, 0.55f, 0.48f, 1.0f};
constexpr base::XMFLOAT4 kDetailColour{1.0f, 1.0f, 1.0f, 1.0f};

constexpr const char* kHeadline = "notice";
constexpr const char* kDetailLines[] = {"notice_detail0", "notice_detail1"};
constexpr int kHeadlineCapacity = 48;
// About 1,120 pixels of the 1,280 at a character height of 1 world unit.
constexpr int kDetailCapacity = 100;

struct NoticeState {
  base::PlayerNotice notice;
  float age = -1.0f;  // seconds shown so far; negative while none shows
  // The overlay space the labels were made in; null until the first notice shows.
  const objects::Space* labelled = nullptr;
};

NoticeState& Notice() { return GameBlock<NoticeState>(); }

// The labels, made once in the overlay space (again after the spaces were reset).
objects::Space& LabelledSpace() {
  objects::Space& space = objects::GetOverlaySpace();
  NoticeState& state = Notice();
  if (state.labelled == &space && !space.GetObjects().empty()) return space;
  for (const auto& name : space.GetAllObjects()) {
    if (const auto object = name.lock()) space.RemoveObject(object->GetName());
  }
  AddLabel(space, kHeadline, {.x = 0.0f, .y = -11.4f, .height = 1.25f, .capacity = kHeadlineCapacity});
  AddLabel(space, kDetailLines[0], {.x = 0.0f, .y = -12.8f, .height = 1.0f, .capacity = kDetailCapacity});
  AddLabel(space, kDetailLines[1], {.x = 0.0f, .y = -13.95f, .height = 1.0f, .capacity = kDetailCapacity});
  state.labelled = &space;
  return space;
}

float Opacity(float age) {
  if (age < 0.0f) return 0.0f;
  if (age < kNoticeSeconds) return 1.0f;
  return std::max(0.0f, 1.0f - (age - kNoticeSeconds) / kNoticeFadeSeconds);
}

void ShowLine(objects::Space& space, const char* label, const std::string& text, base::XMFLOAT4 colour,
              float opacity) {
  colour.w = opacity;
  SetLabelColour(space, label, colour);
  ShowLabel(space, label, opacity > 0.0f ? text : std::string());
}

void ShowNoticeLines(objects::Space& space, const base::PlayerNotice& notice, float opacity) {
  ShowLine(space, kHeadline, notice.headline, notice.problem ? kProblemColour : kHeadlineColour, opacity);
  const std::vector<std::string> detail = WrapText(notice.detail, kDetailCapacity, std::size(kDetailLines));
  for (std::size_t i = 0; i < std::size(kDetailLines); ++i) {
    ShowLine(space, kDetailLines[i], i < detail.size() ? detail[i] : std::string(), kDetailColour, opacity);
  }
}

}  // namespace

void ShowNotice(const base::PlayerNotice& notice) {
  Notice().notice = notice;
  Notice().age = 0.0f;
}

void DrawNotice(float dt) {
  NoticeState& state = Notice();
  if (state.age < 0.0f) return;
  objects::Space& space = LabelledSpace();
  const float opacity = Opacity(state.age);
  ShowNoticeLines(space, state.notice, opacity);
  space.Update(dt);
  space.LateUpdate(dt);
  space.Draw();
  if (opacity == 0.0f) {
    state.age = -1.0f;  // gone: nothing more to draw until the next notice
  } else if (dt > 0.0f) {
    state.age += dt;
  }
}

std::vector<std::string> NoticeLinesShown() {
  const NoticeState& state = Notice();
  const objects::Space& space = objects::GetOverlaySpace();
  std::vector<std::string> lines;
  if (state.labelled != &space) return lines;
  for (const char* label : {kHeadline, kDetailLines[0], kDetailLines[1]}) {
    std::string line = ShownLabelText(space, label);
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

float NoticeOpacity() { return Opacity(Notice().age); }

}  // namespace game
