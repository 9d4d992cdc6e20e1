"""Drawing helpers shared by the image generators: a supersampled canvas,
masks, soft shading, outlined text and sprite-sheet assembly.

Everything is drawn at SS times the final size and scaled down with a
Lanczos filter at the end, which gives anti-aliased edges without any
per-shape anti-aliasing code. Coordinates passed to the helpers are in
final (output) pixels; the canvas multiplies them by SS.
"""

import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

SS = 4  # supersampling factor

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
FONT_BOLD = FONT_DIR + "DejaVuSans-Bold.ttf"
FONT_REGULAR = FONT_DIR + "DejaVuSans.ttf"
FONT_MONO_BOLD = FONT_DIR + "DejaVuSansMono-Bold.ttf"

# The game's palette: a bright sky, warm sun colours, one dark ink for
# outlines and text edges, and a few accents.
INK = (29, 43, 83)
INK_SOFT = (52, 72, 128)
WHITE = (255, 255, 255)
CREAM = (255, 246, 224)
SKY_PALE = (214, 240, 255)
SKY = (110, 198, 255)
SKY_DEEP = (46, 123, 214)
SUN = (255, 210, 63)
SUN_LIGHT = (255, 238, 150)
ORANGE = (255, 159, 28)
CORAL = (255, 107, 107)
CORAL_DARK = (196, 58, 74)
MINT = (61, 220, 151)
MINT_DARK = (27, 150, 110)
VIOLET = (123, 92, 214)
VIOLET_DARK = (72, 48, 150)
GREY = (150, 160, 182)

_font_cache = {}


def font(size, path=FONT_BOLD):
    key = (path, int(size))
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(path, int(size))
    return _font_cache[key]


def mix(a, b, t):
    """Linear blend of two colours, t in [0, 1]."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def rgba(c, alpha=255):
    return (c[0], c[1], c[2], c[3] if len(c) > 3 else alpha)


class Canvas:
    """An RGBA picture drawn at SS x its final size w x h."""

    def __init__(self, w, h, background=None, ss=SS):
        self.w, self.h, self.ss = w, h, ss
        bg = rgba(background) if background else (0, 0, 0, 0)
        self.im = Image.new("RGBA", (w * ss, h * ss), bg)

    # --- masks -----------------------------------------------------------
    def blank(self):
        return Image.new("L", self.im.size, 0)

    def _box(self, box):
        return [v * self.ss for v in box]

    def ellipse(self, box):
        m = self.blank()
        ImageDraw.Draw(m).ellipse(self._box(box), fill=255)
        return m

    def rrect(self, box, radius):
        m = self.blank()
        ImageDraw.Draw(m).rounded_rectangle(self._box(box), radius * self.ss, fill=255)
        return m

    def polygon(self, points):
        m = self.blank()
        ImageDraw.Draw(m).polygon([(x * self.ss, y * self.ss) for x, y in points], fill=255)
        return m

    def line_mask(self, points, width, round_caps=True):
        m = self.blank()
        d = ImageDraw.Draw(m)
        pts = [(x * self.ss, y * self.ss) for x, y in points]
        d.line(pts, fill=255, width=int(width * self.ss), joint="curve")
        if round_caps:
            r = width * self.ss / 2
            for x, y in (pts[0], pts[-1]):
                d.ellipse([x - r, y - r, x + r, y + r], fill=255)
        return m

    def text_mask(self, xy, text, size, path=FONT_BOLD, anchor="mm", spacing=0.25, align="center"):
        m = self.blank()
        ImageDraw.Draw(m).multiline_text(
            (xy[0] * self.ss, xy[1] * self.ss), text, font=font(size * self.ss, path), fill=255,
            anchor=anchor, spacing=int(size * self.ss * spacing), align=align)
        return m

    # --- painting --------------------------------------------------------
    def paint(self, mask, fill, opacity=1.0):
        """Composite fill (a colour or an RGBA image of canvas size) through mask."""
        if opacity < 1.0:
            mask = mask.point(lambda v: int(v * opacity))
        if isinstance(fill, Image.Image):
            layer = fill.copy()
            a = np.asarray(layer.getchannel("A"), dtype=np.float32)
            m = np.asarray(mask, dtype=np.float32)
            layer.putalpha(Image.fromarray((a * m / 255.0).astype(np.uint8)))
        else:
            layer = Image.new("RGBA", self.im.size, rgba(fill))
            if len(fill) > 3:
                m = np.asarray(mask, dtype=np.float32) * (fill[3] / 255.0)
                mask = Image.fromarray(m.astype(np.uint8))
            layer.putalpha(mask)
        self.im.alpha_composite(layer)

    def vgradient(self, top, bottom, y0=0, y1=None):
        """Canvas-sized vertical gradient image between rows y0 and y1 (output px)."""
        return gradient_image(self.im.size, top, bottom, y0 * self.ss, (y1 if y1 is not None else self.h) * self.ss, 90)

    def gradient(self, c0, c1, box, angle=90):
        """Gradient across box at angle degrees (90 = top to bottom)."""
        x0, y0, x1, y1 = self._box(box)
        return gradient_image(self.im.size, c0, c1, None, None, angle, (x0, y0, x1, y1))

    def radial(self, centre, radius, inner, outer):
        w, h = self.im.size
        ys, xs = np.mgrid[0:h, 0:w].astype(np.float32)
        d = np.sqrt((xs - centre[0] * self.ss) ** 2 + (ys - centre[1] * self.ss) ** 2) / (radius * self.ss)
        t = np.clip(d, 0, 1)[..., None]
        a = np.array(rgba(inner), np.float32)
        b = np.array(rgba(outer), np.float32)
        arr = a + (b - a) * t
        return Image.fromarray(arr.round().astype(np.uint8), "RGBA")

    def shadow(self, mask, offset=(0, 4), blur=6, alpha=90, colour=INK):
        """Soft drop shadow of a mask, painted under what follows."""
        m = shift(mask.filter(ImageFilter.GaussianBlur(blur * self.ss)), offset[0] * self.ss, offset[1] * self.ss)
        self.paint(m, colour + (alpha,))

    def body(self, mask, light, dark, outline=INK, outline_w=3.0, box=None, angle=90,
             highlight=True, shade=True):
        """A shape with an ink outline, a light-to-dark gradient and a soft gloss."""
        if outline_w > 0:
            self.paint(dilate(mask, outline_w * self.ss), outline)
        bb = mask.getbbox()
        if bb is None:
            return
        x0, y0, x1, y1 = [v / self.ss for v in bb]
        self.paint(mask, self.gradient(light, dark, box or (x0, y0, x1, y1), angle))
        if shade:
            # darker rim on the far side gives the shape some volume
            inner = erode(mask, max(2, (x1 - x0 + y1 - y0) * 0.04) * self.ss)
            rim = Image.fromarray(np.clip(np.asarray(mask, np.int16) - np.asarray(
                inner.filter(ImageFilter.GaussianBlur((x1 - x0 + y1 - y0) * 0.03 * self.ss)), np.int16), 0, 255).astype(np.uint8))
            self.paint(rim, dark, 0.45)
        if highlight:
            w, h = x1 - x0, y1 - y0
            g = self.ellipse((x0 + w * 0.18, y0 + h * 0.08, x0 + w * 0.62, y0 + h * 0.36))
            g = multiply(g, mask).filter(ImageFilter.GaussianBlur(min(w, h) * 0.04 * self.ss))
            self.paint(g, WHITE, 0.45)

    def text(self, xy, text, size, fill=WHITE, outline=INK, outline_w=None, path=FONT_BOLD,
             anchor="mm", shadow=True, spacing=0.25, align="center", gradient_to=None):
        """Readable text: ink outline, optional soft shadow, optional vertical gradient fill."""
        if outline_w is None:
            outline_w = max(1.5, size * 0.09)
        m = self.text_mask(xy, text, size, path, anchor, spacing, align)
        if shadow:
            self.shadow(dilate(m, outline_w * self.ss), (0, size * 0.06), size * 0.05, 80)
        if outline_w > 0:
            self.paint(dilate(m, outline_w * self.ss), outline)
        if gradient_to is not None:
            bb = m.getbbox()
            self.paint(m, self.gradient(fill, gradient_to, [v / self.ss for v in bb]))
        else:
            self.paint(m, fill)
        return m

    def result(self):
        return self.im.resize((self.w, self.h), Image.LANCZOS)


# --- mask operations --------------------------------------------------------

def gradient_image(size, c0, c1, y0=None, y1=None, angle=90, box=None):
    w, h = size
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32)
    if box is None:
        box = (0, y0, w, y1)
    bx0, by0, bx1, by1 = box
    a = math.radians(angle)
    dx, dy = math.cos(a), math.sin(a)
    cx, cy = (bx0 + bx1) / 2, (by0 + by1) / 2
    half = abs(dx) * (bx1 - bx0) / 2 + abs(dy) * (by1 - by0) / 2
    t = ((xs - cx) * dx + (ys - cy) * dy) / max(half * 2, 1e-6) + 0.5
    t = np.clip(t, 0, 1)[..., None]
    a0 = np.array(rgba(c0), np.float32)
    a1 = np.array(rgba(c1), np.float32)
    return Image.fromarray((a0 + (a1 - a0) * t).round().astype(np.uint8), "RGBA")


def dilate(mask, d):
    """Grow a mask by about d pixels (of the mask) with round corners."""
    if d <= 0:
        return mask
    sigma = d / 2.0
    b = np.asarray(mask.filter(ImageFilter.GaussianBlur(sigma)), np.float32)
    # a hard edge blurred with sigma s crosses 0.023 about 2 s outside the edge
    out = np.clip((b - 3.0) * 12.0, 0, 255)
    return Image.fromarray(np.maximum(out, np.asarray(mask, np.float32)).astype(np.uint8))


def erode(mask, d):
    inv = Image.fromarray(255 - np.asarray(mask))
    return Image.fromarray(255 - np.asarray(dilate(inv, d)))


def multiply(a, b):
    return Image.fromarray((np.asarray(a, np.uint16) * np.asarray(b, np.uint16) // 255).astype(np.uint8))


def subtract(a, b):
    return Image.fromarray(np.clip(np.asarray(a, np.int16) - np.asarray(b, np.int16), 0, 255).astype(np.uint8))


def union(*ms):
    arr = np.asarray(ms[0])
    for m in ms[1:]:
        arr = np.maximum(arr, np.asarray(m))
    return Image.fromarray(arr)


def shift(mask, dx, dy):
    out = Image.new(mask.mode, mask.size, 0)
    out.paste(mask, (int(round(dx)), int(round(dy))))
    return out


def rotate_points(points, centre, degrees):
    a = math.radians(degrees)
    ca, sa = math.cos(a), math.sin(a)
    cx, cy = centre
    return [(cx + (x - cx) * ca - (y - cy) * sa, cy + (x - cx) * sa + (y - cy) * ca) for x, y in points]


def star_points(cx, cy, r_out, r_in, n=5, rotation=-90):
    pts = []
    for i in range(n * 2):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rotation + i * 180.0 / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


# --- sheets ----------------------------------------------------------------

def sheet(cells, columns):
    """Cells (equal-size images) placed row by row from the top left."""
    cw, ch = cells[0].size
    rows = (len(cells) + columns - 1) // columns
    out = Image.new("RGBA", (cw * columns, ch * rows), (0, 0, 0, 0))
    for i, c in enumerate(cells):
        assert c.size == (cw, ch), "sheet cells differ in size"
        out.paste(c, ((i % columns) * cw, (i // columns) * ch))
    return out
