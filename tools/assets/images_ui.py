"""Screen pictures: logos, HUD timer, victory screen, pause menu, options,
exit questions, how-to-play, the UI counter pictures and the menu-test
sheet. Menu screens are composed for the 1280x720 screen; buttons are
separate pictures placed by the menu files (suggested places are in
data/ASSETS.md)."""

import math

from PIL import Image, ImageFilter

from canvas import (Canvas, INK, INK_SOFT, WHITE, CREAM, SKY_PALE, SKY, SKY_DEEP, SUN,
                    SUN_LIGHT, ORANGE, CORAL, CORAL_DARK, MINT, MINT_DARK, VIOLET,
                    VIOLET_DARK, GREY, FONT_REGULAR, FONT_BOLD, mix, sheet, star_points,
                    rotate_points, union, multiply, subtract, dilate)
from catalog import save_image

SCREEN_W, SCREEN_H = 1280, 720
FULL = (26.667, 15)

BUTTON_STYLES = {
    "yellow": ((255, 232, 120), ORANGE, INK),
    "coral": ((255, 150, 140), CORAL_DARK, WHITE),
    "mint": ((140, 240, 200), MINT_DARK, WHITE),
    "sky": ((170, 225, 255), SKY_DEEP, WHITE),
}


# --- shared pieces ----------------------------------------------------------

def draw_button(c, box, label, style="yellow", size=None):
    light, dark, text = BUTTON_STYLES[style]
    x0, y0, x1, y1 = box
    h = y1 - y0
    m = c.rrect(box, h / 2)
    c.shadow(m, (0, 4), 3, 70)
    c.paint(dilate(m, 3.5 * c.ss), INK)
    c.paint(m, c.gradient(light, dark, box))
    gloss = c.rrect((x0 + h * 0.3, y0 + h * 0.1, x1 - h * 0.3, y0 + h * 0.42), h * 0.16)
    c.paint(gloss.filter(ImageFilter.GaussianBlur(1.5 * c.ss)), WHITE, 0.5)
    if label:
        size = size or h * 0.46
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2 + 1
        if text == INK:
            c.text((cx, cy), label, size, fill=INK, outline=WHITE, outline_w=0, shadow=False)
        else:
            c.text((cx, cy), label, size, fill=WHITE, outline=INK, outline_w=size * 0.1, shadow=False)


def button(label, w=320, h=80, style="yellow"):
    c = Canvas(w, h)
    draw_button(c, (5, 4, w - 5, h - 8), label, style)
    return c.result()


def dim_screen(c, alpha=130):
    c.paint(c.blank().point(lambda v: 255), INK + (alpha,))


def panel(c, box, title=None, title_size=64, colour_top=CREAM, colour_bottom=SKY_PALE, title_y=58):
    """A rounded cream-to-sky panel; title_y is the title's centre in px below the box's top."""
    m = c.rrect(box, 36)
    c.shadow(m, (0, 10), 12, 110)
    c.paint(dilate(m, 5 * c.ss), INK)
    c.paint(m, c.gradient(colour_top, colour_bottom, box))
    x0, y0, x1, y1 = box
    inner = subtract(c.rrect((x0 + 10, y0 + 10, x1 - 10, y1 - 10), 28),
                     c.rrect((x0 + 13, y0 + 13, x1 - 13, y1 - 13), 25))
    c.paint(inner, WHITE, 0.8)
    if title:
        c.text(((x0 + x1) / 2, y0 + title_y), title, title_size, fill=WHITE, gradient_to=SUN_LIGHT,
               outline_w=title_size * 0.11)


def screen(title=None, box=(340, 40, 940, 680), dim=130, title_size=64, title_y=58):
    c = Canvas(SCREEN_W, SCREEN_H, ss=2)
    if dim:
        dim_screen(c, dim)
    panel(c, box, title, title_size, title_y=title_y)
    return c


def body_text(c, xy, text, size=30, colour=INK, anchor="mm", path=FONT_BOLD, align="center"):
    m = c.text_mask(xy, text, size, path, anchor, 0.3, align)
    c.paint(m, colour)


def save_full(rel, c, section, purpose):
    save_image(rel, c.result(), section, purpose + " Composed for the whole 1280x720 screen: "
               "a static sprite at (0, 0), scale 26.667 x 15.", cells="one picture", scale_hint=FULL)


def star_shape(c, cx, cy, r, light=SUN_LIGHT, dark=ORANGE, outline_w=3):
    m = c.polygon(star_points(cx, cy, r, r * 0.48))
    c.body(m, light, dark, outline_w=outline_w)


# --- logos and intro --------------------------------------------------------

def make_logos():
    sec = "Logos and intro"
    for name, colour, what in (("white_screen", WHITE, "white"), ("black_screen", (0, 0, 0), "black")):
        img = Image.new("RGBA", (64, 64), colour + (255,))
        save_image("images/Logos/%s.png" % name, img, sec,
                   "Solid %s square, stretched over the whole screen (static sprite at (0, 0), "
                   "scale 26.667 x 15)." % what, cells="one colour", scale_hint=FULL)

    # studio logo: a round badge with a wing, and the name
    c = Canvas(800, 400)
    badge = c.ellipse((40, 80, 280, 320))
    c.shadow(badge, (0, 6), 6, 70)
    c.body(badge, (150, 215, 255), SKY_DEEP, outline_w=5)
    # three feathers fanned out like a wing
    for k, (ang, length) in enumerate(((-62, 150), (-40, 135), (-18, 112))):
        pts = [(110 + length * t, 250 + 26 * math.sin(math.pi * t) * (1 - 0.4 * t))
               for t in [i / 16 for i in range(17)]]
        pts += [(110 + length * t, 250 - 26 * math.sin(math.pi * t) * (1 - 0.4 * t))
                for t in [i / 16 for i in range(16, -1, -1)]]
        f = c.polygon(rotate_points(pts, (110, 250), ang))
        c.paint(dilate(f, 3 * c.ss), INK)
        c.paint(f, c.gradient(WHITE, mix(CREAM, SKY_PALE, k / 2), (90, 100, 260, 260)))
    c.text((550, 185), "Pellmar", 112, fill=INK, outline_w=0, shadow=False)
    body_text(c, (550, 280), "S T U D I O", 38, SKY_DEEP)
    save_image("images/Logos/logo_pellmar.png", c.result(), sec,
               "The studio logo \"Pellmar\", dark on transparency, shown over the white screen.")

    # the libraries the game is built on
    c = Canvas(1000, 460)
    c.text((500, 50), "Built with", 48, fill=INK, outline_w=0, shadow=False)
    libs = [("SDL2", SKY_DEEP, "window and input"), ("SDL2_mixer", VIOLET, "sound and music"),
            ("OpenGL", CORAL_DARK, "graphics"), ("Lua", INK_SOFT, "scripting"),
            ("libpng", MINT_DARK, "images"), ("RapidJSON", ORANGE, "data files")]
    for i, (name, col, role) in enumerate(libs):
        cx = 180 + (i % 3) * 320
        cy = 160 + (i // 3) * 170
        box = (cx - 145, cy - 60, cx + 145, cy + 60)
        m = c.rrect(box, 28)
        c.shadow(m, (0, 5), 5, 60)
        c.paint(dilate(m, 3.5 * c.ss), INK)
        # deep enough behind the white names for a contrast of 4.5:1 and more
        c.paint(m, c.gradient(mix(col, INK, 0.5), mix(col, INK, 0.65), box))
        c.text((cx, cy - 12), name, 42 if len(name) < 8 else 36, fill=WHITE, outline_w=4, shadow=False)
        body_text(c, (cx, cy + 32), role, 22, WHITE)
    save_image("images/Logos/logo_libraries.png", c.result(), sec,
               "\"Built with\" logo crediting the libraries under the game's sound and graphics: "
               "SDL2, SDL2_mixer, OpenGL, Lua, libpng, RapidJSON (second logo of the sequence, "
               "shown over the white screen).")

    # team logo: a raven's head in profile, round crown and a sharp beak
    c = Canvas(1000, 300)
    beak = c.polygon([(190, 112), (262, 126), (318, 156), (258, 168), (190, 200)])
    head = c.ellipse((40, 66, 214, 240))
    c.shadow(union(head, beak), (0, 6), 6, 70)
    c.body(beak, (150, 150, 175), INK_SOFT, outline_w=5, highlight=False)
    c.body(head, (150, 120, 240), VIOLET_DARK, outline_w=5)
    c.paint(c.line_mask([(208, 157), (292, 157)], 3), INK)
    c.paint(c.ellipse((146, 110, 180, 144)), WHITE)
    c.paint(c.ellipse((157, 117, 177, 139)), INK)
    c.text((630, 135), "CorvaneT", 104, fill=VIOLET_DARK, outline=INK, outline_w=0, shadow=False)
    body_text(c, (630, 228), "T E A M", 36, INK_SOFT)
    save_image("images/Logos/logo_corvanet.png", c.result(), sec,
               "The team logo \"CorvaneT\" (third logo; it slides down from above into the centre).")

    c = Canvas(1200, 320)
    c.text((600, 120), "Welcome to Velmaris", 92, fill=WHITE, gradient_to=SUN_LIGHT, outline_w=8)
    c.text((600, 235), "Collect the stars and find the portal!", 44, fill=CREAM, outline_w=5)
    save_image("images/Logos/welcome_0.png", c.result(), sec,
               "First welcome text, light on transparency; faded in over the black screen before Level 1.")
    c = Canvas(1200, 220)
    c.text((600, 110), "Have a good flight!", 84, fill=WHITE, gradient_to=SUN_LIGHT, outline_w=8)
    save_image("images/Logos/welcome_1.png", c.result(), sec,
               "Second welcome text, light on transparency.")


# --- level timer ------------------------------------------------------------

def make_timer():
    sec = "HUD"
    cells = []
    for k in range(12):
        c = Canvas(56, 80)
        label = str(k) if k < 10 else (":" if k == 10 else "")
        if label:
            c.text((28, 42), label, 62, fill=WHITE, gradient_to=SUN_LIGHT, outline_w=5.5, shadow=True)
        cells.append(c.result())
    save_image("images/UI/timer_digits.png", sheet(cells, 12), sec,
               "Level timer digits: white-to-yellow, ink outline, transparent.",
               rows=1, columns=12, cells="0-9: digits 0-9, 10: colon, 11: empty")
    c = Canvas(260, 80)
    m = c.rrect((6, 6, 254, 70), 30)
    c.shadow(m, (0, 3), 3, 70)
    c.body(m, (255, 150, 140), CORAL_DARK, outline_w=3.5)
    c.text((130, 39), "MAX TIME", 36, fill=WHITE, outline_w=3.5, shadow=False)
    save_image("images/UI/timer_max.png", c.result(), sec,
               "The timer's limit marker, shown instead of the digits once 100 minutes are reached.")
    c = Canvas(320, 104)
    m = c.rrect((6, 6, 314, 96), 40)
    c.paint(dilate(m, 3 * c.ss), INK + (200,))
    c.paint(m, INK_SOFT + (150,))
    save_image("images/UI/timer_plate.png", c.result(), sec,
               "Optional translucent plate behind the five timer cells (56 px wide each, scale 1.167 x 1.667).")


# --- victory ----------------------------------------------------------------

def make_victory():
    sec = "Victory screen"
    c = screen("Level complete!", box=(290, 50, 990, 670), dim=110, title_size=58)
    save_full("images/Victory/victory_background.png", c, sec,
              "Victory screen: dimmed level, a panel titled \"Level complete!\".")

    cells = []
    for rating in range(3):
        c = Canvas(480, 170)
        for k in range(3):
            cx = 120 + k * 120
            cy = 92 if k != 1 else 78
            r = 52 if k != 1 else 62
            if k <= rating:
                star_shape(c, cx, cy, r, outline_w=4)
            else:
                m = c.polygon(star_points(cx, cy, r, r * 0.48))
                c.body(m, (215, 220, 235), (150, 160, 185), outline_w=4, highlight=False)
        cells.append(c.result())
    save_image("images/Victory/rating.png", sheet(cells, 3), sec,
               "The rating picture: gold stars for the finished level plus each optional objective.",
               rows=1, columns=3,
               cells="0: no optional objective (1 gold star), 1: one (2 stars), 2: both (3 stars)")

    for key, label in (("level", "Level finished"), ("stars", "Star goal"), ("time", "Time goal")):
        cells = []
        for missed in (False, True):
            c = Canvas(520, 72)
            icon = c.ellipse((8, 8, 64, 64))
            if missed:
                c.body(icon, (225, 228, 238), GREY, outline_w=3, highlight=False)
                c.paint(c.line_mask([(24, 24), (48, 48)], 6), INK_SOFT)
                c.paint(c.line_mask([(48, 24), (24, 48)], 6), INK_SOFT)
                body_text(c, (84, 37), label, 36, GREY, anchor="lm")
            else:
                c.body(icon, (140, 240, 200), MINT_DARK, outline_w=3)
                c.paint(c.line_mask([(21, 37), (32, 48), (52, 24)], 6.5), WHITE)
                body_text(c, (84, 37), label, 36, INK, anchor="lm")
            cells.append(c.result())
        save_image("images/Victory/objective_%s.png" % key, sheet(cells, 1), sec,
                   "Objective mark \"%s\" with a green tick or a grey cross." % label,
                   rows=2, columns=1, cells="0: achieved (tick), 1: missed (cross, greyed)")
    save_image("images/Victory/button_next.png", button("Next", style="mint"), sec,
               "Victory button \"Next\" (goes on to the next level).")
    save_image("images/Victory/button_restart.png", button("Restart", style="sky"), sec,
               "Victory button \"Restart\" (plays a custom level again from its start).")

# --- end screen ---------------------------------------------------------------

# Where the end screen's rows stand, px from the top: one a level, then the total.
END_ROWS_Y = (225, 315, 405)
END_TOTAL_Y = 500


def make_end():
    sec = "End screen"
    c = screen("Journey complete!", box=(290, 40, 990, 680), dim=120, title_size=58)
    body_text(c, (620, 165), "Rating", 28, INK_SOFT)
    body_text(c, (850, 165), "Time", 28, INK_SOFT)
    for n, y in enumerate(END_ROWS_Y, start=1):
        body_text(c, (350, y), "Level %d" % n, 40, INK, anchor="lm")
    c.paint(c.line_mask([(350, 455), (930, 455)], 3), INK_SOFT, 0.6)
    body_text(c, (350, END_TOTAL_Y), "Total", 44, INK, anchor="lm")
    save_full("images/End/end_background.png", c, sec,
              "End screen: dimmed win picture, a panel titled \"Journey complete!\" with the rows "
              "Level 1 to 3 (rating picture at x 620 px, time at x 850 px; rows at y %s px) and "
              "Total (y %d px); the times are written by the game." % (", ".join(map(str, END_ROWS_Y)),
                                                                      END_TOTAL_Y))
    save_image("images/End/button_playagain.png", button("Play again", style="mint"), sec,
               "End screen button \"Play again\" (back to Level 1, a new run).")
    save_image("images/End/button_quit.png", button("Quit", style="coral"), sec,
               "End screen button \"Quit\" (asks whether to quit).")


# --- pause menu and its pages ----------------------------------------------------

def make_pause():
    sec = "Pause menu"
    # the title keeps to the top 90 px so that six 320 x 80 buttons fit below it,
    # centred at y 144 to 624 px in steps of 96 px
    c = screen("Paused", box=(420, 16, 860, 704), title_size=56, title_y=50)
    save_full("images/PauseMenus/pause_background.png", c, sec,
              "Pause menu: dimmed level, a panel titled \"Paused\" for six buttons.")
    for key, label, style in (("resume", "Resume", "mint"), ("options", "Options", "yellow"),
                              ("credits", "Credits", "yellow"), ("howtoplay", "How to play", "yellow"),
                              ("custom", "Custom levels", "yellow"), ("exit", "Exit", "coral")):
        save_image("images/PauseMenus/button_%s.png" % key, button(label, style=style), sec,
                   "Pause menu button \"%s\"." % label)
    save_image("images/PauseMenus/button_back.png", button("Back", w=240, style="sky"), sec,
               "\"Back\" button of the options, credits, how-to-play and custom levels pages.")

    sec = "Options page"
    c = screen("Options", box=(290, 40, 990, 680))
    save_full("images/PauseMenus/Options/options_background.png", c, sec,
              "Options page: dimmed level, a panel titled \"Options\".")
    for key, label in (("music", "Music"), ("sfx", "Sound effects"), ("screen", "Full screen")):
        c = Canvas(360, 80)
        body_text(c, (8, 42), label, 40, INK, anchor="lm")
        save_image("images/PauseMenus/Options/label_%s.png" % key, c.result(), sec,
                   "Options label \"%s\", dark text, left-aligned, transparent." % label)
    cells = []
    for on in (True, False):
        c = Canvas(200, 88)
        box = (8, 8, 192, 76)
        m = c.rrect(box, 34)
        c.shadow(m, (0, 3), 3, 60)
        if on:
            c.body(m, (170, 248, 215), mix(MINT, WHITE, 0.2), outline_w=3.5, highlight=False)
            body_text(c, (62, 43), "ON", 30, INK)  # dark on the light green: readable
            knob = c.ellipse((124, 14, 184, 70))
        else:
            c.body(m, (220, 224, 236), GREY, outline_w=3.5, highlight=False)
            body_text(c, (136, 43), "OFF", 30, INK)
            knob = c.ellipse((16, 14, 76, 70))
        c.body(knob, WHITE, (205, 212, 230), outline_w=3)
        cells.append(c.result())
    save_image("images/PauseMenus/Options/switch.png", sheet(cells, 2), sec,
               "On/off switch, used for all three options (music, sound effects, full screen).",
               rows=1, columns=2, cells="0: on (green, knob right), 1: off (grey, knob left)")

    sec = "Exit questions"
    for key, question, note in (("pause", "Exit the game?", "Your flight ends here."),
                                ("window", "Quit Velmaris?", "The window will close.")):
        c = screen(None, box=(340, 190, 940, 530), dim=150)
        c.text((640, 290), question, 64, fill=WHITE, gradient_to=SUN_LIGHT, outline_w=7)
        body_text(c, (640, 370), note, 30, INK_SOFT)
        save_full("images/PauseMenus/Exit/exit_question_%s.png" % key, c, sec,
                  "Exit question (%s): \"%s\" on a panel, room for Yes and No below the text."
                  % ("from the pause menu" if key == "pause" else "when the window is closed", question))
    save_image("images/PauseMenus/Exit/button_yes.png", button("Yes", w=220, style="coral"), sec,
               "Exit question button \"Yes\" (quits).")
    save_image("images/PauseMenus/Exit/button_no.png", button("No", w=220, style="mint"), sec,
               "Exit question button \"No\".")

    sec = "Credits"
    for key, pts in (("left", [(60, 22), (30, 48), (60, 74)]), ("right", [(36, 22), (66, 48), (36, 74)])):
        c = Canvas(96, 96)
        m = c.ellipse((6, 4, 90, 88))
        c.shadow(m, (0, 4), 3, 70)
        c.body(m, (255, 232, 120), ORANGE, outline_w=3.5)
        c.paint(c.line_mask(pts, 11), INK)
        save_image("images/PauseMenus/Credits/arrow_%s.png" % key, c.result(), sec,
                   "Credits page arrow %s (round yellow button)." % key)


# --- how to play -------------------------------------------------------------

def key_cap(c, cx, cy, label, w=64):
    box = (cx - w / 2, cy - 30, cx + w / 2, cy + 30)
    m = c.rrect(box, 12)
    c.shadow(m, (0, 4), 2, 70)
    c.body(m, WHITE, (200, 208, 228), outline_w=3, highlight=False)
    body_text(c, (cx, cy), label, 26 if len(label) > 1 else 32, INK)


def mouse_icon(c, cx, cy, left_pressed=False):
    body = c.rrect((cx - 24, cy - 34, cx + 24, cy + 34), 24)
    c.shadow(body, (0, 4), 2, 70)
    c.body(body, WHITE, (200, 208, 228), outline_w=3, highlight=False)
    if left_pressed:
        left = multiply(c.polygon([(cx - 30, cy - 40), (cx, cy - 40), (cx, cy - 4), (cx - 30, cy - 4)]), body)
        c.paint(left, CORAL)
    c.paint(c.line_mask([(cx, cy - 34), (cx, cy - 4)], 2.5), INK)
    c.paint(c.line_mask([(cx - 24, cy - 4), (cx + 24, cy - 4)], 2.5), INK)


def clock_icon(c, cx, cy):
    m = c.ellipse((cx - 30, cy - 30, cx + 30, cy + 30))
    c.body(m, WHITE, (200, 208, 228), outline_w=3, highlight=False)
    c.paint(c.line_mask([(cx, cy), (cx, cy - 20)], 4.5), INK)
    c.paint(c.line_mask([(cx, cy), (cx + 14, cy + 6)], 4.5), INK)


def make_howtoplay():
    c = screen("How to play", box=(150, 30, 1130, 610))
    rows = [
        ("mouse", "Steer with the mouse: you face the pointer"),
        ("mouse_left", "Hold the left button to fly towards it"),
        ("P", "P: hold still, press P again to fly on"),
        ("Esc", "Escape: pause menu, options and credits"),
        ("star", "Star goal: collect 25 stars in a level"),
        ("clock", "Time goal: reach the portal within 2:00"),
    ]
    y = 168
    for icon, text in rows:
        ix = 250
        if icon == "mouse":
            mouse_icon(c, ix, y)
        elif icon == "mouse_left":
            mouse_icon(c, ix, y, True)
        elif icon == "star":
            star_shape(c, ix, y, 32)
        elif icon == "clock":
            clock_icon(c, ix, y)
        else:
            key_cap(c, ix, y, icon, 64 if len(icon) == 1 else 84)
        body_text(c, (318, y), text, 30, INK, anchor="lm")
        y += 74
    save_full("images/PauseMenus/HowToPlay/howtoplay_page.png", c, "How to play",
              "How-to-play page: steering, flying, P, Escape, the star and time goals; room for "
              "the Back button below the panel.")


# --- counter pictures and the menu-test sheet --------------------------------------

def make_counters():
    for n in range(1, 7):
        c = Canvas(128, 128, background=SKY_PALE)
        tile = c.rrect((0, 0, 128, 128), 0)
        c.paint(tile, c.gradient(SKY_PALE, SKY, (0, 0, 128, 128)))
        m = c.rrect((10, 10, 118, 118), 28)
        c.shadow(m, (0, 4), 3, 70)
        c.body(m, (255, 232, 120), ORANGE, outline_w=4)
        c.text((64, 66), str(n), 78, fill=WHITE, outline_w=7, shadow=False)
        save_image("images/Counter_%d.bmp" % n, c.result(), "UI counter",
                   "The UI counter showing the amount %d (24-bit BMP, no transparency: a yellow "
                   "badge on a sky-blue tile)." % n, cells="one picture")


def make_flex():
    c = Canvas(128, 128)
    m = c.rrect((8, 8, 120, 120), 30)
    c.shadow(m, (0, 4), 3, 70)
    c.body(m, (170, 225, 255), SKY_DEEP, outline_w=4)
    star_shape(c, 64, 66, 38, outline_w=3)
    save_image("Flex.png", c.result(), "Menu test",
               "The menu-test state's picture, shared by its three buttons and its cursor "
               "(the cursor draws it at half size): a blue rounded tile with a star.")


def generate():
    make_logos()
    make_timer()
    make_victory()
    make_end()
    make_pause()
    make_howtoplay()
    make_counters()
    make_flex()
