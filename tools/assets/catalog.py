"""Where generated files go and what they are: every writer records the file
with its size, sheet layout and purpose, and data/ASSETS.md and the contact
sheet are built from that record, so the documentation cannot drift from
the files."""

import os

from PIL import Image

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DATA = os.path.join(ROOT, "data")

# one dict per generated file, in the order of generation
entries = []


def _record(kind, rel, section, purpose, **extra):
    e = {"kind": kind, "path": rel, "section": section, "purpose": purpose}
    e.update(extra)
    entries.append(e)
    return e


def save_image(rel, img, section, purpose, rows=1, columns=1, cells=None, scale_hint=None):
    """Write an image under data/ (PNG as RGBA, BMP as 24-bit RGB).

    rows/columns give the sheet layout (cells numbered row by row from the
    top left); cells is a short description of what each cell shows;
    scale_hint suggests the Transform scale that shows it at its pixel size.
    """
    path = os.path.join(DATA, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    w, h = img.size
    assert w % columns == 0 and h % rows == 0, rel + ": cells must divide the image evenly"
    if rel.lower().endswith(".bmp"):
        img.convert("RGB").save(path, "BMP")
    else:
        img.convert("RGBA").save(path, "PNG", optimize=True)
    if scale_hint is None:
        scale_hint = (round(w / columns / 48.0, 3), round(h / rows / 48.0, 3))
    _record("image", rel, section, purpose, size=(w, h), rows=rows, columns=columns,
            cells=cells, scale_hint=scale_hint, image=img)


def save_sound(rel, section, purpose, seconds, loop=False):
    _record("sound", rel, section, purpose, seconds=seconds, loop=loop)


def image_entries():
    return [e for e in entries if e["kind"] == "image"]


def load(rel):
    return Image.open(os.path.join(DATA, rel))
