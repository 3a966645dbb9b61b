#!/usr/bin/env python3
"""Draws the player's skin: background, glyph strips, button faces and icons.

Run by hand after changing the art; the PNGs it writes under res/skin/ are
committed. Standard library only: the PNG encoder and decoder are below.

    tools/make_skin.py                  write res/skin/*.png
    tools/make_skin.py --sheet PATH     also write a contact sheet, scaled x3
    tools/make_skin.py --preview PATH   also write the window face with sample glyphs
"""

import argparse
import os
import struct
import sys
import zlib

# Colours, (r, g, b). The display code copies glyph cells over the background
# pixel for pixel, so every colour here is exact and the images are lossless.
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
FACE = (192, 192, 192)
SHADOW = (128, 128, 128)
GREEN = (0, 255, 0)
DIMGREEN = (0, 128, 0)
UNLIT = (0, 64, 0)
RED = (255, 0, 0)
BLUE = (0, 0, 255)
CLEAR = None  # transparent, icons only


class Image:
    def __init__(self, w, h, fill=BLACK):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def fill(self, x0, y0, x1, y1, c):
        """Fills the inclusive rectangle (x0, y0)..(x1, y1)."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.fill(x0, y0, x1, y0, c)
        self.fill(x0, y1, x1, y1, c)
        self.fill(x0, y0, x0, y1, c)
        self.fill(x1, y0, x1, y1, c)

    def bevel(self, x0, y0, x1, y1, topleft, bottomright):
        """One-pixel ring lit from the top left; the two off corners take the lower colour."""
        self.fill(x0, y0, x1 - 1, y0, topleft)
        self.fill(x0, y0, x0, y1 - 1, topleft)
        self.fill(x0, y1, x1, y1, bottomright)
        self.fill(x1, y0, x1, y1, bottomright)

    def pattern(self, x0, y0, rows, c, mark="#"):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == mark:
                    self.set(x0 + dx, y0 + dy, c)

    def blit(self, src, sx, sy, w, h, dx, dy):
        for y in range(h):
            for x in range(w):
                self.set(dx + x, dy + y, src.px[sy + y][sx + x])

    def crop(self, x, y, w, h):
        out = Image(w, h)
        out.blit(self, x, y, w, h, 0, 0)
        return out

    def scaled(self, k, backdrop=(255, 0, 255)):
        out = Image(self.w * k, self.h * k)
        for y in range(out.h):
            row = self.px[y // k]
            out.px[y] = [backdrop if row[x // k] is None else row[x // k] for x in range(out.w)]
        return out


# ---------------------------------------------------------------- PNG files

def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(img):
    """Truecolour PNG: RGB, or RGBA when the image has transparent pixels.

    Not palette images: Qt loads those as indexed images, which QPainter
    cannot draw on, and the display draws its glyphs into the background.
    """
    alpha = any(c is None for row in img.px for c in row)

    def pack(c):
        if not alpha:
            return bytes(c)
        return b"\0\0\0\0" if c is None else bytes(c) + b"\xff"

    raw = b"".join(b"\0" + b"".join(pack(c) for c in row) for row in img.px)
    out = b"\x89PNG\r\n\x1a\n"
    out += _chunk(b"IHDR", struct.pack(">IIBBBBB", img.w, img.h, 8, 6 if alpha else 2, 0, 0, 0))
    out += _chunk(b"IDAT", zlib.compress(raw, 9))
    out += _chunk(b"IEND", b"")
    return out


def decode_png(data):
    """Reads the PNGs encode_png writes (8-bit RGB or RGBA, unfiltered rows)."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat = 8, b""
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if kind == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or ctype not in (2, 6) or interlace:
                raise ValueError("only 8-bit RGB or RGBA images are read")
        elif kind == b"IDAT":
            idat += body
    bpp = 4 if ctype == 6 else 3
    raw = zlib.decompress(idat)
    stride = w * bpp + 1
    img = Image(w, h)
    for y in range(h):
        line = raw[y * stride:(y + 1) * stride]
        if line[0] != 0:
            raise ValueError("only unfiltered rows are read")
        px = [tuple(line[1 + x * bpp:1 + (x + 1) * bpp]) for x in range(w)]
        img.px[y] = [None if bpp == 4 and p[3] == 0 else p[:3] for p in px]
    return img


def write_png(path, img):
    with open(path, "wb") as f:
        f.write(encode_png(img))


# ---------------------------------------------------------------- digits

# Seven-segment layout of the large digits inside a 15 x 24 cell: segment
# centre lines at x 3 and 11, y 2, 11 and 21; segments are three pixels thick
# with pointed ends, so neighbouring segments meet only at a corner pixel.
SEGMENTS = {
    "0": "abcdef", "1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc",
    "5": "afgcd", "6": "afgedc", "7": "abc", "8": "abcdefg", "9": "abcdfg",
}
_LEFT, _RIGHT, _TOP, _MID, _BOTTOM = 3, 11, 2, 11, 21


def _hsegment(img, ox, oy, yc, c):
    for dy in (-1, 0, 1):
        img.fill(ox + _LEFT + 1 + abs(dy), oy + yc + dy, ox + _RIGHT - 1 - abs(dy), oy + yc + dy, c)


def _vsegment(img, ox, oy, xc, y0, y1, c):
    for dx in (-1, 0, 1):
        img.fill(ox + xc + dx, oy + y0 + 1 + abs(dx), ox + xc + dx, oy + y1 - 1 - abs(dx), c)


def seven_segment(img, ox, oy, digit, c):
    for seg in SEGMENTS[digit]:
        if seg == "a":
            _hsegment(img, ox, oy, _TOP, c)
        elif seg == "g":
            _hsegment(img, ox, oy, _MID, c)
        elif seg == "d":
            _hsegment(img, ox, oy, _BOTTOM, c)
        else:
            xc = _RIGHT if seg in "bc" else _LEFT
            y0, y1 = (_TOP, _MID) if seg in "bf" else (_MID, _BOTTOM)
            _vsegment(img, ox, oy, xc, y0, y1, c)


# Small digits, 5 x 7, drawn in the left of a 6 x 9 cell one row down.
SMALL_DIGITS = {
    "0": [" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "],
    "1": ["  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    "2": [" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"],
    "3": ["#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "],
    "4": ["   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "],
    "5": ["#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "],
    "6": ["  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "],
    "7": ["#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "],
    "8": [" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "],
    "9": [" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "],
}

# Letters of the panel labels: capitals 5 x 7, and the units in a narrower,
# proportional cut (lower case five rows high) so "kBit/s" fits beside the digits.
LETTERS = {
    "A": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "B": ["#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "],
    "C": [" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "],
    "D": ["#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "],
    "E": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    "H": ["#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "I": ["###", " # ", " # ", " # ", " # ", " # ", "###"],
    "K": ["#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"],
    "L": ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
    "M": ["#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"],
    "N": ["#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"],
    "O": [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "R": ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    "S": [" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "],
    "T": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
    "U": ["#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "b": ["#   ", "#   ", "### ", "#  #", "#  #", "#  #", "### "],
    "e": ["    ", "    ", " ## ", "#  #", "####", "#   ", " ###"],
    "i": ["#", " ", "#", "#", "#", "#", "#"],
    "k": ["#   ", "#   ", "#  #", "# # ", "##  ", "# # ", "#  #"],
    "l": ["##", " #", " #", " #", " #", " #", "###"],
    "n": ["    ", "    ", "### ", "#  #", "#  #", "#  #", "#  #"],
    "r": ["   ", "   ", "# #", "## ", "#  ", "#  ", "#  "],
    "s": ["    ", "    ", " ###", "#   ", " ## ", "   #", "### "],
    "t": [" # ", " # ", "###", " # ", " # ", " # ", "  #"],
    "u": ["    ", "    ", "#  #", "#  #", "#  #", "#  #", " ###"],
    "z": ["    ", "    ", "####", "   #", "  # ", " #  ", "####"],
    "/": ["   ", "  #", "  #", " # ", " # ", "#  ", "#  "],
    " ": ["  "] * 7,
}
LETTERS.update(SMALL_DIGITS)


def text_width(text):
    return sum(len(LETTERS[ch][0]) + 1 for ch in text) - 1


def draw_text(img, x, y, text, c):
    """Draws text with its top-left at (x, y); returns the x after it."""
    for ch in text:
        glyph = LETTERS[ch]
        img.pattern(x, y, glyph, c)
        x += len(glyph[0]) + 1
    return x - 1


def draw_text_centred(img, x0, x1, y, text, c):
    draw_text(img, x0 + (x1 - x0 + 1 - text_width(text)) // 2, y, text, c)


# ---------------------------------------------------------------- glyph strips

def large_digits():
    img = Image(165, 24)
    for d in range(10):
        seven_segment(img, 15 * (d + 1), 0, str(d), GREEN)
    return img


def small_digits():
    img = Image(67, 9)
    for d in range(10):
        img.pattern(6 * (d + 1), 1, SMALL_DIGITS[str(d)], GREEN)
    return img


def draw_bars(img, x, y, count, c):
    """Layer mark: `count` bars of rising height in a 12 x 7 place."""
    for i in range(count):
        height = 3 + 2 * i
        img.fill(x + 1 + 4 * i, y + 7 - height, x + 3 + 4 * i, y + 6, c)


def layer_marks():
    img = Image(12, 28)
    for layer in (1, 2, 3):
        draw_bars(img, 0, 7 * layer, layer, GREEN)
    return img


ROMAN = {
    1: ["  ###", "   # ", "   # ", "   # ", "   # ", "   # ", "  ###"],
    2: ["### ###", " #   # ", " #   # ", " #   # ", " #   # ", " #   # ", "### ###"],
}


def version_marks():
    img = Image(8, 21)
    for v in (1, 2):
        img.pattern(0, 7 * v, ROMAN[v], GREEN)
    return img


RING = [" ### ", "#   #", "#   #", "#   #", " ### "]


def draw_rings(img, x, y, ring, link):
    """Stereo mark in an 11 x 7 place: two rings, optionally linked."""
    img.pattern(x, y + 1, RING, ring)
    img.pattern(x + 6, y + 1, RING, ring)
    if link:
        img.fill(x + 3, y + 3, x + 7, y + 3, link)


def stereo_marks():
    img = Image(12, 21)
    draw_rings(img, 0, 7, RED, None)
    draw_rings(img, 0, 14, WHITE, RED)
    return img


def triangle_right(x, y, h):
    """Pixels of a right-pointing triangle h (odd) rows high, (h + 1) / 2 wide."""
    half = h // 2
    return [(x + dx, y + dy) for dy in range(h) for dx in range(half + 1 - abs(dy - half))]


def state_marks():
    img = Image(6, 33)
    for x, y in triangle_right(0, 0, 11):
        if (x + y) % 2 == 0:
            img.set(x, y, DIMGREEN)
    for x, y in triangle_right(0, 11, 11):
        img.set(x, y, GREEN)
    img.fill(0, 23, 1, 31, GREEN)
    img.fill(4, 23, 5, 31, GREEN)
    return img


TICK = ["     #", "    ##", "#  ## ", "####  ", " ##   "]
TICK_ROW = 4
SYNC_ART = {
    1: [(RED, 1, 1, [" ### ", "#   #", "    #", "   # ", "  #  ", "  #  ", "     ", "  #  "])],
    2: [(GREEN, 0, TICK_ROW, TICK)],
    3: [(RED, 0, 1, ["  ##  ", "  ##  ", "  ##  ", "  ##  ", "  ##  ", "######", " #### ", "  ##  "])],
    4: [(GREEN, 0, TICK_ROW, TICK), (GREEN, 0, 0, ["### ", "# # ", "### "])],
    5: [(GREEN, 1, 0, ["###", " # ", " # "]), (GREEN, 1, 4, [" # ", "# #", "###"]),
        (GREEN, 1, 8, ["###", "#  ", "###"])],
    6: [(GREEN, 0, TICK_ROW, TICK), (RED, 0, 0, [" # ", "###", " # "])],
}


def sync_marks():
    img = Image(42, 11)
    for cell, parts in SYNC_ART.items():
        for colour, x, y, rows in parts:
            img.pattern(6 * cell + x, y, rows, colour)
    return img


def progress_bar():
    img = Image(150, 18, BLUE)
    img.fill(0, 9, 149, 17, FACE)
    return img


def outline(pixels):
    """The pixels of a shape that touch its outside: a filled shape becomes its contour."""
    inside = set(pixels)
    return [(x, y) for x, y in pixels
            if any(n not in inside for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))]


def shape(x0, y0, rows, mark="#"):
    return [(x0 + dx, y0 + dy) for dy, row in enumerate(rows) for dx, ch in enumerate(row) if ch == mark]


# Source-type icons in their 20 x 11 places: a list of (pixels, colour when
# active). Dimmed icons draw every part in the shadow colour, as an outline.
def _arrowhead(tip_x, y, half):
    return [(tip_x - half + dx, y + dy) for dy in range(-half, half + 1) for dx in range(half + 1 - abs(dy))]


SOURCE_ICONS = {
    "A": [(shape(3, 2, ["##############"] * 3), RED),
          (shape(3, 7, ["# # # # # # # #"]), BLACK)],
    "B": [(shape(0, 0, [
        "                    ",
        "                    ",
        "    #          #    ",
        "   #   #    #   #   ",
        "   #  #  ##  #  #   ",
        "   #  #  ##  #  #   ",
        "   #   # ## #   #   ",
        "    #    ##    #    ",
        "         ##         ",
        "        ####        ",
    ]), BLACK)],
    "C": [(shape(2, 3, ["   ##   ##    ", "  ####  ####   ", " ##  ####  ####", "##    ##       "]), BLACK),
          (_arrowhead(17, 5, 3), BLACK)],
    "D": [(shape(5, 1, [
        "#######   ",
        "#     ##  ",
        "# ### # # ",
        "#     ####",
        "# ##### ##",
        "#        #",
        "# ###### #",
        "#        #",
        "##########",
    ]), BLACK)],
}

# Which icon each row of the strip shows, and how: "a" active, "d" dimmed.
SOURCE_ROWS = [
    {"C": "d", "D": "d"},
    {"C": "a", "D": "d"},
    {"C": "d", "D": "a"},
    {"B": "a", "C": "d", "D": "d"},
    {"A": "a", "C": "d", "D": "d"},
]


def source_strip():
    img = Image(80, 55, FACE)
    for row, looks in enumerate(SOURCE_ROWS):
        for icon, look in looks.items():
            x0, y0 = 20 * "ABCD".index(icon), 11 * row
            if look == "a":
                img.bevel(x0, y0, x0 + 19, y0 + 10, WHITE, SHADOW)
            for pixels, colour in SOURCE_ICONS[icon]:
                if look == "d":
                    pixels, colour = outline(pixels), SHADOW
                for x, y in pixels:
                    img.set(x0 + x, y0 + y, colour)
    return img


# ---------------------------------------------------------------- buttons

def _symbol(name):
    """Pixels of a button symbol, centred in a 36 x 20 face."""
    if name == "play":
        return triangle_right(15, 4, 11)
    if name == "stop":
        return [(x, y) for y in range(5, 14) for x in range(13, 22)]
    if name == "pause":
        return [(x, y) for y in range(4, 15) for x in (13, 14, 15, 19, 20, 21)]
    if name == "prev":
        return ([(x, y) for y in range(4, 15) for x in (13, 14)]
                + [(36 - x, y) for x, y in triangle_right(15, 4, 11)])
    if name == "next":
        return triangle_right(13, 4, 11) + [(x, y) for y in range(4, 15) for x in (20, 21)]
    if name == "eject":
        return ([(x, y) for y in range(5, 11) for x in range(17 - (y - 5), 18 + (y - 5))]
                + [(x, y) for y in (12, 13) for x in range(12, 23)])
    if name == "info":
        return shape(15, 4, [
            "  ## ",
            "  ## ",
            "     ",
            " ### ",
            "  ## ",
            "  ## ",
            "  ## ",
            "  ## ",
            "  ## ",
            "  ## ",
            " ####",
        ])
    raise KeyError(name)


def button_face(symbol, look):
    img = Image(36, 20, FACE)
    pixels = _symbol(symbol)
    if look == "pressed":
        img.frame(0, 0, 35, 19, BLACK)
        img.frame(1, 1, 34, 18, BLACK)
        img.fill(2, 2, 33, 2, WHITE)
        img.fill(2, 17, 33, 17, SHADOW)
        pixels, colour = [(x + 1, y + 1) for x, y in pixels], BLACK
    else:
        img.frame(0, 0, 35, 19, BLACK)
        img.fill(1, 1, 34, 1, WHITE)
        img.fill(1, 18, 34, 18, SHADOW)
        if look == "disabled":
            pixels, colour = outline(pixels), SHADOW
        else:
            colour = BLACK
    for x, y in pixels:
        img.set(x, y, colour)
    return img


# Buttons in resource order; each owns four ids: pressed, focused, normal, disabled.
BUTTONS = [
    ("play", 350, (8, 65)),
    ("stop", 354, (44, 65)),
    ("pause", 358, (80, 65)),
    ("prev", 362, (116, 65)),
    ("next", 366, (152, 65)),
    ("eject", 370, (224, 65)),
    ("info", 374, (224, 18)),
]
FACE_LOOKS = ("pressed", "focused", "normal", "disabled")


# ---------------------------------------------------------------- background

# Where the display copies its glyphs, in client coordinates.
LARGE_CELLS = [(14, 20), (29, 20), (58, 20), (73, 20), (92, 20), (107, 20)]
SMALL_CELLS = [(145, 20), (151, 20), (139, 35), (145, 35), (151, 35)]
STATE_AT, SYNC_AT = (126, 20), (126, 32)
STEREO_AT, VERSION_AT, LAYER_AT = (182, 21), (199, 21), (195, 36)
PROGRESS_AT, SOURCE_AT = (6, 99), (188, 98)


def sunken_well(img, x0, y0, x1, y1):
    """A two-pixel sunken edge around the inclusive rectangle (x0, y0)..(x1, y1)."""
    img.bevel(x0 - 2, y0 - 2, x1 + 2, y1 + 2, SHADOW, WHITE)
    img.bevel(x0 - 1, y0 - 1, x1 + 1, y1 + 1, BLACK, FACE)


def background():
    img = Image(274, 112, FACE)
    img.bevel(0, 0, 272, 111, WHITE, SHADOW)

    # The LCD panel: a sunken two-pixel edge around a black field.
    img.bevel(7, 7, 214, 47, SHADOW, WHITE)
    img.bevel(8, 8, 213, 46, SHADOW, WHITE)
    img.fill(9, 9, 212, 45, BLACK)
    draw_text_centred(img, 14, 43, 11, "TRACK", GREEN)
    draw_text_centred(img, 58, 87, 11, "MIN", GREEN)
    draw_text_centred(img, 92, 121, 11, "SEC", GREEN)
    draw_text_centred(img, 182, 206, 11, "MODE", GREEN)
    draw_text(img, 160, 21, "kHz", GREEN)
    draw_text(img, 160, 36, "kBit/s", GREEN)
    img.fill(89, 28, 90, 29, GREEN)
    img.fill(89, 34, 90, 35, GREEN)

    # Unlit segments under every element, as on a real LCD; each lies inside
    # its element's rectangle, so the glyph copied there covers it completely.
    for x, y in LARGE_CELLS:
        seven_segment(img, x, y, "8", UNLIT)
    for x, y in SMALL_CELLS:
        img.pattern(x, y + 1, SMALL_DIGITS["8"], UNLIT)
    for x, y in triangle_right(*STATE_AT, 11):
        img.set(x, y, UNLIT)
    img.pattern(SYNC_AT[0], SYNC_AT[1] + TICK_ROW, TICK, UNLIT)
    draw_rings(img, *STEREO_AT, UNLIT, UNLIT)
    img.pattern(*VERSION_AT, ROMAN[2], UNLIT)
    draw_bars(img, *LAYER_AT, 3, UNLIT)

    # The info button's well, framed in white, and the name plate above it.
    img.frame(220, 14, 263, 41, WHITE)
    sunken_well(img, 224, 18, 259, 37)
    draw_text_centred(img, 220, 263, 5, "Brelune3", SHADOW)

    # The groove between the panel and the controls.
    img.fill(3, 55, 269, 55, SHADOW)
    img.fill(3, 56, 269, 56, WHITE)

    sunken_well(img, 8, 65, 187, 84)
    sunken_well(img, 224, 65, 259, 84)
    sunken_well(img, PROGRESS_AT[0], PROGRESS_AT[1], PROGRESS_AT[0] + 149, PROGRESS_AT[1] + 8)
    sx, sy = SOURCE_AT
    img.bevel(sx - 1, sy - 1, sx + 80, sy + 11, SHADOW, WHITE)
    return img


# ---------------------------------------------------------------- icons

def disc(cx, cy, r):
    return {(x, y) for y in range(32) for x in range(32)
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r}


NAVY, MOON, MOONEDGE = (16, 24, 96), (255, 232, 120), (200, 160, 40)


def app_icon():
    """A crescent moon and a note on a night-blue disc."""
    img = Image(32, 32, CLEAR)
    sky = disc(16, 16, 15.5)
    for x, y in sky:
        img.set(x, y, NAVY)
    for x, y in outline(sky):
        img.set(x, y, BLACK)
    moon = disc(13, 16, 10) - disc(18, 13, 9)
    for x, y in moon:
        img.set(x, y, MOON)
    for x, y in outline(moon):
        img.set(x, y, MOONEDGE)
    note = shape(17, 8, [
        "     ##    ",
        "     ###   ",
        "     # ##  ",
        "     #  ## ",
        "     #   # ",
        "     #     ",
        "     #     ",
        "     #     ",
        "     #     ",
        "  ####     ",
        " #####     ",
        " ####      ",
    ])
    for x, y in note:
        img.set(x, y, WHITE)
    for x, y in [(6, 8), (24, 24), (9, 26), (25, 11)]:
        img.set(x, y, WHITE)
    return img


def about_icon():
    """A loudspeaker sending out sound waves."""
    img = Image(32, 32, CLEAR)
    magnet = [(x, y) for y in range(12, 20) for x in range(3, 9)]
    cone = [(x, y) for x in range(8, 16) for y in range(12 - (x - 8), 20 + (x - 8))]
    for part, colour in ((magnet, FACE), (cone, SHADOW)):
        for x, y in part:
            img.set(x, y, colour)
        for x, y in outline(part):
            img.set(x, y, BLACK)
    for r in (5, 9, 13):
        ring = disc(15, 16, r) - disc(15, 16, r - 2)
        for x, y in ring:
            if x >= 18 and abs(y + 0.5 - 16) < r * 0.75:
                img.set(x, y, BLUE)
    return img


# ---------------------------------------------------------------- output

def all_images():
    images = {
        300: background(), 301: large_digits(), 302: small_digits(), 304: layer_marks(),
        305: version_marks(), 306: stereo_marks(), 307: state_marks(), 308: progress_bar(),
        309: sync_marks(), 310: source_strip(), 502: app_icon(), 505: about_icon(),
    }
    for symbol, first, _ in BUTTONS:
        for offset, look in enumerate(FACE_LOOKS):
            images[first + offset] = button_face(symbol, look)
    return images


def window_preview(images):
    """The client area as the window paints it, with sample values on the panel."""
    img = images[300].crop(0, 0, 273, 112)
    for _, first, (x, y) in BUTTONS:
        img.blit(images[first + 2], 0, 0, 36, 20, x, y)
    for (x, y), cell in zip(LARGE_CELLS, [0, 8, 0, 2, 3, 4]):  # track 7, time 1:23
        img.blit(images[301], 15 * cell, 0, 15, 24, x, y)
    for (x, y), cell in zip(SMALL_CELLS, [5, 5, 2, 3, 9]):  # 44 kHz, 128 kBit/s
        img.blit(images[302], 6 * cell, 0, 6, 9, x, y)
    img.blit(images[307], 0, 11, 6, 11, *STATE_AT)
    img.blit(images[309], 12, 0, 6, 11, *SYNC_AT)
    img.blit(images[306], 0, 7, 11, 7, *STEREO_AT)
    img.blit(images[305], 0, 7, 7, 7, *VERSION_AT)
    img.blit(images[304], 0, 21, 12, 7, *LAYER_AT)
    img.blit(images[308], 0, 0, 60, 9, *PROGRESS_AT)
    img.blit(images[308], 0, 9, 90, 9, PROGRESS_AT[0] + 60, PROGRESS_AT[1])
    img.blit(images[310], 0, 11, 80, 11, *SOURCE_AT)
    return img


def contact_sheet(images, scale=3, per_row=6):
    """Every image scaled up and labelled with its id, in rows of `per_row`."""
    pad, label = 6, 9
    order = sorted(images)
    rows = [order[i:i + per_row] for i in range(0, len(order), per_row)]
    width = max(sum(images[i].w * scale + pad for i in row) for row in rows) + pad
    height = sum(max(images[i].h for i in row) * scale + label + pad for row in rows) + pad
    sheet = Image(width, height, (80, 80, 96))
    y = pad
    for row in rows:
        x = pad
        for rid in row:
            draw_text(sheet, x, y, str(rid), WHITE)
            big = images[rid].scaled(scale)
            sheet.blit(big, 0, 0, big.w, big.h, x, y + label)
            x += big.w + pad
        y += max(images[i].h for i in row) * scale + label + pad
    return sheet


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--out", default=os.path.join(here, "..", "res", "skin"),
                        help="folder for the images (default res/skin)")
    parser.add_argument("--sheet", help="also write a contact sheet of every image here")
    parser.add_argument("--preview", help="also write the window face, scaled x3, here")
    args = parser.parse_args(argv)

    images = all_images()
    os.makedirs(args.out, exist_ok=True)
    for rid, img in sorted(images.items()):
        write_png(os.path.join(args.out, "%d.png" % rid), img)
    if args.sheet:
        write_png(args.sheet, contact_sheet(images))
    if args.preview:
        write_png(args.preview, window_preview(images).scaled(3))
    return 0


if __name__ == "__main__":
    sys.exit(main())
