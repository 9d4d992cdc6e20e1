#!/usr/bin/python3
"""Generates every picture and sound of the game under data/, writes
data/ASSETS.md and the contact sheet build/assets-contact-sheet.png.

Run from anywhere with Debian's python3 (it needs python3-pil,
python3-numpy, the DejaVu fonts and oggenc):

    /usr/bin/python3 tools/assets/generate.py [--images-only | --sounds-only]

Every random choice uses a fixed seed and every writer is deterministic, so
two runs give byte-identical files.
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import catalog          # noqa: E402
import contact_sheet    # noqa: E402
import docs             # noqa: E402
import icons            # noqa: E402
import images_credits   # noqa: E402
import images_custom    # noqa: E402
import images_play      # noqa: E402
import images_ui        # noqa: E402
import sounds           # noqa: E402


def main(argv):
    do_images = "--sounds-only" not in argv
    do_sounds = "--images-only" not in argv
    start = time.time()
    if do_images:
        for module in (images_ui, images_play, images_credits, icons, images_custom):
            module.generate()
            print("ASSETS: %-16s done (%.1f s)" % (module.__name__, time.time() - start))
    if do_sounds:
        sounds.generate()
        print("ASSETS: sounds           done (%.1f s)" % (time.time() - start))
    if do_images and do_sounds:
        print("ASSETS: wrote %s" % os.path.relpath(docs.write(), catalog.ROOT))
    if do_images:
        sheet = contact_sheet.build(contact_sheet.default_path())
        print("ASSETS: wrote %s" % os.path.relpath(sheet, catalog.ROOT))
    n_img = len(catalog.image_entries())
    n_snd = len(catalog.entries) - n_img
    print("ASSETS: %d images, %d sounds in %.1f s" % (n_img, n_snd, time.time() - start))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
