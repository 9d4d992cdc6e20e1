#include "game/menus/label.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

#include "game/blocks.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "objects/game_object.h"
#include "objects/space.h"
#include "objects/transform.h"

namespace game {
namespace {

constexpr const char* kFontSheet = "images/UI/font.png";
constexpr int kSheetColumns = 16;
constexpr int kSheetRows = 6;
constexpr char kFirstCharacter = ' ';
constexpr char kLastCharacter = '~';
constexpr int kBoxFrame = kSheetColumns * kSheetRows - 1;
// Stands for any character the sheet has no cell for.
constexpr char kBox = '\x7f';
constexpr float kCellAspect = 2.0f / 3.0f;
// Characters follow each other closer than their cells are wide: a glyph's ink takes
// about two thirds of its cell.
constexpr float kAdvance = 0.7f;

std::string GlyphName(std::string_view id, int index) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%03d", index);
  return "z_" + std::string(id) + "_" + digits;
}

int FrameOf(char c) {
  if (c < kFirstCharacter || c > kLastCharacter) return kBoxFrame;
  return c - kFirstCharacter;
}

// Every label's style by its space and id; the spaces own the glyph objects.
struct Labels {
  std::map<std::pair<const objects::Space*, std::string>, LabelStyle, std::less<>> styles;
};

Labels& AllLabels() { return GameBlock<Labels>(); }

}  // namespace

void AddLabel(objects::Space& space, std::string_view id, const LabelStyle& style) {
  AllLabels().styles[{&space, std::string(id)}] = style;
  const float width = style.height * kCellAspect;
  for (int i = 0; i < style.capacity; ++i) {
    std::shared_ptr<objects::GameObject> glyph = space.CreateObject(GlyphName(id, i));
    auto* transform = static_cast<objects::Transform*>(glyph->AddComponent("Transform"));
    auto* source = static_cast<graphics::SpriteSource*>(glyph->AddComponent("SpriteSource"));
    auto* sprite = static_cast<graphics::Sprite*>(glyph->AddComponent("Sprite"));
    // The quad spans -scale..scale; the translation is set when text is shown.
    transform->translation = {style.x, style.y, 0.0f, 1.0f};
    transform->scale = {width * 0.5f, style.height * 0.5f, 1.0f, 0.0f};
    source->rows = kSheetRows;
    source->columns = kSheetColumns;
    source->image = kFontSheet;
    sprite->isStatic = true;
    sprite->colour = {style.colour.x, style.colour.y, style.colour.z, 0.0f};
    glyph->Initialize();
  }
}

std::string LabelText(std::string_view text, int capacity) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0xC0) {  // a UTF-8 sequence: one box for all of it
      while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) ++i;
      shown += kBox;
    } else if (byte < 0x80) {
      shown += FrameOf(text[i]) == kBoxFrame ? kBox : text[i];
    } else {
      shown += kBox;
    }
  }
  const auto limit = static_cast<std::size_t>(capacity > 3 ? capacity : 3);
  if (shown.size() > limit) shown = shown.substr(0, limit - 3) + "...";
  return shown;
}

void SetLabelColour(const objects::Space& space, std::string_view id, const base::XMFLOAT4& colour) {
  const auto found = AllLabels().styles.find(std::pair<const objects::Space*, std::string>(&space, id));
  if (found != AllLabels().styles.end()) found->second.colour = colour;
}

void ShowLabel(objects::Space& space, std::string_view id, std::string_view text) {
  const auto found = AllLabels().styles.find(std::pair<const objects::Space*, std::string>(&space, id));
  if (found == AllLabels().styles.end()) return;
  const LabelStyle& style = found->second;
  const std::string shown = LabelText(text, style.capacity);
  const float advance = style.height * kCellAspect * kAdvance;
  const float left = style.x - advance * (static_cast<float>(shown.size()) - 1.0f) * 0.5f;
  for (int i = 0; i < style.capacity; ++i) {
    std::shared_ptr<objects::GameObject> glyph = space.FindObject(GlyphName(id, i)).lock();
    if (glyph == nullptr) continue;  // taken out by a live reload of the page
    auto* transform = glyph->GetComponent<objects::Transform>("Transform");
    auto* sprite = glyph->GetComponent<graphics::Sprite>("Sprite");
    if (transform == nullptr || sprite == nullptr) continue;
    const bool used = i < static_cast<int>(shown.size());
    const char c = used ? shown[static_cast<std::size_t>(i)] : ' ';
    transform->translation.x = left + advance * static_cast<float>(i);
    transform->SetDirty();
    sprite->frameIndex = FrameOf(c);
    sprite->colour = {style.colour.x, style.colour.y, style.colour.z, c != ' ' ? style.colour.w : 0.0f};
  }
}

std::string ShownLabelText(const objects::Space& space, std::string_view id) {
  const auto found = AllLabels().styles.find(std::pair<const objects::Space*, std::string>(&space, id));
  if (found == AllLabels().styles.end()) return {};
  std::string shown;
  for (int i = 0; i < found->second.capacity; ++i) {
    std::shared_ptr<objects::GameObject> glyph = space.FindObject(GlyphName(id, i)).lock();
    const auto* sprite = glyph != nullptr ? glyph->GetComponent<graphics::Sprite>("Sprite") : nullptr;
    // A space is a glyph drawn transparent, as are the cells after the text.
    const bool visible = sprite != nullptr && sprite->colour.w > 0.0f;
    shown += visible ? static_cast<char>(kFirstCharacter + sprite->frameIndex) : ' ';
  }
  shown.erase(shown.find_last_not_of(' ') + 1);
  return shown;
}

std::vector<std::string> WrapText(const std::string& text, std::size_t width, std::size_t lines) {
  std::vector<std::string> wrapped;
  std::size_t start = 0;
  while (start < text.size() && wrapped.size() < lines) {
    std::size_t end = std::min(text.size(), start + width);
    if (end < text.size() && wrapped.size() + 1 < lines) {
      std::size_t cut = start;  // the latest place to break, if any
      const std::size_t space = text.rfind(' ', end);
      if (space != std::string::npos && space > start) cut = space;
      const std::size_t slash = text.rfind('/', end - 1);  // stays on the line it ends
      if (slash != std::string::npos && slash > start && slash + 1 > cut) cut = slash + 1;
      if (cut > start) end = cut;
    } else {
      end = text.size();  // the last line takes the rest; the label cuts it
    }
    wrapped.push_back(text.substr(start, end - start));
    start = end;
    while (start < text.size() && text[start] == ' ') ++start;
  }
  return wrapped;
}

}  // namespace game
