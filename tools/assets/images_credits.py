"""The eight credits pages of the pause menu. Each page is a full 1280x720
picture with a panel in the middle; the Left and Right arrows sit beside
the panel and Back below it (placed by the credits menu file)."""

from canvas import (INK, INK_SOFT, SKY_DEEP, SUN_LIGHT, WHITE, VIOLET_DARK, MINT_DARK,
                    FONT_REGULAR, FONT_BOLD)
from images_ui import screen, body_text, star_shape, save_full

PANEL = (170, 30, 1110, 610)

LIB = [
    # name, what it does here, licence
    ("SDL2", "window, input and the OpenGL context", "zlib licence"),
    ("SDL2_mixer", "sound effects and music playback", "zlib licence"),
    ("libvorbis", "Ogg Vorbis decoding (Xiph.Org Foundation)", "BSD licence"),
    ("Lua", "the scripting language (Lua.org, PUC-Rio)", "MIT licence"),
    ("RapidJSON", "reading level and menu files", "MIT licence"),
    ("libpng", "reading PNG images", "libpng licence"),
    ("libepoxy", "OpenGL function loading", "MIT licence"),
    ("DejaVu fonts", "all text in the game's pictures", "DejaVu fonts licence"),
    ("GoogleTest", "the game's test suite", "BSD licence"),
]


def page_frame(title, number):
    c = screen(title, box=PANEL, dim=120, title_size=58)
    body_text(c, (640, 580), "Page %d of 8" % (number + 1), 22, INK_SOFT)
    return c


def lines(c, rows, y0, step, size=30):
    y = y0
    for text, colour, path in rows:
        if text:
            body_text(c, (640, y), text, size, colour, path=path or FONT_BOLD)
        y += step


def library_page(number, title, libs):
    c = page_frame(title, number)
    y = 158
    for name, role, licence in libs:
        body_text(c, (640, y), name, 42, SKY_DEEP)
        body_text(c, (640, y + 44), role, 26, INK, path=FONT_REGULAR)
        body_text(c, (640, y + 80), licence, 26, VIOLET_DARK)
        y += 138
    return c


def make_pages():
    pages = []

    c = page_frame("Velmaris", 0)
    star_shape(c, 640, 200, 60, outline_w=4)
    lines(c, [("A small game about flying through the sky", INK, FONT_REGULAR),
              ("", None, None),
              ("Made by the Velmaris developers", SKY_DEEP, None)], 320, 52, 32)
    body_text(c, (640, 500), "Use the arrows to turn the pages", 24, INK_SOFT, path=FONT_REGULAR)
    pages.append((c, "title page: the game and its makers"))

    c = page_frame("Game and engine", 1)
    lines(c, [("Design, programming and levels", SKY_DEEP, None),
              ("the Velmaris developers", INK, FONT_REGULAR),
              ("", None, None),
              ("Engine", SKY_DEEP, None),
              ("our own component-based engine in C++", INK, FONT_REGULAR),
              ("levels and menus as data files, scripts in Lua", INK, FONT_REGULAR)], 170, 54, 30)
    pages.append((c, "game and engine"))

    c = page_frame("Art and sound", 2)
    lines(c, [("Pictures, music and sound effects", SKY_DEEP, None),
              ("made by our own asset generator", INK, FONT_REGULAR),
              ("drawn and synthesised from code, the same every time", INK, FONT_REGULAR),
              ("", None, None),
              ("Music", SKY_DEEP, None),
              ("\"Rizoz ed Udavovi Vivid\", synthesised by the generator", INK, FONT_REGULAR),
              ("Text set in the DejaVu fonts", INK, FONT_REGULAR)], 160, 52, 28)
    pages.append((c, "art and sound"))

    pages.append((library_page(3, "Libraries", LIB[0:3]), "SDL2, SDL2_mixer, libvorbis"))
    pages.append((library_page(4, "Libraries", LIB[3:6]), "Lua, RapidJSON, libpng"))
    pages.append((library_page(5, "Libraries and fonts", LIB[6:9]), "libepoxy, DejaVu fonts, GoogleTest"))

    c = page_frame("Licences", 6)
    lines(c, [("Each library keeps its own licence:", SKY_DEEP, None),
              ("zlib licence: SDL2, SDL2_mixer", INK, FONT_REGULAR),
              ("MIT licence: Lua, RapidJSON, libepoxy", INK, FONT_REGULAR),
              ("BSD licence: libvorbis, GoogleTest", INK, FONT_REGULAR),
              ("libpng licence: libpng", INK, FONT_REGULAR),
              ("DejaVu fonts licence: DejaVu fonts", INK, FONT_REGULAR),
              ("", None, None),
              ("Their full texts come with each library.", INK_SOFT, FONT_REGULAR)], 160, 50, 28)
    pages.append((c, "licence summary"))

    c = page_frame("Thank you!", 7)
    for k, x in enumerate((520, 640, 760)):
        star_shape(c, x, 200 if k != 1 else 185, 40 if k != 1 else 50, outline_w=3)
    lines(c, [("Thank you for playing Velmaris!", SKY_DEEP, None),
              ("", None, None),
              ("and thanks to everyone who writes and shares", INK, FONT_REGULAR),
              ("the free libraries and fonts this game is built on", INK, FONT_REGULAR)], 310, 50, 30)
    pages.append((c, "thank-you page"))

    for i, (c, what) in enumerate(pages):
        save_full("images/PauseMenus/Credits/pause_credits_Page%d.png" % i, c, "Credits",
                  "Credits page %d: %s. The panel leaves room for the arrows at its sides "
                  "and for Back below it." % (i, what))


def generate():
    make_pages()
