"""Gameplay pictures: the player, stars, hazards, walls, the level exit,
level backgrounds, the star counter's number sheet and the title cards."""

import math
import random

import numpy as np
from PIL import Image, ImageFilter

from canvas import (Canvas, INK, INK_SOFT, WHITE, CREAM, SKY_PALE, SKY, SKY_DEEP, SUN,
                    SUN_LIGHT, ORANGE, CORAL, CORAL_DARK, MINT, MINT_DARK, VIOLET,
                    VIOLET_DARK, GREY, mix, sheet, star_points, rotate_points, union,
                    multiply, subtract, dilate, shift)
from catalog import save_image

CELL = 128
SEC = "Play"


# --- player ---------------------------------------------------------------

def player_frame(flap):
    """The flyer seen from above, head towards the top of the cell.

    flap in [0, 1]: 0 wings fully spread, 1 wings folded forward (the
    foreshortened top of a beat)."""
    c = Canvas(CELL, CELL)
    cx, cy = 64, 70
    span = 56 - 24 * flap          # wing tip distance from the centre
    lift = -10 * flap              # tips move forward as they beat
    wings = []
    for side in (-1, 1):
        tip = (cx + side * span, cy - 6 + lift)
        pts = [(cx + side * 10, cy - 14), (cx + side * (span * 0.55), cy - 22 + lift * 0.6),
               tip, (cx + side * (span * 0.8), cy + 2 + lift * 0.5),
               (cx + side * (span * 0.5), cy + 12), (cx + side * 10, cy + 14)]
        wings.append(c.polygon(pts))
    wm = union(*wings)
    c.shadow(wm, (0, 3), 3, 60)
    c.body(wm, SUN_LIGHT, ORANGE, outline_w=2.5, highlight=False)
    # feather lines on the wings
    for side in (-1, 1):
        for k in (0.45, 0.7):
            m = c.line_mask([(cx + side * 14, cy + 2), (cx + side * span * k, cy - 8 + lift * k)], 1.6)
            c.paint(multiply(m, wm), ORANGE, 0.9)
    # tail
    tail = c.polygon([(cx - 12, cy + 18), (cx, cy + 44), (cx + 12, cy + 18)])
    c.body(tail, MINT, MINT_DARK, outline_w=2.5, highlight=False)
    # body and head
    bodym = c.ellipse((cx - 22, cy - 30, cx + 22, cy + 28))
    c.shadow(bodym, (0, 3), 3, 60)
    c.body(bodym, (140, 240, 200), MINT_DARK, outline_w=2.8)
    # beak points up: this sprite faces the top of the picture
    beak = c.polygon([(cx - 7, cy - 27), (cx, cy - 42), (cx + 7, cy - 27)])
    c.body(beak, SUN, ORANGE, outline_w=2.2, highlight=False, shade=False)
    for side in (-1, 1):
        ex, ey = cx + side * 10, cy - 16
        eye = c.ellipse((ex - 7, ey - 8, ex + 7, ey + 7))
        c.paint(dilate(eye, 1.6 * c.ss), INK)
        c.paint(eye, WHITE)
        c.paint(c.ellipse((ex - 3.5, ey - 7, ex + 3.5, ey + 1)), INK)
        c.paint(c.ellipse((ex - 2, ey - 6, ex + 0.5, ey - 3.5)), WHITE)
    # cheeks
    for side in (-1, 1):
        c.paint(c.ellipse((cx + side * 15 - 4, cy - 6, cx + side * 15 + 4, cy - 1)), CORAL, 0.55)
    return c.result()


def make_player():
    flaps = [0.0, 0.45, 1.0, 0.45]
    img = sheet([player_frame(f) for f in flaps], 4)
    save_image("images/Play/player.png", img, SEC,
               "The player. Faces up (0 degrees = up), so the controller's rotation "
               "towards the pointer turns the beak towards it. Animate frames 0-3 in a loop.",
               rows=1, columns=4, cells="0: wings spread, 1: half beat, 2: wings forward, 3: half beat")


# --- stars ----------------------------------------------------------------

def star_frame(i, n):
    c = Canvas(CELL, CELL)
    t = i / n
    wobble = 7 * math.sin(2 * math.pi * t)
    scale = 1.0 + 0.06 * math.sin(2 * math.pi * t * 2)
    cx, cy = 64, 64
    glow = c.radial((cx, cy), 60, SUN_LIGHT + (150,), SUN_LIGHT + (0,))
    c.paint(c.ellipse((4, 4, 124, 124)), glow)
    pts = rotate_points(star_points(cx, cy, 44 * scale, 21 * scale), (cx, cy), wobble)
    m = c.polygon(pts)
    c.shadow(m, (0, 3), 3, 60)
    c.body(m, SUN_LIGHT, ORANGE, outline_w=3)
    # little face
    for side in (-1, 1):
        ex, ey = cx + side * 7, cy - 1
        c.paint(c.ellipse((ex - 2.6, ey - 4.2, ex + 2.6, ey + 4.2)), INK)
    c.paint(c.line_mask([(cx - 5, cy + 8), (cx, cy + 10.5), (cx + 5, cy + 8)], 2.0), INK)
    # glints that travel around the star
    for k in range(2):
        a = 2 * math.pi * (t + k * 0.5)
        gx, gy = cx + 50 * math.cos(a), cy + 50 * math.sin(a)
        size = 5 + 3 * math.sin(2 * math.pi * (t * 2 + k * 0.25))
        g = c.polygon(star_points(gx, gy, size, size * 0.3, 4, 0))
        c.paint(g, WHITE)
    return c.result()


def make_stars():
    n = 8
    img = sheet([star_frame(i, n) for i in range(n)], 4)
    save_image("images/Play/star.png", img, SEC,
               "A collectable star. Animate frames 0-7 in a loop (gentle wobble, travelling glints).",
               rows=2, columns=4, cells="0-7: animation frames")


# --- hazards ----------------------------------------------------------------

def bird_frame(phase):
    """An angry bird in side view, beak to the left; phase 0..1 of a wing beat."""
    c = Canvas(CELL, CELL)
    bob = 3 * math.sin(2 * math.pi * phase)
    cx, cy = 66, 68 + bob
    wing_a = 55 * math.cos(2 * math.pi * phase)  # degrees above the horizontal
    # far wing (behind the body)
    def wing(side_dx, shade):
        pts = [(cx + side_dx, cy - 4), (cx + side_dx + 40, cy - 10), (cx + side_dx + 34, cy + 2),
               (cx + side_dx + 22, cy + 8), (cx + side_dx, cy + 6)]
        pts = rotate_points(pts, (cx + side_dx, cy), -wing_a)
        m = c.polygon(pts)
        c.body(m, mix(CORAL, INK, shade), mix(CORAL_DARK, INK, shade), outline_w=2.5, highlight=False)
    wing(2, 0.25)
    tail = c.polygon([(cx + 26, cy + 2), (cx + 52, cy - 10), (cx + 50, cy + 4), (cx + 54, cy + 14), (cx + 26, cy + 14)])
    c.body(tail, CORAL_DARK, mix(CORAL_DARK, INK, 0.3), outline_w=2.5, highlight=False)
    bodym = c.ellipse((cx - 34, cy - 30, cx + 32, cy + 30))
    c.shadow(bodym, (0, 3), 3, 60)
    c.body(bodym, (255, 140, 130), CORAL_DARK, outline_w=3)
    belly = c.ellipse((cx - 22, cy + 2, cx + 14, cy + 27))
    c.paint(multiply(belly, bodym), CREAM, 0.85)
    beak = c.polygon([(cx - 30, cy - 8), (cx - 52, cy + 1), (cx - 30, cy + 9)])
    c.body(beak, SUN, ORANGE, outline_w=2.5, highlight=False, shade=False)
    ex, ey = cx - 14, cy - 12
    eye = c.ellipse((ex - 9, ey - 9, ex + 9, ey + 9))
    c.paint(dilate(eye, 1.6 * c.ss), INK)
    c.paint(eye, WHITE)
    c.paint(c.ellipse((ex - 7, ey - 3, ex + 1, ey + 5)), INK)
    # angry brow
    c.paint(c.line_mask([(ex - 12, ey - 16), (ex + 10, ey - 8)], 4.5), INK)
    wing(-4, 0.0)
    return c.result()


def make_bird():
    img = sheet([bird_frame(i / 4) for i in range(4)], 4)
    save_image("images/Play/hazard_bird.png", img, SEC,
               "Hazard: an angry bird (side view, beak left). Touching it knocks the player back "
               "(the smack sound). Animate frames 0-3 in a loop.",
               rows=1, columns=4, cells="0-3: wing beat")


def mine_frame(i):
    c = Canvas(CELL, CELL)
    cx, cy = 64, 64
    rot = i * 360 / 8 / 4
    spikes = []
    for k in range(8):
        a = math.radians(rot + k * 45)
        tip = (cx + 56 * math.cos(a), cy + 56 * math.sin(a))
        l = (cx + 30 * math.cos(a - 0.28), cy + 30 * math.sin(a - 0.28))
        r = (cx + 30 * math.cos(a + 0.28), cy + 30 * math.sin(a + 0.28))
        spikes.append(c.polygon([l, tip, r]))
    sm = union(*spikes)
    c.shadow(sm, (0, 3), 3, 60)
    c.body(sm, (200, 200, 220), GREY, outline_w=2.5, highlight=False)
    ball = c.ellipse((cx - 36, cy - 36, cx + 36, cy + 36))
    c.body(ball, (140, 110, 220), VIOLET_DARK, outline_w=3)
    pulse = [1.0, 0.55, 0.2, 0.55][i]
    glow = c.radial((cx, cy + 2), 22, CORAL + (int(220 * pulse),), CORAL + (0,))
    c.paint(c.ellipse((cx - 22, cy - 20, cx + 22, cy + 24)), glow)
    light = c.ellipse((cx - 9, cy - 7, cx + 9, cy + 11))
    c.body(light, mix(CORAL_DARK, (255, 230, 200), pulse), CORAL_DARK, outline_w=2, highlight=True, shade=False)
    return c.result()


def make_mine():
    img = sheet([mine_frame(i) for i in range(4)], 4)
    save_image("images/Play/hazard_mine.png", img, SEC,
               "Hazard: a floating spiky mine with a blinking light. Animate frames 0-3 in a loop.",
               rows=1, columns=4, cells="0-3: light pulse, spikes turn slowly")


# --- walls -----------------------------------------------------------------

WALL_LIGHT = (236, 228, 255)
WALL_MID = (170, 160, 230)
WALL_DARK = (104, 94, 182)


def bar(w, h, vertical):
    """A plain rounded bar, shaded across its short side only, so that it
    still looks right when stretched along its long side."""
    c = Canvas(w, h)
    r = min(w, h) * 0.42
    pad = 3
    m = c.rrect((pad, pad, w - pad, h - pad), r)
    angle = 0 if vertical else 90
    c.paint(dilate(m, 2.2 * c.ss), INK)
    box = (pad, pad, w - pad, h - pad)
    c.paint(m, c.gradient(WALL_LIGHT, WALL_DARK, box, angle))
    # a soft highlight band near the lit edge
    if vertical:
        band = c.rrect((w * 0.22, h * 0.1 + pad, w * 0.42, h * 0.9 - pad), w * 0.1)
    else:
        band = c.rrect((w * 0.06 + pad, h * 0.2, w * 0.94 - pad, h * 0.38), h * 0.09)
    c.paint(band.filter(ImageFilter.GaussianBlur(min(w, h) * 0.03 * c.ss)), WHITE, 0.55)
    return c.result()


def make_walls():
    save_image("images/Play/platform.png", bar(512, 64, False), SEC,
               "A horizontal platform or wall: a rounded bar shaded top to bottom. Stretch it "
               "freely along x (scale x = half the length in world units); keep y near 0.5-1.5.",
               cells="one bar, 8:1")
    save_image("images/Play/wall_vertical.png", bar(64, 512, True), SEC,
               "A vertical wall: the same bar turned upright, shaded left to right. Stretch it "
               "freely along y.", cells="one bar, 1:8")
    c = Canvas(128, 128)
    m = c.rrect((4, 4, 124, 124), 26)
    c.paint(dilate(m, 2.2 * c.ss), INK)
    c.paint(m, c.gradient(WALL_LIGHT, WALL_DARK, (4, 4, 124, 124), 60))
    band = c.rrect((18, 14, 92, 32), 9)
    c.paint(band.filter(ImageFilter.GaussianBlur(4 * c.ss)), WHITE, 0.55)
    save_image("images/Play/block.png", c.result(), SEC,
               "A square block for short walls and pillars (best at near-equal x and y scale).")


# --- level exit ----------------------------------------------------------------

def portal_frame(i, n):
    c = Canvas(CELL, CELL)
    cx, cy = 64, 64
    t = i / n
    glow = c.radial((cx, cy), 62, (190, 170, 255, 200), (190, 170, 255, 0))
    c.paint(c.ellipse((0, 0, 128, 128)), glow)
    ring = subtract(c.ellipse((12, 12, 116, 116)), c.ellipse((28, 28, 100, 100)))
    c.paint(dilate(ring, 2.5 * c.ss), INK)
    c.paint(ring, c.gradient((150, 230, 255), VIOLET, (12, 12, 116, 116), 45 + 360 * t))
    inner = c.ellipse((28, 28, 100, 100))
    c.paint(inner, c.radial((cx, cy), 36, (255, 255, 255, 255), (150, 120, 240, 255)))
    # swirl arms turning with the frames
    for k in range(3):
        pts = []
        for s in range(24):
            u = s / 23
            a = 2 * math.pi * (t + k / 3) + u * 3.2
            r = 34 * (1 - u) + 4
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        c.paint(multiply(c.line_mask(pts, 5.5 - 3.5 * 0), inner), VIOLET, 0.55)
    for k in range(6):
        a = 2 * math.pi * (k / 6 - t / 2)
        sx, sy = cx + 58 * math.cos(a), cy + 58 * math.sin(a)
        c.paint(c.polygon(star_points(sx, sy, 5, 1.6, 4, 0)), WHITE)
    return c.result()


def make_portal():
    n = 4
    img = sheet([portal_frame(i, n) for i in range(n)], 4)
    save_image("images/Play/exit_portal.png", img, SEC,
               "The level exit the player touches to end a level (the object with the "
               "nextLevelTrigger handler). Animate frames 0-3 in a loop.",
               rows=1, columns=4, cells="0-3: swirl turning")


# --- backgrounds ------------------------------------------------------------

BG_W, BG_H = 1280, 720


def cloud(c, cx, cy, w, top, bottom, alpha=1.0, rng=None):
    """A puffy cloud: a few overlapping circles on a flat base, soft shading."""
    rng = rng or random.Random(0)
    h = w * 0.38
    parts = [c.rrect((cx - w / 2, cy - h * 0.35, cx + w / 2, cy + h * 0.35), h * 0.35)]
    n = 4
    for k in range(n):
        px = cx - w * 0.32 + k * w * 0.64 / (n - 1) + rng.uniform(-w * 0.04, w * 0.04)
        r = h * (0.45 + 0.3 * math.sin(math.pi * (k + 0.5) / n)) * rng.uniform(0.85, 1.1)
        parts.append(c.ellipse((px - r, cy - r * 1.2, px + r, cy + r * 0.6)))
    m = union(*parts).filter(ImageFilter.GaussianBlur(1.0 * c.ss))
    c.paint(m, c.gradient(top, bottom, (cx - w / 2, cy - h, cx + w / 2, cy + h * 0.4)), alpha)


def hills(c, base_y, amp, colour, seed, alpha=1.0):
    rng = random.Random(seed)
    phases = [rng.uniform(0, 6.28) for _ in range(3)]
    pts = [(0, BG_H)]
    for x in range(0, BG_W + 16, 16):
        y = base_y + amp * (0.6 * math.sin(x / 210 + phases[0]) + 0.3 * math.sin(x / 97 + phases[1])
                            + 0.1 * math.sin(x / 41 + phases[2]))
        pts.append((x, y))
    pts.append((BG_W, BG_H))
    c.paint(c.polygon(pts), colour, alpha)


def sky_dots(c, n, seed, colour, rmax):
    rng = random.Random(seed)
    for _ in range(n):
        x, y, r = rng.uniform(0, BG_W), rng.uniform(0, BG_H * 0.7), rng.uniform(0.8, rmax)
        c.paint(c.ellipse((x - r, y - r, x + r, y + r)), colour, rng.uniform(0.4, 1.0))


def background(level):
    c = Canvas(BG_W, BG_H, ss=2)
    rng = random.Random(100 + level)
    if level == 1:   # bright morning
        c.paint(c.blank().point(lambda v: 255), c.vgradient(SKY_DEEP, SKY_PALE))
        sun = c.radial((1080, 130), 230, (255, 250, 210, 255), (255, 250, 210, 0))
        c.paint(c.ellipse((850, -100, 1310, 360)), sun)
        c.paint(c.ellipse((1030, 80, 1130, 180)), (255, 244, 190))
        for x, y, w in [(180, 150, 300), (560, 90, 220), (860, 250, 340), (330, 380, 260), (1100, 430, 280), (700, 480, 200)]:
            cloud(c, x, y, w, WHITE, (205, 228, 250), 0.95, rng)
        hills(c, 610, 40, (150, 215, 190), 1)
        hills(c, 665, 30, (96, 190, 150), 2)
    elif level == 2:  # warm sunset
        c.paint(c.blank().point(lambda v: 255), c.vgradient((96, 70, 170), (255, 170, 120)))
        sun = c.radial((640, 560), 380, (255, 236, 170, 255), (255, 200, 140, 0))
        c.paint(c.ellipse((200, 160, 1080, 960)), sun)
        c.paint(c.ellipse((560, 480, 720, 640)), (255, 226, 150))
        for x, y, w in [(200, 170, 320), (650, 110, 260), (1050, 200, 300), (420, 330, 240), (940, 380, 260)]:
            cloud(c, x, y, w, (255, 210, 200), (200, 120, 170), 0.92, rng)
        hills(c, 600, 45, (150, 90, 150), 3)
        hills(c, 660, 32, (100, 62, 124), 4)
    else:             # twilight heights
        c.paint(c.blank().point(lambda v: 255), c.vgradient((22, 26, 70), (110, 80, 170)))
        sky_dots(c, 140, 7, (255, 255, 230), 2.2)
        moon = c.radial((1030, 150), 150, (220, 220, 255, 150), (220, 220, 255, 0))
        c.paint(c.ellipse((880, 0, 1180, 300)), moon)
        c.paint(subtract(c.ellipse((985, 105, 1075, 195)), c.ellipse((1010, 92, 1100, 182))), (255, 246, 210))
        for x, y, w in [(230, 250, 300), (700, 180, 240), (520, 420, 300), (1080, 420, 260)]:
            cloud(c, x, y, w, (150, 140, 210), (80, 70, 150), 0.8, rng)
        hills(c, 620, 50, (70, 58, 130), 5)
        hills(c, 670, 30, (44, 38, 96), 6)
    return c.result()


def make_backgrounds():
    names = {1: "Morning sky: blue, sun, white clouds, green hills",
             2: "Sunset: violet to orange, low sun, pink clouds",
             3: "Twilight: deep blue with small stars, moon, lilac clouds"}
    for lv in (1, 2, 3):
        save_image("images/Play/background_level%d.png" % lv, background(lv), SEC,
                   "Level %d background (opaque), composed for the full 1280x720 screen. %s. "
                   "As a static sprite at (0, 0) use scale 26.667 x 15." % (lv, names[lv]),
                   cells="one picture", scale_hint=(26.667, 15))


# --- star counter -----------------------------------------------------------

def make_star_numbers():
    cells = []
    for n in range(42):
        c = Canvas(96, 96)
        c.text((48, 50), str(n), 56, fill=WHITE, gradient_to=SUN_LIGHT, outline_w=5)
        cells.append(c.result())
    save_image("images/UI/star_count_numbers.png", sheet(cells, 7), "HUD",
               "The star counter: cell n shows the number n (the counter's frame is the star count). "
               "White-to-yellow numbers with an ink outline on transparency.",
               rows=6, columns=7, cells="cell n = the number n, 0..41")
    c = Canvas(96, 96)
    m = c.polygon(star_points(48, 50, 40, 19))
    c.shadow(m, (0, 3), 3, 60)
    c.body(m, SUN_LIGHT, ORANGE, outline_w=3)
    save_image("images/UI/star_count_icon.png", c.result(), "HUD",
               "A star icon to place beside the star counter's number.")


# --- transition title cards and the win picture ------------------------------

def title_card(level, title):
    c = Canvas(BG_W, BG_H, ss=2)
    bg = background(level).resize(c.im.size, Image.BILINEAR)
    c.im.alpha_composite(bg)
    c.paint(c.blank().point(lambda v: 255), INK + (70,))
    c.text((640, 300), "Level %d" % level, 150, fill=WHITE, gradient_to=SUN_LIGHT, outline_w=12)
    c.text((640, 440), title, 60, fill=CREAM, outline_w=7)
    return c.result()


def make_cards():
    for lv, title in ((2, "Sunset Drift"), (3, "Twilight Heights")):
        save_image("images/Transitions/title_level%d.png" % lv, title_card(lv, title), "Transitions",
                   "Full-screen title card shown by the transition screen before Level %d "
                   "(opaque, 1280x720; scale 26.667 x 15 at (0, 0))." % lv,
                   cells="one picture", scale_hint=(26.667, 15))
    c = Canvas(BG_W, BG_H, ss=2)
    c.paint(c.blank().point(lambda v: 255), c.vgradient((120, 200, 255), (255, 236, 180)))
    rng = random.Random(42)
    for k in range(16):  # sun rays
        a0 = math.radians(k * 22.5)
        a1 = a0 + math.radians(9)
        pts = [(640, 330), (640 + 1500 * math.cos(a0), 330 + 1500 * math.sin(a0)),
               (640 + 1500 * math.cos(a1), 330 + 1500 * math.sin(a1))]
        c.paint(c.polygon(pts), WHITE, 0.22)
    for x, y, w in [(170, 560, 320), (1110, 580, 340), (640, 650, 420)]:
        cloud(c, x, y, w, WHITE, (210, 230, 250), 1.0, rng)
    for k in range(24):  # confetti
        x, y = rng.uniform(40, 1240), rng.uniform(30, 690)
        col = rng.choice([CORAL, MINT, SUN, VIOLET, SKY_DEEP])
        pts = rotate_points([(x - 7, y - 3), (x + 7, y - 3), (x + 7, y + 3), (x - 7, y + 3)], (x, y), rng.uniform(0, 180))
        c.paint(c.polygon(pts), col, 0.9)
    big = c.polygon(star_points(640, 250, 150, 70))
    c.shadow(big, (0, 8), 8, 70)
    c.body(big, SUN_LIGHT, ORANGE, outline_w=7)
    c.text((640, 470), "You made it!", 110, fill=WHITE, gradient_to=SUN_LIGHT, outline_w=10)
    save_image("images/Play/win_picture.png", c.result(), "Win level",
               "The win level's picture: sun rays, a big star and \"You made it!\" (opaque, "
               "1280x720; scale 26.667 x 15 at (0, 0)).", cells="one picture", scale_hint=(26.667, 15))


def generate():
    make_player()
    make_stars()
    make_bird()
    make_mine()
    make_walls()
    make_portal()
    make_backgrounds()
    make_star_numbers()
    make_cards()
