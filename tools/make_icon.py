#!/usr/bin/env python3
"""Draws the application icon for the desktop: a crescent moon and a note on
a night-blue disc, the motif of the window icon in the skin.

Run by hand after changing the art; the files it writes under res/icons/ are
committed and installed into the hicolor icon theme. Standard library only.
One list of shapes gives both the scalable SVG and the PNG sizes, which are
drawn from the shapes with 4 x 4 samples a pixel, so every size is sharp and
they cannot drift apart.

    tools/make_icon.py              write res/icons/<size>.png and scalable.svg
    tools/make_icon.py --out DIR    write them to DIR instead
"""

import argparse
import math
import os
import struct
import sys
import zlib

NAME = "org.orvantis.Brelune3"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
VIEW = 256  # the shapes' coordinates, and the SVG's view box

EDGE, NIGHT, MOON, NOTE = (4, 8, 40), (20, 32, 112), (255, 226, 112), (255, 255, 255)


class Circle:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def inside(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.r ** 2

    def svg(self):
        return '<circle cx="%g" cy="%g" r="%g"/>' % (self.cx, self.cy, self.r)


class Ellipse:
    """An ellipse turned by `angle` degrees (clockwise on screen, as in SVG)."""

    def __init__(self, cx, cy, rx, ry, angle):
        self.cx, self.cy, self.rx, self.ry, self.angle = cx, cy, rx, ry, angle
        self.cos, self.sin = math.cos(math.radians(angle)), math.sin(math.radians(angle))

    def inside(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        u = dx * self.cos + dy * self.sin
        v = -dx * self.sin + dy * self.cos
        return (u / self.rx) ** 2 + (v / self.ry) ** 2 <= 1

    def svg(self):
        return '<ellipse cx="%g" cy="%g" rx="%g" ry="%g" transform="rotate(%g %g %g)"/>' % (
            self.cx, self.cy, self.rx, self.ry, self.angle, self.cx, self.cy)


class Polygon:
    def __init__(self, points):
        self.points = points

    def inside(self, x, y):
        crossings = False
        pts = self.points
        for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                crossings = not crossings
        return crossings

    def svg(self):
        return '<polygon points="%s"/>' % " ".join("%g,%g" % p for p in self.points)


class Difference:
    """The part of `shape` outside `cut`; in SVG, `shape` under a mask."""

    def __init__(self, shape, cut, mask_id):
        self.shape, self.cut, self.mask_id = shape, cut, mask_id

    def inside(self, x, y):
        return self.shape.inside(x, y) and not self.cut.inside(x, y)

    def svg_defs(self):
        cut = self.cut.svg().replace("/>", ' fill="#000"/>')
        return ('<mask id="%s" maskUnits="userSpaceOnUse" x="0" y="0" width="%d" height="%d">'
                '<rect width="%d" height="%d" fill="#fff"/>%s</mask>'
                % (self.mask_id, VIEW, VIEW, VIEW, VIEW, cut))

    def svg(self):
        return self.shape.svg().replace("/>", ' mask="url(#%s)"/>' % self.mask_id)


def note(grow):
    """An eighth note, every part widened by `grow` (its dark outline)."""
    head = Ellipse(170, 176, 27 + grow, 19 + grow, -24)
    stem = Polygon([(182 - grow, 62 - grow), (195 + grow, 62 - grow), (195 + grow, 178), (182 - grow, 178)])
    flag = Polygon([(189, 62 - grow), (209 + grow, 80 - grow), (226 + grow, 104), (226 + grow, 130 + grow),
                    (212 - grow, 154 + grow), (214 - grow, 126), (204 - grow, 108), (189, 98 + grow)])
    return [head, stem, flag]


def layers():
    """(colour, shapes) from the bottom up."""
    crescent = Difference(Circle(104, 126, 76), Circle(140, 100, 66), "moon-cut")
    stars = [Circle(62, 60, 6), Circle(206, 44, 5), Circle(48, 184, 4), Circle(122, 36, 4)]
    return [
        (EDGE, [Circle(128, 128, 124)]),
        (NIGHT, [Circle(128, 128, 116)]),
        (MOON, [crescent]),
        (EDGE, note(7)),
        (NOTE, note(0) + stars),
    ]


def svg_text():
    defs, body = [], []
    for colour, shapes in layers():
        for shape in shapes:
            if isinstance(shape, Difference):
                defs.append(shape.svg_defs())
        body.append('<g fill="#%02x%02x%02x">%s</g>' % (colour + ("".join(s.svg() for s in shapes),)))
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
            '<title>Brelune3</title>\n<defs>%s</defs>\n%s\n</svg>\n'
            % (VIEW, VIEW, VIEW, VIEW, "".join(defs), "\n".join(body)))


def render(size, samples=4):
    """Rows of (r, g, b, a) bytes: each layer covers a pixel by the share of its samples inside."""
    scale = VIEW / size
    offsets = [(i + 0.5) / samples for i in range(samples)]
    stack = layers()
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0.0  # premultiplied
            for colour, shapes in stack:
                hits = 0
                for oy in offsets:
                    y = (py + oy) * scale
                    for ox in offsets:
                        x = (px + ox) * scale
                        if any(s.inside(x, y) for s in shapes):
                            hits += 1
                cover = hits / (samples * samples)
                if cover:
                    r = colour[0] * cover + r * (1 - cover)
                    g = colour[1] * cover + g * (1 - cover)
                    b = colour[2] * cover + b * (1 - cover)
                    a = cover + a * (1 - cover)
            if a:
                row += bytes((round(r / a), round(g / a), round(b / a), round(a * 255)))
            else:
                row += b"\0\0\0\0"
        rows.append(bytes(row))
    return rows


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(rows):
    """An 8-bit RGBA PNG of square rows."""
    size = len(rows)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + _chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + _chunk(b"IDAT", zlib.compress(raw, 9))
            + _chunk(b"IEND", b""))


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--out", default=os.path.join(here, "..", "res", "icons"),
                        help="folder for the icons (default res/icons)")
    args = parser.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)
    with open(os.path.join(args.out, "scalable.svg"), "w", encoding="utf-8") as f:
        f.write(svg_text())
    for size in SIZES:
        with open(os.path.join(args.out, "%d.png" % size), "wb") as f:
            f.write(encode_png(render(size)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
