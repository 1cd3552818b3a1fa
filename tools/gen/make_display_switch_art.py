#!/usr/bin/env python3
"""Draws the display-switch OSD's pictures and its click sound.

  vqiDS.dll      display-switch strip, 62 pages: arrows, backgrounds for 2, 3, 4
                 and 5-or-more choices, the unselected, selected and label frames
                 of every output combination, and the stand-alone pictures of the
                 single outputs
  BgBlnk.bg2 ... BgBlnk.bg5   the faint plates behind the confirmation animation
  clickerx.wav   the click of a selection step

The images are multi-page TIFF files like the other strips (drawn with the
shapes of make_osd_art.py). Every output combination has a hue of its own and
its own glyphs and name, so any two choices differ in every frame. Same input,
same bytes.

Usage: make_display_switch_art.py <output folder>"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_osd_art as art  # noqa: E402
from make_osd_art import (Canvas, WHITE, arc_points, capsule, circle, plate, polygon, polyline,  # noqa: E402
                          ring_of, rounded_rect, text_shapes, text_width, tiff)

ICON = (84, 84)          # unselected and selected frames; the OSD shows unselected ones at 60 %
STAND_ALONE = (150, 150)
ARROW = (20, 30)
LABEL_HEIGHT = 22
BACKGROUNDS = {2: (180, 130), 3: (260, 130), 4: (365, 130), 5: (455, 130)}

# --- letters the names need, in the unit box of the shared stroke font

_LETTERS = {
    'L': [[(0, 0), (0, 1), (0.9, 1)]],
    'C': [arc_points(0.55, 0.5, 0.5, 0.5, 45, 315, 18)],
    'D': [[(0, 0), (0.42, 0)] + arc_points(0.42, 0.5, 0.55, 0.5, -90, 90, 14) + [(0.42, 1), (0, 1), (0, 0)]],
    'R': [[(0, 1), (0, 0), (0.55, 0)] + arc_points(0.55, 0.26, 0.4, 0.26, -90, 90, 10) + [(0.55, 0.52), (0, 0.52)],
          [(0.45, 0.52), (0.95, 1)]],
    'T': [[(0, 0), (1, 0)], [(0.5, 0), (0.5, 1)]],
    'V': [[(0, 0), (0.5, 1), (1, 0)]],
    'H': [[(0, 0), (0, 1)], [(1, 0), (1, 1)], [(0, 0.5), (1, 0.5)]],
    'M': [[(0, 1), (0, 0), (0.5, 0.6), (1, 0), (1, 1)]],
    'I': [[(0.5, 0), (0.5, 1)], [(0.2, 0), (0.8, 0)], [(0.2, 1), (0.8, 1)]],
    'U': [[(0, 0), (0, 0.6)] + arc_points(0.5, 0.6, 0.5, 0.4, 180, 0, 12) + [(1, 0)]],
    'W': [[(0, 0), (0.25, 1), (0.5, 0.35), (0.75, 1), (1, 0)]],
    'P': [[(0, 1), (0, 0), (0.55, 0)] + arc_points(0.55, 0.27, 0.4, 0.27, -90, 90, 10) + [(0.55, 0.54), (0, 0.54)]],
    'E': [[(0.9, 0), (0, 0), (0, 1), (0.9, 1)], [(0, 0.5), (0.7, 0.5)]],
    '+': [[(0.5, 0.2), (0.5, 0.8)], [(0.2, 0.5), (0.8, 0.5)]],
    ' ': [],
}
_shared_strokes = art._glyph_strokes


def _strokes(ch):
    return _LETTERS[ch] if ch in _LETTERS else _shared_strokes(ch)


art._glyph_strokes = _strokes

# --- the outputs and their combinations

# name, hue (degrees) and frames (unselected, selected, label, stand-alone or None)
OUTPUTS = {
    0x01: ('LCD', 200, (29, 15, 44, 28)),
    0x02: ('CRT', 30, (8, 6, 40, 7)),
    0x04: ('TV', 120, (59, 57, 55, 58)),
    0x08: ('HDMI', 280, (11, 9, 42, 10)),
    0x10: ('HDMI 2', 330, (14, 12, 43, 13)),
    0x03: ('LCD+CRT', 50, (18, 16, 45, None)),
    0x05: ('LCD+TV', 95, (32, 30, 51, None)),
    0x09: ('LCD+HDMI', 255, (22, 20, 47, None)),
    0x11: ('LCD+HDMI 2', 305, (26, 24, 49, None)),
    0x103: ('DUAL CRT', 15, (19, 17, 46, None)),
    0x105: ('DUAL TV', 145, (33, 31, 52, None)),
    0x109: ('DUAL HDMI', 230, (23, 21, 48, None)),
    0x111: ('DUAL HDMI 2', 350, (27, 25, 50, None)),
    0x19: ('LCD+WD', 175, (36, 34, 53, None)),
    0x2B: ('WD', 160, (61, 60, 56, None)),
    0x119: ('DUAL WD', 185, (37, 35, 54, None)),
    0x12: ('PROFILE', 60, (39, 38, 41, None)),
}


def hue_colour(hue, light=0.62):
    """A saturated colour of a hue (HSL with saturation 0.75)."""
    s = 0.75
    c = (1 - abs(2 * light - 1)) * s
    h = (hue % 360) / 60.0
    x = c * (1 - abs(h % 2 - 1))
    r, g, b = [(c, x, 0), (x, c, 0), (0, c, x), (0, x, c), (x, 0, c), (c, 0, x)][int(h) % 6]
    m = light - c / 2
    return tuple(int(round((v + m) * 255)) for v in (r, g, b))


# --- device glyphs, centred at (cx, cy), k = scale (1 = about 40 px across)

def g_panel(cx, cy, k):
    st = 2.2 * k
    return [ring_of(rounded_rect(cx - 16 * k, cy - 14 * k, cx + 16 * k, cy + 6 * k, 2 * k), st),
            polygon([(cx - 20 * k, cy + 9 * k), (cx + 20 * k, cy + 9 * k), (cx + 23 * k, cy + 14 * k),
                     (cx - 23 * k, cy + 14 * k)])]


def g_crt(cx, cy, k):
    st = 2.2 * k
    return [ring_of(rounded_rect(cx - 18 * k, cy - 15 * k, cx + 18 * k, cy + 9 * k, 3 * k), st),
            capsule(cx, cy + 9 * k, cx, cy + 14 * k, st / 2), capsule(cx - 9 * k, cy + 15 * k, cx + 9 * k, cy + 15 * k, st / 2)]


def g_tv(cx, cy, k):
    st = 2.2 * k
    return [ring_of(rounded_rect(cx - 18 * k, cy - 8 * k, cx + 18 * k, cy + 14 * k, 4 * k), st),
            capsule(cx, cy - 9 * k, cx - 9 * k, cy - 18 * k, st / 2), capsule(cx, cy - 9 * k, cx + 9 * k, cy - 18 * k, st / 2)]


def g_hdmi(cx, cy, k, second=False):
    st = 2.2 * k
    shapes = [ring_of(polygon([(cx - 18 * k, cy - 8 * k), (cx + 18 * k, cy - 8 * k), (cx + 18 * k, cy + 1 * k),
                               (cx + 11 * k, cy + 9 * k), (cx - 11 * k, cy + 9 * k), (cx - 18 * k, cy + 1 * k)]), st)]
    shapes += [rounded_rect(cx - 12 * k, cy - 3 * k, cx + 12 * k, cy + 1 * k, 1 * k)]
    if second:
        shapes += text_shapes('2', cx + 12 * k, cy - 19 * k, 7 * k, 10 * k, 1.2 * k, 0)
    return shapes


def g_wireless(cx, cy, k):
    shapes = [circle(cx, cy + 10 * k, 3 * k)]
    for r in (8, 15, 22):
        shapes += polyline(arc_points(cx, cy + 10 * k, r * k, r * k, 225, 315, 10), 1.3 * k)
    return shapes


def g_profile(cx, cy, k):
    pts = []
    for i in range(10):
        r = (17 if i % 2 == 0 else 7) * k
        a = math.radians(-90 + 36 * i)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return [polygon(pts)]


DEVICE = {0x01: g_panel, 0x02: g_crt, 0x04: g_tv, 0x08: g_hdmi, 0x10: lambda cx, cy, k: g_hdmi(cx, cy, k, True),
          0x20: g_wireless}


def combination_glyphs(code, cx, cy, k):
    """Shapes of an output combination: one device, a clone (=) or a dual view (two joined screens)."""
    if code == 0x12:
        return g_profile(cx, cy, k)
    if code == 0x2B:
        return g_wireless(cx, cy - 4 * k, k * 1.2)
    if code in DEVICE:
        return DEVICE[code](cx, cy, k)
    dual = code & 0x100
    other = (code & 0xFF) & ~0x01
    if code & 0xFF == 0x19:
        other = 0x20
    small = k * 0.55
    left = g_panel(cx - 12 * k, cy, small)
    right = DEVICE[other](cx + 12 * k, cy, small)
    if dual:
        mark = polyline([(cx - 3 * k, cy - 4 * k), (cx + 3 * k, cy), (cx - 3 * k, cy + 4 * k)], 1.1 * k)
        bar = [rounded_rect(cx - 22 * k, cy + 13 * k, cx + 22 * k, cy + 15 * k, 1 * k)]
        return left + right + mark + bar
    mark = [capsule(cx - 3 * k, cy - 2 * k, cx + 3 * k, cy - 2 * k, 0.9 * k),
            capsule(cx - 3 * k, cy + 2 * k, cx + 3 * k, cy + 2 * k, 0.9 * k)]
    return left + right + mark


# --- frames

def icon_frame(code, selected):
    name, hue, _ = OUTPUTS[code]
    w, h = ICON
    c = Canvas(w, h)
    c.draw(rounded_rect(1, 1, w - 1, h - 1, 12), art.PLATE, 0.85 if selected else 0.6)
    colour = hue_colour(hue, 0.62 if selected else 0.45)
    c.draw(ring_of(rounded_rect(2.5, 2.5, w - 2.5, h - 2.5, 11), 3.0 if selected else 1.5), colour,
           1.0 if selected else 0.8)
    c.draw(combination_glyphs(code, w / 2, h / 2 + 2, 1.35), WHITE if selected else colour, 1.0 if selected else 0.9)
    return c


def label_frame(code):
    name, hue, _ = OUTPUTS[code]
    tw = text_width(name, 9, 3)
    w, h = int(math.ceil(tw)) + 20, LABEL_HEIGHT
    c = Canvas(w, h)
    c.draw(rounded_rect(0.5, 0.5, w - 0.5, h - 0.5, 9), hue_colour(hue, 0.32), 0.9)
    c.draw(text_shapes(name, 10, 4, 9, 14, 1.4, 3), WHITE)
    return c


def stand_alone_frame(code):
    name, hue, _ = OUTPUTS[code]
    c = plate(STAND_ALONE)
    colour = hue_colour(hue)
    c.draw(ring_of(rounded_rect(3.5, 3.5, STAND_ALONE[0] - 3.5, STAND_ALONE[1] - 3.5, 16), 2.0), colour)
    c.draw(combination_glyphs(code, STAND_ALONE[0] / 2, 62, 2.0), WHITE)
    tw = text_width(name, 11, 4)
    c.draw(text_shapes(name, STAND_ALONE[0] / 2 - tw / 2, 112, 11, 16, 1.8, 4), colour)
    return c


def arrow_frame(left):
    w, h = ARROW
    c = Canvas(w, h)
    if left:
        pts = [(w - 4, 3), (4, h / 2), (w - 4, h - 3)]
    else:
        pts = [(4, 3), (w - 4, h / 2), (4, h - 3)]
    c.draw(polygon(pts), WHITE, 0.9)
    return c


def background_frame(size, alpha=art.PLATE_ALPHA, ring=0.16):
    w, h = size
    c = Canvas(w, h)
    c.draw(rounded_rect(0.5, 0.5, w - 0.5, h - 0.5, 18), art.PLATE, alpha)
    c.draw(ring_of(rounded_rect(1.5, 1.5, w - 1.5, h - 1.5, 17), 1.0), WHITE, ring)
    return c


def display_switch_strip():
    pages = {0: arrow_frame(True), 1: arrow_frame(False)}
    for count, size in BACKGROUNDS.items():
        bg = background_frame(size)
        # the arc the icons sit on
        bg.draw(polyline(arc_points(size[0] / 2, -size[0] * 0.9 + 100, size[0] * 0.55, size[0] * 0.9, 30, 150, 24), 1.0),
                WHITE, 0.12)
        pages[count] = bg
    for code, (_, _, (unselected, selected, label, alone)) in OUTPUTS.items():
        pages[unselected] = icon_frame(code, False)
        pages[selected] = icon_frame(code, True)
        pages[label] = label_frame(code)
        if alone is not None:
            pages[alone] = stand_alone_frame(code)
    assert sorted(pages) == list(range(62)), sorted(set(range(62)) - set(pages))
    return [pages[i] for i in range(62)]


def blank_pictures():
    sizes = {'bg2': BACKGROUNDS[2], 'bg3': BACKGROUNDS[3], 'bg4': BACKGROUNDS[4], 'bg5': BACKGROUNDS[5]}
    return {'BgBlnk.' + ext: background_frame(size, 0.35, 0.08) for ext, size in sizes.items()}


def click_wav():
    """A 40 ms click: a fast-decaying 2.4 kHz tone over a 700 Hz knock, 22,050 Hz, 16-bit mono."""
    rate, n = 22050, 882
    samples = bytearray()
    for i in range(n):
        t = i / rate
        v = math.exp(-t * 160) * (0.55 * math.sin(2 * math.pi * 2400 * t) + 0.35 * math.sin(2 * math.pi * 700 * t))
        samples += struct.pack('<h', int(round(v * 26000)))
    fmt = struct.pack('<HHIIHH', 1, 1, rate, rate * 2, 2, 16)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + b'data' + struct.pack('<I', len(samples)) + samples
    return b'RIFF' + struct.pack('<I', len(body)) + body


def main(folder):
    os.makedirs(folder, exist_ok=True)
    files = {'vqiDS.dll': tiff(display_switch_strip())}
    for name, page in blank_pictures().items():
        files[name] = tiff([page])
    files['clickerx.wav'] = click_wav()
    for name, data in files.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
