#!/usr/bin/env python3
"""Draws the toggle OSDs' image strips.

  vqiSRS.dll     SRS toggle, 10 pages: effect A, effect B and effects off
                 (unselected, selected, label) and the background (page 9)
  vqiAS.dll      resolution toggle, 19 pages: background, the three sizes in the
                 landscape and the portrait set (selected, unselected, label)
  vqiWD.dll      wireless toggle, 14 pages: the two-choice and four-choice
                 backgrounds and the four radio combinations
  vqiRFfast.dll  RF switch with all three radios, 8 whole pictures (one per state)
  vqiRF.dll      RF switch composed of two radios: two backgrounds and each
                 radio's on and off icon and label

Multi-page TIFF files like the other strips, drawn with the shapes of
make_osd_art.py. Every choice has a hue and a name of its own, so any two
choices differ in every frame. Same input, same bytes.

Usage: make_toggle_art.py <output folder>"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_osd_art as art  # noqa: E402
import make_display_switch_art as ds  # noqa: E402  (adds its letters to the stroke font)
from make_osd_art import (Canvas, WHITE, arc_points, circle, rounded_rect, ring_of, text_shapes,  # noqa: E402
                          text_width, tiff)

_LETTERS = {
    'S': [[(0.95, 0.1), (0.5, 0.0), (0.05, 0.2), (0.1, 0.45), (0.9, 0.55), (0.95, 0.8), (0.5, 1.0), (0.05, 0.9)]],
    'B': [[(0, 0), (0, 1), (0.7, 1), (0.95, 0.75), (0.7, 0.5), (0, 0.5)], [(0, 0), (0.65, 0), (0.85, 0.25), (0.65, 0.5)]],
    'X': [[(0, 0), (1, 1)], [(1, 0), (0, 1)]],
    'G': [arc_points(0.55, 0.5, 0.5, 0.5, 45, 340, 18) + [(1.0, 0.55), (0.6, 0.55)]],
}
_font = art._glyph_strokes


def _strokes(ch):
    return _LETTERS[ch] if ch in _LETTERS else _font(ch)


art._glyph_strokes = _strokes

LABEL_HEIGHT = 22


def icon(size, hue, selected, mark):
    """A tile of a choice: its hue, its mark written large, brighter when selected."""
    w, h = size
    c = Canvas(w, h)
    c.draw(rounded_rect(1, 1, w - 1, h - 1, 12), art.PLATE, 0.9 if selected else 0.6)
    colour = ds.hue_colour(hue, 0.62 if selected else 0.42)
    c.draw(ring_of(rounded_rect(2.5, 2.5, w - 2.5, h - 2.5, 11), 3.0 if selected else 1.5), colour)
    gw = min(16, (w - 16) / max(1, len(mark)) - 3)
    tw = text_width(mark, gw, 3)
    c.draw(text_shapes(mark, w / 2 - tw / 2, h / 2 - 12, gw, 24, 2.2 if selected else 1.6, 3),
           WHITE if selected else colour)
    if selected:
        c.draw(circle(w / 2, h - 11, 4), colour)
    return c


def label(name, hue):
    tw = text_width(name, 9, 3)
    w = int(math.ceil(tw)) + 20
    c = Canvas(w, LABEL_HEIGHT)
    c.draw(rounded_rect(0.5, 0.5, w - 0.5, LABEL_HEIGHT - 0.5, 9), ds.hue_colour(hue, 0.32), 0.9)
    c.draw(text_shapes(name, 10, 4, 9, 14, 1.4, 3), WHITE)
    return c


def pages_of(pages, count):
    assert sorted(pages) == list(range(count)), sorted(set(range(count)) - set(pages))
    return [pages[i] for i in range(count)]


def srs_strip():
    # frames (unselected, selected, label), mark, name, hue
    choices = [((7, 6, 8), 'A', 'SRS A', 40), ((5, 4, 1), 'B', 'SRS B', 200), ((3, 2, 0), 'OFF', 'OFF', 330)]
    pages = {9: ds.background_frame((288, 140))}
    for (unselected, selected, lab), mark, name, hue in choices:
        pages[unselected] = icon((84, 84), hue, False, mark)
        pages[selected] = icon((84, 84), hue, True, mark)
        pages[lab] = label(name, hue)
    return pages_of(pages, 10)


def resolution_strip():
    sizes = [(800, 480), (800, 600), (1024, 600)]
    landscape = [(11, 5, 17), (12, 6, 18), (7, 1, 13)]
    portrait = [(8, 2, 14), (10, 4, 16), (9, 3, 15)]
    pages = {0: ds.background_frame((280, 137))}
    for i, (w, h) in enumerate(sizes):
        for frames, (a, b), hue in ((landscape[i], (w, h), 90 + 50 * i), (portrait[i], (h, w), 250 + 40 * i)):
            unselected, selected, lab = frames
            mark = str(a // 100)
            name = '%dX%d' % (a, b)
            pages[unselected] = icon((80, 84), hue, False, mark)
            pages[selected] = icon((80, 84), hue, True, mark)
            pages[lab] = label(name, hue)
    return pages_of(pages, 19)


def wireless_strip():
    # (unselected, selected, label), mark, name, hue
    choices = [((11, 10, 6), 'NN', 'ON ON', 120), ((13, 12, 7), 'NF', 'ON OFF', 60),
               ((2, 1, 4), 'FN', 'OFF ON', 180), ((8, 9, 5), 'FF', 'OFF OFF', 0)]
    pages = {0: ds.background_frame((221, 125)), 3: ds.background_frame((365, 135))}
    for (unselected, selected, lab), mark, name, hue in choices:
        pages[unselected] = icon((84, 84), hue, False, mark)
        pages[selected] = icon((84, 84), hue, True, mark)
        pages[lab] = label(name, hue)
    return pages_of(pages, 14)


# The RF radios: mark and hue; drawing order d0, d2, d1.
RADIOS = {'d0': ('W', 200), 'd2': ('B', 250), 'd1': ('3G', 30)}
RF_ICON = (110, 88)


def radio_icon(radio, on):
    mark, hue = RADIOS[radio]
    return icon(RF_ICON, hue if on else hue + 180, on, mark)


def radio_label(radio, on):
    mark, hue = RADIOS[radio]
    return label(mark + (' ON' if on else ' OFF'), hue if on else hue + 180)


def paste(target, source, x, y):
    """Source-over of a canvas onto another at (x, y)."""
    for sy in range(source.h):
        ty = y + sy
        if not 0 <= ty < target.h:
            continue
        for sx in range(source.w):
            tx = x + sx
            if not 0 <= tx < target.w:
                continue
            i = (sy * source.w + sx) * 4
            a = source.px[i + 3]
            if a <= 0.0:
                continue
            j = (ty * target.w + tx) * 4
            keep = 1.0 - a
            for k in range(4):
                target.px[j + k] = source.px[i + k] + target.px[j + k] * keep


def rf_fast_strip():
    icons = [(20, 0), (150, 5), (275, 0)]
    labels = [(22, 93), (149, 99), (275, 93)]
    pages = {}
    for d0 in (0, 1):
        for d2 in (0, 1):
            for d1 in (0, 1):
                c = ds.background_frame((400, 125))
                for i, (radio, on) in enumerate((('d0', d0), ('d2', d2), ('d1', d1))):
                    paste(c, radio_icon(radio, on), *icons[i])
                    paste(c, radio_label(radio, on), *labels[i])
                pages[4 * d0 + 2 * d2 + d1] = c
    return pages_of(pages, 8)


def rf_strip():
    pages = {0: ds.background_frame((300, 120)), 1: ds.background_frame((400, 125))}
    frames = {'d0': (11, 7, 10, 6), 'd2': (3, 5, 2, 4), 'd1': (13, 9, 12, 8)}
    for radio, (on_icon, on_label, off_icon, off_label) in frames.items():
        pages[on_icon] = radio_icon(radio, True)
        pages[on_label] = radio_label(radio, True)
        pages[off_icon] = radio_icon(radio, False)
        pages[off_label] = radio_label(radio, False)
    return pages_of(pages, 14)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    files = {'vqiSRS.dll': srs_strip(), 'vqiAS.dll': resolution_strip(), 'vqiWD.dll': wireless_strip(),
             'vqiRFfast.dll': rf_fast_strip(), 'vqiRF.dll': rf_strip()}
    for name, pages in files.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(tiff(pages))


if __name__ == '__main__':
    main(sys.argv[1])
