"""The bitmap font the game writes its own text with, and the custom levels
page of the pause menu: its panel, Play button and the two cards it shows
in place of a missing preview or an empty list."""

from canvas import (Canvas, INK, WHITE, CREAM, SKY_PALE, SKY, SKY_DEEP, SUN,
                    SUN_LIGHT, ORANGE, GREY, FONT_MONO_BOLD, mix, sheet, star_points, subtract,
                    union, dilate)
from catalog import save_image
from images_ui import screen, button, save_full

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


# --- custom levels page -----------------------------------------------------------

PAGE_PANEL = (200, 16, 1080, 704)
PREVIEW_W, PREVIEW_H = 480, 270      # px, the picture the game draws over the frame's inside
PREVIEW_CENTRE = (640, 300)
CARD_RADIUS = 14
RIM = 9                              # px of bevel around the preview, clear of the name line below


def preview_box():
    cx, cy = PREVIEW_CENTRE
    return (cx - PREVIEW_W / 2, cy - PREVIEW_H / 2, cx + PREVIEW_W / 2, cy + PREVIEW_H / 2)


def preview_frame(c):
    """A bevelled frame sunk into the panel around the preview; its inside is plain dark."""
    x0, y0, x1, y1 = preview_box()
    outer = c.rrect((x0 - RIM, y0 - RIM, x1 + RIM, y1 + RIM), RIM + 4)
    c.paint(dilate(outer, 3 * c.ss), INK)
    # lit from above: the rim's top is in shade, its bottom catches the light, so it reads as inset
    c.paint(outer, c.gradient(mix(SKY_DEEP, INK, 0.45), mix(SKY, WHITE, 0.35), (x0, y0 - RIM, x1, y1 + RIM)))
    inside = c.rrect((x0, y0, x1, y1), 0)
    c.paint(dilate(inside, 2 * c.ss), INK)
    c.paint(inside, INK)


def make_custom_page():
    sec = "Custom levels page"
    c = screen("Custom levels", box=PAGE_PANEL)
    preview_frame(c)
    save_full("images/PauseMenus/CustomLevels/custom_levels_background.png", c, sec,
              "Custom levels page: dimmed level, a panel titled \"Custom levels\" with a sunken "
              "frame for the 480 x 270 preview centred at (640, 300) px (inside plain dark), and "
              "clear bands below it for the level name (centred at y 470 px) and a smaller status "
              "line (y 520 px); the Left and Right arrows of the credits page browse the levels.")
    save_image("images/PauseMenus/CustomLevels/button_play.png", button("Play", w=240, style="mint"), sec,
               "Custom levels button \"Play\" (starts the chosen level).")
    save_image("images/PauseMenus/CustomLevels/no_preview.png", no_preview_card(), sec,
               "Shown in the preview frame for a level folder without a preview.png: a sky card "
               "with a faint level grid and stars, \"No preview\".")
    save_image("images/PauseMenus/CustomLevels/empty_list.png", empty_list_card(), sec,
               "Shown in the preview frame while there is no custom level: a folder and \"No custom "
               "levels yet\" (the game writes the folder's path on the status line below).")


def card(top, bottom):
    """A preview-sized canvas filled with a vertical gradient, with a thin light inner border."""
    c = Canvas(PREVIEW_W, PREVIEW_H)
    whole = c.rrect((0, 0, PREVIEW_W, PREVIEW_H), 0)
    c.paint(whole, c.vgradient(top, bottom))
    border = subtract(c.rrect((8, 8, PREVIEW_W - 8, PREVIEW_H - 8), CARD_RADIUS),
                      c.rrect((10.5, 10.5, PREVIEW_W - 10.5, PREVIEW_H - 10.5), CARD_RADIUS - 2.5))
    c.paint(border, WHITE, 0.6)
    return c


def faint_level(c):
    """Ghost of a level: grid lines, a few platforms and star outlines."""
    grid = c.blank()
    for x in range(40, PREVIEW_W, 40):
        grid = union(grid, c.line_mask([(x, 12), (x, PREVIEW_H - 12)], 1, round_caps=False))
    for y in range(30, PREVIEW_H, 40):
        grid = union(grid, c.line_mask([(12, y), (PREVIEW_W - 12, y)], 1, round_caps=False))
    c.paint(grid, WHITE, 0.28)
    for box in ((36, 212, 196, 228), (300, 190, 444, 206), (170, 74, 242, 88)):
        bar = c.rrect(box, 8)
        c.paint(subtract(dilate(bar, 2 * c.ss), bar), WHITE, 0.55)
        c.paint(bar, WHITE, 0.18)
    for cx, cy, r in ((90, 60, 14), (400, 70, 11), (436, 150, 9), (120, 170, 10), (250, 40, 8)):
        star = c.polygon(star_points(cx, cy, r, r * 0.48))
        c.paint(subtract(dilate(star, 2 * c.ss), star), WHITE, 0.7)


def no_preview_card():
    c = card(SKY_PALE, SKY)
    faint_level(c)
    c.text((PREVIEW_W / 2, PREVIEW_H / 2), "No preview", 48, fill=WHITE, gradient_to=SUN_LIGHT,
           outline_w=5)
    return c.result()


def folder_icon(c, cx, cy):
    """An open folder with a written sheet of paper in it."""
    tab = c.rrect((cx - 62, cy - 50, cx - 10, cy - 30), 7)
    back = union(tab, c.rrect((cx - 62, cy - 38, cx + 62, cy + 42), 10))
    c.shadow(back, (0, 4), 4, 70)
    c.body(back, mix(SUN, ORANGE, 0.4), ORANGE, outline_w=3.5, highlight=False)
    paper = c.rrect((cx - 48, cy - 30, cx + 48, cy + 20), 5)
    c.body(paper, WHITE, (214, 226, 244), outline_w=2.5, highlight=False, shade=False)
    for k in range(3):
        c.paint(c.line_mask([(cx - 36, cy - 18 + k * 9), (cx + 36 - k * 14, cy - 18 + k * 9)], 2.5), GREY)
    front = c.rrect((cx - 66, cy - 14, cx + 66, cy + 42), 10)
    c.body(front, SUN_LIGHT, SUN, outline_w=3.5)


def empty_list_card():
    c = card(CREAM, SKY_PALE)
    folder_icon(c, PREVIEW_W / 2, 96)
    star = c.polygon(star_points(PREVIEW_W / 2 + 80, 50, 18, 8.5))
    c.body(star, SUN_LIGHT, ORANGE, outline_w=3)
    c.text((PREVIEW_W / 2, 204), "No custom levels yet", 34, fill=INK, outline_w=0, shadow=False)
    return c.result()


def generate():
    make_font()
    make_custom_page()
