"""The desktop icon: the player character on a sky tile, as PNGs of every
hicolor size and as an SVG, written under packaging/icons/ (not data/: the
game never reads them, the desktop does).

    /usr/bin/python3 tools/assets/icons.py    # just the icons
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from PIL import Image  # noqa: E402

import canvas  # noqa: E402
import images_play  # noqa: E402
from canvas import INK, SKY, SKY_DEEP, SKY_PALE, SUN, SUN_LIGHT, ORANGE, MINT, MINT_DARK  # noqa: E402
from catalog import ROOT  # noqa: E402

APP_ID = "net.velmaris.Velmaris"
ICON_DIR = os.path.join(ROOT, "packaging", "icons", "hicolor")
SIZES = (16, 22, 24, 32, 48, 64, 128, 256, 512)

# The tile is laid out in units of a 128-pixel icon, like the player's cell.
UNIT = 128
TILE_INSET = 6
TILE_RADIUS = 26


class _SizedCanvas(canvas.Canvas):
    """A canvas in 128-unit coordinates whose result is size x size pixels,
    drawn at 4 x size, so large icons get full detail, not an upscaled cell."""

    def __init__(self, w, h, background=None, size=UNIT):
        super().__init__(w, h, background)
        self.ss = size * canvas.SS / UNIT  # drawing pixels per unit, may be fractional
        self.im = self.im.resize((size * canvas.SS, size * canvas.SS))
        self.size = size

    def result(self):
        return self.im.resize((self.size, self.size), Image.LANCZOS)


def _player(size):
    """The player's first frame (wings spread) as images_play draws it, at size
    pixels: player_frame makes its own canvas, so it is lent a sized one."""
    plain = images_play.Canvas
    images_play.Canvas = lambda w, h, background=None: _SizedCanvas(w, h, background, size)
    try:
        return images_play.player_frame(0.0)
    finally:
        images_play.Canvas = plain


def _tile(size):
    c = _SizedCanvas(UNIT, UNIT, size=size)
    box = (TILE_INSET, TILE_INSET, UNIT - TILE_INSET, UNIT - TILE_INSET)
    tile = c.rrect(box, TILE_RADIUS)
    c.body(tile, SKY_PALE, SKY, outline=SKY_DEEP, outline_w=3.0, highlight=False)
    # a sun behind the character's shoulder, as in the level backgrounds
    c.paint(c.ellipse((76, 14, 112, 50)), SUN_LIGHT, 0.9)
    return c.result()


def icon(size):
    """The icon at size x size pixels (RGBA)."""
    out = _tile(size)
    out.alpha_composite(_player(size))
    return out


def svg():
    """The same icon as vector shapes: the tile, the sun and the player with
    wings spread (the polygons and ellipses of player_frame at flap 0)."""
    cx, cy, span = 64, 70, 56
    wing = lambda s: [(cx + s * 10, cy - 14), (cx + s * span * 0.55, cy - 22), (cx + s * span, cy - 6),  # noqa: E731
                      (cx + s * span * 0.8, cy + 2), (cx + s * span * 0.5, cy + 12), (cx + s * 10, cy + 14)]

    def poly(points, fill, width):
        pts = " ".join("%g,%g" % p for p in points)
        return '<polygon points="%s" fill="%s" stroke="#%02x%02x%02x" stroke-width="%g" ' \
               'stroke-linejoin="round"/>' % (pts, fill, *INK, width)

    def ellipse(box, fill, stroke=None, width=0):
        x0, y0, x1, y1 = box
        edge = ' stroke="%s" stroke-width="%g"' % (stroke, width) if stroke else ""
        return '<ellipse cx="%g" cy="%g" rx="%g" ry="%g" fill="%s"%s/>' % (
            (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2, fill, edge)

    hexc = lambda c: "#%02x%02x%02x" % c[:3]  # noqa: E731
    ink = hexc(INK)
    parts = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">',
        '<defs>',
        '<linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (hexc(SKY_PALE), hexc(SKY)),
        '<linearGradient id="wing" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (hexc(SUN_LIGHT), hexc(ORANGE)),
        '<linearGradient id="body" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#8cf0c8"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % hexc(MINT_DARK),
        '</defs>',
        '<rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="url(#sky)" stroke="%s" stroke-width="3"/>'
        % (TILE_INSET, TILE_INSET, UNIT - 2 * TILE_INSET, UNIT - 2 * TILE_INSET, TILE_RADIUS, hexc(SKY_DEEP)),
        ellipse((76, 14, 112, 50), hexc(SUN_LIGHT)),
        poly(wing(-1), "url(#wing)", 2.5),
        poly(wing(1), "url(#wing)", 2.5),
        poly([(cx - 12, cy + 18), (cx, cy + 44), (cx + 12, cy + 18)], hexc(MINT), 2.5),
        ellipse((cx - 22, cy - 30, cx + 22, cy + 28), "url(#body)", ink, 2.8),
        poly([(cx - 7, cy - 27), (cx, cy - 42), (cx + 7, cy - 27)], hexc(SUN), 2.2),
    ]
    for side in (-1, 1):
        ex, ey = cx + side * 10, cy - 16
        parts.append(ellipse((ex - 7, ey - 8, ex + 7, ey + 7), "#ffffff", ink, 1.6))
        parts.append(ellipse((ex - 3.5, ey - 7, ex + 3.5, ey + 1), ink))
        parts.append(ellipse((ex - 2, ey - 6, ex + 0.5, ey - 3.5), "#ffffff"))
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def _path(folder):
    path = os.path.join(ICON_DIR, folder, "apps")
    os.makedirs(path, exist_ok=True)
    return path


def generate():
    for size in SIZES:
        icon(size).save(os.path.join(_path("%dx%d" % (size, size)), APP_ID + ".png"), "PNG", optimize=True)
    with open(os.path.join(_path("scalable"), APP_ID + ".svg"), "w", encoding="utf-8", newline="\n") as f:
        f.write(svg())


if __name__ == "__main__":
    generate()
    print("ASSETS: icons written under %s" % os.path.relpath(ICON_DIR, ROOT))
