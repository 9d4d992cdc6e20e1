"""The bitmap font the game writes its own text with, and the custom levels
page of the pause menu: its panel, Play button and the two cards it shows
in place of a missing preview or an empty list."""

from canvas import (Canvas, INK, INK_SOFT, WHITE, CREAM, SKY_PALE, SKY, SKY_DEEP, SUN,
                    SUN_LIGHT, ORANGE, FONT_MONO_BOLD, mix, sheet, star_points, subtract,
                    dilate)
from catalog import save_image
from images_ui import screen, button, body_text, save_full

# --- bitmap font ---------------------------------------------------------------

FONT_FIRST, FONT_LAST = 32, 126      # printable ASCII, one cell each
FONT_COLUMNS, FONT_ROWS = 16, 6      # 96 cells: 95 characters and the box glyph
CELL_W, CELL_H = 32, 48              # 2:3, the aspect of the quad the game draws per character
GLYPH_SIZE = 35                      # px; the tallest glyphs (`|`, `$`) keep their shadow inside
BASELINE = 33                        # px from the cell's top, the same in every cell
OUTLINE_W = 2.5                      # px of ink around each glyph


def glyph_cell(draw):
    """One transparent font cell; draw(c) puts white ink on the canvas c."""
    c = Canvas(CELL_W, CELL_H)
    draw(c)
    return c.result()


def char_glyph(ch):
    # anchor "ms": the glyph's advance box is centred in the cell and sits on the baseline,
    # so a run of cells reads as monospaced text
    return glyph_cell(lambda c: c.text((CELL_W / 2, BASELINE), ch, GLYPH_SIZE, fill=WHITE,
                                       outline=INK, outline_w=OUTLINE_W, path=FONT_MONO_BOLD,
                                       anchor="ms"))


def box_glyph(c):
    """A hollow box as tall as the capitals, shown for characters the sheet lacks."""
    x0, x1 = CELL_W / 2 - 8, CELL_W / 2 + 8
    y0, y1 = BASELINE - 25, BASELINE
    ring = subtract(c.rrect((x0, y0, x1, y1), 3), c.rrect((x0 + 3.2, y0 + 3.2, x1 - 3.2, y1 - 3.2), 1))
    c.shadow(dilate(ring, OUTLINE_W * c.ss), (0, 2), 1.75, 80)
    c.paint(dilate(ring, OUTLINE_W * c.ss), INK)
    c.paint(ring, WHITE)


def make_font():
    cells = [char_glyph(chr(code)) for code in range(FONT_FIRST, FONT_LAST + 1)]
    cells.append(glyph_cell(box_glyph))
    save_image("images/UI/font.png", sheet(cells, FONT_COLUMNS), "Text",
               "The game's bitmap font: white monospaced glyphs (DejaVu Sans Mono Bold) with an ink "
               "outline and a soft shadow on transparency, readable on light panels and dark "
               "backgrounds; the game tints them by multiplying the colour. Draw one 2:3 quad per "
               "character and advance by the cell width; every glyph sits on the baseline 33 px "
               "below its cell's top.",
               rows=FONT_ROWS, columns=FONT_COLUMNS,
               cells="cell = character code - 32 for ASCII 32 (space) to 126 (~); "
                     "95: box glyph for any other character")


def generate():
    make_font()
