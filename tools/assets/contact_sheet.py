"""One page showing every generated image, labelled with its path, size and
sheet layout, over a checkerboard so that transparency shows."""

import os

from PIL import Image, ImageDraw

from canvas import font, FONT_BOLD, FONT_REGULAR
from catalog import ROOT, image_entries

THUMB_W, THUMB_H = 300, 190
LABEL_H = 46
COLUMNS = 6
PAD = 14


def checker(w, h, step=10):
    im = Image.new("RGBA", (w, h), (235, 235, 240, 255))
    d = ImageDraw.Draw(im)
    for y in range(0, h, step):
        for x in range((y // step) % 2 * step, w, step * 2):
            d.rectangle([x, y, x + step - 1, y + step - 1], fill=(205, 205, 215, 255))
    return im


def thumbnail(entry):
    img = entry["image"].convert("RGBA")
    w, h = img.size
    k = min(THUMB_W / w, THUMB_H / h, 1.0)
    tw, th = max(1, int(w * k)), max(1, int(h * k))
    t = checker(tw, th)
    t.alpha_composite(img.resize((tw, th), Image.LANCZOS))
    d = ImageDraw.Draw(t)
    rows, cols = entry["rows"], entry["columns"]
    for c in range(1, cols):      # cell borders of sprite sheets
        x = int(c * tw / cols)
        d.line([(x, 0), (x, th)], fill=(255, 0, 160, 200))
    for r in range(1, rows):
        y = int(r * th / rows)
        d.line([(0, y), (tw, y)], fill=(255, 0, 160, 200))
    return t


def build(path):
    entries = image_entries()
    rows = (len(entries) + COLUMNS - 1) // COLUMNS
    cw, ch = THUMB_W + PAD, THUMB_H + LABEL_H + PAD
    page = Image.new("RGBA", (PAD + COLUMNS * cw, 60 + rows * ch), (250, 250, 252, 255))
    d = ImageDraw.Draw(page)
    d.text((PAD, 16), "Velmaris generated images (%d files)" % len(entries), font=font(26), fill=(29, 43, 83))
    for i, e in enumerate(entries):
        x = PAD + (i % COLUMNS) * cw
        y = 60 + (i // COLUMNS) * ch
        t = thumbnail(e)
        page.alpha_composite(t, (x + (THUMB_W - t.size[0]) // 2, y + (THUMB_H - t.size[1]) // 2))
        d.rectangle([x - 1, y - 1, x + THUMB_W, y + THUMB_H], outline=(180, 185, 200))
        name = e["path"].replace("images/", "")
        if len(name) > 40:
            name = "..." + name[-37:]
        d.text((x, y + THUMB_H + 4), name, font=font(13, FONT_BOLD), fill=(29, 43, 83))
        info = "%dx%d px, %d x %d cells" % (e["size"][0], e["size"][1], e["rows"], e["columns"])
        d.text((x, y + THUMB_H + 22), info, font=font(12, FONT_REGULAR), fill=(80, 90, 120))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    page.save(path)
    return path


def default_path():
    return os.path.join(ROOT, "build", "assets-contact-sheet.png")
