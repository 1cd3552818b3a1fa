#!/usr/bin/env python3
"""Draws the mini UI's icon images into images/comm below the program folder.

  DispSwitching.ini   the output panel: a notebook and a monitor
  DispResolution.ini  the resolution panel: a screen with arrows to its corners
  Presentation.ini    the presentation panel: a screen on a stand
  Option.ini          the options panel: a gear
  DispClose.ini       the options panel's close mark (drawn 10 x 10 by the panel)

Despite the ".ini" the files are PNG images (32 x 32, 8-bit RGBA), which the
panels load as images. Each sits on a rounded plate of its own hue, so that
any two tell apart in a screenshot. Drawn with the shapes of make_osd_art.py.
Same input, same bytes.

Usage: make_miniui_art.py <program folder>"""
import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_osd_art as art  # noqa: E402

SIZE = 32
WHITE = (255, 255, 255)
STROKE = 1.3


def icon(hue, glyphs):
    c = art.Canvas(SIZE, SIZE)
    c.draw(art.rounded_rect(0.5, 0.5, SIZE - 0.5, SIZE - 0.5, 6), hue, 1.0)
    c.draw(art.ring_of(art.rounded_rect(1.5, 1.5, SIZE - 1.5, SIZE - 1.5, 5), 0.6), WHITE, 0.35)
    c.draw(glyphs, WHITE)
    return c


def screen(x0, y0, x1, y1):
    return art.ring_of(art.rounded_rect(x0, y0, x1, y1, 1.5), STROKE)


def output_glyphs():
    notebook = [screen(5, 9, 17, 18), art.capsule(3.5, 21, 18.5, 21, STROKE)]
    monitor = [screen(16, 6, 28, 16), art.capsule(22, 16, 22, 21, STROKE), art.capsule(19, 22, 25, 22, STROKE)]
    return notebook + monitor


def arrow(ax, ay, bx, by):
    """A stroke from a to b with a head at b."""
    shaft = art.capsule(ax, ay, bx, by, STROKE * 0.8)
    a = math.atan2(by - ay, bx - ax)
    head = [art.capsule(bx, by, bx - 4 * math.cos(a + s * 0.6), by - 4 * math.sin(a + s * 0.6), STROKE * 0.8)
            for s in (-1, 1)]
    return [shaft] + head


def resolution_glyphs():
    shapes = [screen(6, 7, 26, 23)]
    shapes += arrow(15, 14, 9.5, 10.5)
    shapes += arrow(17, 16, 22.5, 19.5)
    return shapes


def presentation_glyphs():
    return [screen(5, 5, 27, 19), art.capsule(16, 19, 16, 23, STROKE),
            art.capsule(16, 23, 10, 28, STROKE), art.capsule(16, 23, 22, 28, STROKE),
            art.capsule(9, 15, 14, 11, STROKE * 0.8), art.capsule(14, 11, 17, 13, STROKE * 0.8),
            art.capsule(17, 13, 23, 8, STROKE * 0.8)]


def gear_glyphs():
    cx = cy = SIZE / 2
    teeth = [art.capsule(cx + 7 * math.cos(math.radians(a)), cy + 7 * math.sin(math.radians(a)),
                         cx + 10.5 * math.cos(math.radians(a)), cy + 10.5 * math.sin(math.radians(a)), 2.0)
             for a in range(0, 360, 45)]
    return teeth + [art.cut(art.circle(cx, cy, 8), art.circle(cx, cy, 3.5))]


def close_glyphs():
    return [art.capsule(9, 9, 23, 23, 3.0), art.capsule(23, 9, 9, 23, 3.0)]


def png(canvas):
    raw = bytearray()
    rgba = canvas.rgba_bytes()
    row = SIZE * 4
    for y in range(SIZE):
        raw.append(0)  # no filter
        raw += rgba[y * row:(y + 1) * row]

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


IMAGES = [
    ("DispSwitching.ini", (38, 110, 196), output_glyphs),
    ("DispResolution.ini", (40, 150, 96), resolution_glyphs),
    ("Presentation.ini", (214, 122, 30), presentation_glyphs),
    ("Option.ini", (108, 84, 170), gear_glyphs),
    ("DispClose.ini", (190, 48, 48), close_glyphs),
]


def main(folder):
    out = os.path.join(folder, "images", "comm")
    os.makedirs(out, exist_ok=True)
    for name, hue, glyphs in IMAGES:
        with open(os.path.join(out, name), "wb") as f:
            f.write(png(icon(hue, glyphs())))


if __name__ == "__main__":
    main(sys.argv[1])
