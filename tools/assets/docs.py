"""Writes data/ASSETS.md from the record of generated files."""

import os

from catalog import DATA, entries

INTRO = """# Velmaris data files: pictures and sounds

Every picture and sound in this folder is made by our own generator,
`tools/assets/generate.py` (run `make assets` from the repository root). It
draws and synthesises everything from code with fixed seeds, so a run gives
the same files every time; the files are committed, so the game needs no
Python. This file is written by the same run: do not edit it by hand.

## Conventions

- PNG files are 8-bit RGBA with transparent backgrounds unless said
  otherwise; the six `Counter_N.bmp` files are 24-bit BMP (no alpha).
- Sprite sheets: all cells of a sheet have the same size; cells are numbered
  row by row from the top left (frame f = row f / columns, column f mod
  columns), as `SpriteSource` expects (`numrows`, `numcols`).
- Size on screen: 24 pixels per world unit, and a sprite with scale 1 covers
  48 x 48 pixels of the 1280 x 720 screen. "Scale 1:1" below is the
  `Transform` scale (x, y) that shows one cell at its own pixel size
  (cell pixels / 48). A sprite stretches its whole cell over its quad;
  nothing tiles.
- Menu screens (`static` sprites) are composed for the whole 1280 x 720
  screen: a full-screen picture at position (0, 0) with scale 26.667 x 15.
  Buttons are separate pictures; a button's clickable box is its position
  plus or minus its scale, which is exactly the drawn quad.
- Gameplay sprites are drawn at 128 x 128 per cell (scale 1 shows them at
  48 px, sharp up to about scale 2.7). The player faces up: rotation 0 shows
  the beak pointing up.
- Walls: `platform.png` (8:1) and `wall_vertical.png` (1:8) are plain
  rounded bars shaded across their short side only, so they may be stretched
  along their long side to any length; `block.png` is for square pieces.

"""

LAYOUT_INTRO = """## Suggested places on screen

Positions in world units (24 px each) for a view centred on the origin
(y up), and the scale that shows each picture 1:1 (computed from its cell
size). Menu files may move things; the panels of the full-screen pictures
were drawn around these places.

| Screen | Object | Picture | Position (x, y) | Scale 1:1 (x, y) |
|---|---|---|---|---|
"""

# (screen, object, pictures, position); the scale comes from the first picture
LAYOUT = [
    ("logos", "white / black screen", ["images/Logos/white_screen.png", "images/Logos/black_screen.png"], "(0, 0)"),
    ("logos", "studio logo", ["images/Logos/logo_pellmar.png"], "(0, 0)"),
    ("logos", "libraries logo", ["images/Logos/logo_libraries.png"], "(0, 0)"),
    ("logos", "team logo (slides from y 50 to 0)", ["images/Logos/logo_corvanet.png"], "(0, 0)"),
    ("logos", "first welcome text", ["images/Logos/welcome_0.png"], "(0, 0)"),
    ("logos", "second welcome text", ["images/Logos/welcome_1.png"], "(0, -6)"),
    ("level timer", "five cells: minutes, colon, seconds", ["images/UI/timer_digits.png"],
     "x -4.667, -2.333, 0, 2.333, 4.667; y 12.917"),
    ("level timer", "limit marker", ["images/UI/timer_max.png"], "(0, 12.917)"),
    ("level timer", "plate behind the cells", ["images/UI/timer_plate.png"], "(0, 12.833)"),
    ("star counter", "icon", ["images/UI/star_count_icon.png"], "(-24.167, 12.917)"),
    ("star counter", "number (frame = count)", ["images/UI/star_count_numbers.png"], "(-20.833, 12.917)"),
    ("victory", "background", ["images/Victory/victory_background.png"], "(0, 0)"),
    ("victory", "rating", ["images/Victory/rating.png"], "(0, 6.25)"),
    ("victory", "level, stars, time marks", ["images/Victory/objective_level.png",
     "images/Victory/objective_stars.png", "images/Victory/objective_time.png"],
     "(0, 1.25), (0, -1.667), (0, -4.583)"),
    ("victory", "Next and Restart (same place)", ["images/Victory/button_next.png",
     "images/Victory/button_restart.png"], "(0, -9.583)"),
    ("pause", "background", ["images/PauseMenus/pause_background.png"], "(0, 0)"),
    ("pause", "Resume, Options, Credits, How to play, Custom levels, Exit",
     ["images/PauseMenus/button_resume.png", "images/PauseMenus/button_options.png",
      "images/PauseMenus/button_credits.png", "images/PauseMenus/button_howtoplay.png",
      "images/PauseMenus/button_custom.png", "images/PauseMenus/button_exit.png"],
     "x 0; y 9, 5, 1, -3, -7, -11"),
    ("options", "background", ["images/PauseMenus/Options/options_background.png"], "(0, 0)"),
    ("options", "labels: music, sound effects, full screen", ["images/PauseMenus/Options/label_music.png",
     "images/PauseMenus/Options/label_sfx.png", "images/PauseMenus/Options/label_screen.png"],
     "x -4.583; y 6.667, 1.667, -3.333"),
    ("options", "the three switches (frame 0 on, 1 off)", ["images/PauseMenus/Options/switch.png"],
     "x 8.75; y 6.667, 1.667, -3.333"),
    ("options, credits, how to play", "Back", ["images/PauseMenus/button_back.png"],
     "options (0, -9.583); credits and how to play (0, -12.5)"),
    ("exit questions", "panel with the question", ["images/PauseMenus/Exit/exit_question_pause.png",
     "images/PauseMenus/Exit/exit_question_window.png"], "(0, 0)"),
    ("exit questions", "Yes, No", ["images/PauseMenus/Exit/button_yes.png",
     "images/PauseMenus/Exit/button_no.png"], "(-5, -3.75), (5, -3.75)"),
    ("credits", "page (a_Credits)", ["images/PauseMenus/Credits/pause_credits_Page0.png"], "(0, 0)"),
    ("credits", "Left, Right arrows", ["images/PauseMenus/Credits/arrow_left.png",
     "images/PauseMenus/Credits/arrow_right.png"], "(-22.167, 1.667), (22.167, 1.667)"),
    ("how to play", "page", ["images/PauseMenus/HowToPlay/howtoplay_page.png"], "(0, 0)"),
    ("custom levels", "background", ["images/PauseMenus/CustomLevels/custom_levels_background.png"], "(0, 0)"),
    ("custom levels", "preview, or the no-preview or empty-list card",
     ["images/PauseMenus/CustomLevels/no_preview.png", "images/PauseMenus/CustomLevels/empty_list.png"],
     "(0, 2.5)"),
    ("custom levels", "level name and status line (font cells)", ["images/UI/font.png"],
     "centred at (0, -4.583) and (0, -6.667)"),
    ("custom levels", "Left, Right arrows (the credits page's)", ["images/PauseMenus/Credits/arrow_left.png",
     "images/PauseMenus/Credits/arrow_right.png"], "(-12.917, 2.5), (12.917, 2.5)"),
    ("custom levels", "Play, Back", ["images/PauseMenus/CustomLevels/button_play.png",
     "images/PauseMenus/button_back.png"], "(-5.833, -10.833), (5.833, -10.833)"),
    ("transitions", "title card", ["images/Transitions/title_level2.png",
     "images/Transitions/title_level3.png"], "(0, 0)"),
    ("levels", "background (static)", ["images/Play/background_level1.png",
     "images/Play/background_level2.png", "images/Play/background_level3.png"], "(0, 0)"),
    ("win level", "picture", ["images/Play/win_picture.png"], "(0, 0)"),
]

LAYOUT_NOTES = """
Gameplay sprites (camera view, 128 px cells with a little transparent
margin): the player reads well at scale 2-2.5, stars at 1-1.5, hazards at
1.5-2, the exit portal at 2.5-3.5. Bars are best at 0.6-1.0 across.

"""

SOUND_NOTES = """Effects are mono, 44.1 kHz Ogg Vorbis (oggenc -q 4); each starts and ends
with a short fade, its loudest 100 ms sit at about -15 dBFS RMS and its peak
stays below -1 dBFS. The music is stereo, about -18 dBFS RMS, peak below
-1 dBFS; it is a whole number of bars and was rendered in a circular buffer,
so its end flows into its start (decoded length exactly 64.000 s, 2,822,400
samples per channel). `tools/assets/measure_sounds.py` decodes every file
and prints its length, peak, RMS and the music's loop seam.

"""


def cell_text(e):
    if e["rows"] == 1 and e["columns"] == 1:
        return e["cells"] or "one picture"
    return "%d x %d: %s" % (e["rows"], e["columns"], e["cells"] or "")


def write(path=None):
    path = path or os.path.join(DATA, "ASSETS.md")
    out = [INTRO]
    sections = []
    for e in entries:
        if e["kind"] == "image" and e["section"] not in sections:
            sections.append(e["section"])
    out.append("## Pictures\n\n")
    for sec in sections:
        out.append("### %s\n\n" % sec)
        out.append("| File (under data/) | Pixels | Rows x columns: cells | Scale 1:1 | What it is for |\n")
        out.append("|---|---|---|---|---|\n")
        for e in entries:
            if e["kind"] != "image" or e["section"] != sec:
                continue
            sx, sy = e["scale_hint"]
            out.append("| `%s` | %d x %d | %s | %g, %g | %s |\n" % (
                e["path"], e["size"][0], e["size"][1], cell_text(e), sx, sy, e["purpose"]))
        out.append("\n")
    by_path = {e["path"]: e for e in entries if e["kind"] == "image"}
    out.append(LAYOUT_INTRO)
    for screen, obj, pictures, position in LAYOUT:
        first = by_path[pictures[0]]   # a missing picture is a generator fault: fail loudly
        for p in pictures[1:]:
            assert p in by_path, p
        sx, sy = first["scale_hint"]
        out.append("| %s | %s | %s | %s | %g, %g |\n" % (
            screen, obj, ", ".join("`%s`" % p for p in pictures), position, sx, sy))
    out.append(LAYOUT_NOTES)
    out.append("## Sounds\n\n")
    out.append(SOUND_NOTES)
    out.append("| File (under data/) | Length | Loops | What it is for |\n|---|---|---|---|\n")
    for e in entries:
        if e["kind"] == "sound":
            out.append("| `%s` | %.3f s | %s | %s |\n" % (e["path"], e["seconds"], "yes" if e["loop"] else "no",
                                                       e["purpose"]))
    with open(path, "w") as f:
        f.write("".join(out))
    return path
