// Text on the game's screens, drawn with the font sheet "images/UI/font.png" (16 x 6
// cells of the characters 32 to 126, and a box for any other): a label is a row of
// objects in a space, one a character, made once when the space is loaded and then
// only given other frames, so that showing text never adds objects to a space that
// is being walked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/math.h"

namespace objects {
class Space;
}

namespace game {

struct LabelStyle {
  float x = 0.0f;  // the centre of the line, world units
  float y = 0.0f;
  float height = 1.0f;  // of a character cell, world units; its width is 2/3 of it
  int capacity = 32;    // characters the label can show; a longer text ends in "..."
  base::XMFLOAT4 colour{1.0f, 1.0f, 1.0f, 1.0f};
};

// Makes the objects of label `id` in `space` ("z_<id>_00" on, drawn over the space's
// pictures), showing nothing.
void AddLabel(objects::Space& space, std::string_view id, const LabelStyle& style);

// Shows `text` on label `id` of `space`, centred; nothing happens for a label that
// was not added.
void ShowLabel(objects::Space& space, std::string_view id, std::string_view text);

// The colour the label's next ShowLabel draws with.
void SetLabelColour(const objects::Space& space, std::string_view id, const base::XMFLOAT4& colour);

// The text label `id` of `space` shows now, read back from its glyphs (a box
// glyph as "\x7f"); empty for a label that was not added.
std::string ShownLabelText(const objects::Space& space, std::string_view id);

// Splits `text` into at most `lines` lines of at most `width` characters, at a space
// or after a "/" where it can; the last line takes the rest (a label then cuts it).
std::vector<std::string> WrapText(const std::string& text, std::size_t width, std::size_t lines);

// The text as the label shows it: every byte outside 32..126 (a UTF-8 sequence
// counts once) as the box, cut to `capacity` with "..." at the end.
std::string LabelText(std::string_view text, int capacity);

}  // namespace game
