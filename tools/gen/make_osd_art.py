#!/usr/bin/env python3
"""Draws the OSD pictures and writes the two image strips of the program folder.

  vqiHK.dll       icon strip, 47 pages: on/off pictures, battery backgrounds, digits
  vqiHKLevel.dll  level strip, 4 pages: brightness and volume backgrounds and full bars

Both are multi-page TIFF files (8-bit RGBA, unassociated alpha, one uncompressed
strip per page) despite their names: the OSD selects pages by index.

Every shape is drawn from its signed distance, so edges are anti-aliased
analytically (the pixel's coverage is the part of it inside the edge) without
supersampling. Same input, same bytes: no time stamps, no randomness.

Usage: make_osd_art.py <output folder>"""
import math
import os
import struct
import sys

WHITE = (255, 255, 255)
AMBER = (255, 176, 46)
PLATE = (26, 29, 35)
PLATE_ALPHA = 0.80
DIM_ALPHA = 0.42

# Sizes the OSD's drawing rules depend on (the positions are fixed by the program).
ICON_SIZE = (150, 150)
BATTERY_SIZE = (230, 112)
DIGIT_SIZE = (20, 36)
LEVEL_SIZE = (276, 90)
BRIGHTNESS_BAR_AT = (128, 36)   # overlay position; one level = 15 px
BRIGHTNESS_SEGMENTS = 8
VOLUME_BAR_AT = (94, 33)        # overlay position; one step = 12 px
VOLUME_SEGMENTS = 13
BATTERY_DIGITS_AT = (115, 137, 159)
BATTERY_DIGITS_Y = 38


# --- shapes: each has a bounding box and a signed distance (negative inside)

class Shape:
    def __init__(self, box, dist):
        self.box = box
        self.dist = dist


def rounded_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - r
    return Shape((x0, y0, x1, y1), d)


def ring_of(shape, width):
    w = width / 2
    x0, y0, x1, y1 = shape.box
    return Shape((x0 - w, y0 - w, x1 + w, y1 + w), lambda x, y: abs(shape.dist(x, y)) - w)


def circle(cx, cy, r):
    return Shape((cx - r, cy - r, cx + r, cy + r), lambda x, y: math.hypot(x - cx, y - cy) - r)


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy or 1e-9

    def d(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - r
    return Shape((min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r), d)


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    n = len(points)

    def d(x, y):
        best = 1e9
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
            if (ay > y) != (by > y) and x < dx * (y - ay) / dy + ax:
                inside = not inside
        return -best if inside else best
    return Shape((min(xs), min(ys), max(xs), max(ys)), d)


def cut(shape, hole):
    """The shape with the hole taken out."""
    return Shape(shape.box, lambda x, y: max(shape.dist(x, y), -hole.dist(x, y)))


def arc_points(cx, cy, rx, ry, deg0, deg1, steps=14):
    pts = []
    for i in range(steps + 1):
        a = math.radians(deg0 + (deg1 - deg0) * i / steps)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def polyline(points, r):
    return [capsule(points[i][0], points[i][1], points[i + 1][0], points[i + 1][1], r)
            for i in range(len(points) - 1)]


# --- the canvas: premultiplied RGBA floats

class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [0.0] * (w * h * 4)

    def copy(self):
        c = Canvas(self.w, self.h)
        c.px = list(self.px)
        return c

    def draw(self, shapes, colour, alpha=1.0):
        """Source-over of the union of the shapes in one colour."""
        if isinstance(shapes, Shape):
            shapes = [shapes]
        cover = {}
        for s in shapes:
            x0, y0, x1, y1 = s.box
            for y in range(max(0, int(y0) - 1), min(self.h, int(math.ceil(y1)) + 2)):
                for x in range(max(0, int(x0) - 1), min(self.w, int(math.ceil(x1)) + 2)):
                    c = 0.5 - s.dist(x + 0.5, y + 0.5)
                    if c <= 0.0:
                        continue
                    c = 1.0 if c > 1.0 else c
                    k = y * self.w + x
                    if cover.get(k, 0.0) < c:
                        cover[k] = c
        r, g, b = (v / 255.0 for v in colour)
        px = self.px
        for k, c in cover.items():
            a = alpha * c
            i = k * 4
            keep = 1.0 - a
            px[i] = r * a + px[i] * keep
            px[i + 1] = g * a + px[i + 1] * keep
            px[i + 2] = b * a + px[i + 2] * keep
            px[i + 3] = a + px[i + 3] * keep

    def rgba_bytes(self):
        out = bytearray(self.w * self.h * 4)
        px = self.px
        for k in range(self.w * self.h):
            i = k * 4
            a = px[i + 3]
            if a <= 0.0:
                continue
            out[i] = min(255, int(px[i] / a * 255 + 0.5))
            out[i + 1] = min(255, int(px[i + 1] / a * 255 + 0.5))
            out[i + 2] = min(255, int(px[i + 2] / a * 255 + 0.5))
            out[i + 3] = min(255, int(a * 255 + 0.5))
        return bytes(out)


_plates = {}


def plate(size):
    """The rounded translucent dark plate every picture sits on."""
    if size not in _plates:
        w, h = size
        c = Canvas(w, h)
        outer = rounded_rect(0.5, 0.5, w - 0.5, h - 0.5, 18)
        c.draw(outer, PLATE, PLATE_ALPHA)
        c.draw(ring_of(rounded_rect(1.5, 1.5, w - 1.5, h - 1.5, 17), 1.0), WHITE, 0.16)
        _plates[size] = c
    return _plates[size].copy()


# --- a small stroke font: digits, a few letters and signs in a unit box

def _glyph_strokes(ch):
    """Polylines in a 1 x 1 box (y down); closed loops repeat their first point."""
    if ch == '0':
        return [arc_points(0.5, 0.5, 0.5, 0.5, 0, 360, 28)]
    if ch == '1':
        return [[(0.22, 0.2), (0.58, 0.0), (0.58, 1.0)]]
    if ch == '2':
        return [arc_points(0.5, 0.28, 0.45, 0.28, 190, 360, 10) +
                arc_points(0.5, 0.28, 0.45, 0.28, 0, 35, 4) + [(0.05, 1.0), (0.97, 1.0)]]
    if ch == '3':
        return [arc_points(0.48, 0.26, 0.42, 0.26, 200, 450, 14),
                arc_points(0.48, 0.73, 0.48, 0.27, 270, 520, 14)]
    if ch == '4':
        return [[(0.72, 1.0), (0.72, 0.0), (0.0, 0.68), (1.0, 0.68)]]
    if ch == '5':
        return [[(0.92, 0.0), (0.14, 0.0), (0.08, 0.44)] +
                arc_points(0.48, 0.68, 0.48, 0.32, 230, 495, 16)]
    if ch == '6':
        return [arc_points(0.5, 0.68, 0.46, 0.32, 0, 360, 24),
                [(0.04, 0.68)] + arc_points(0.6, 0.52, 0.56, 0.52, 180, 275, 8)]
    if ch == '7':
        return [[(0.0, 0.0), (1.0, 0.0), (0.36, 1.0)]]
    if ch == '8':
        return [arc_points(0.5, 0.24, 0.38, 0.24, 0, 360, 20),
                arc_points(0.5, 0.73, 0.48, 0.27, 0, 360, 24)]
    if ch == '9':
        return [arc_points(0.5, 0.32, 0.46, 0.32, 0, 360, 24),
                [(0.96, 0.32)] + arc_points(0.4, 0.48, 0.56, 0.52, 0, 95, 8)]
    if ch == 'O':
        return [arc_points(0.5, 0.5, 0.5, 0.5, 0, 360, 28)]
    if ch == 'N':
        return [[(0.0, 1.0), (0.0, 0.0), (1.0, 1.0), (1.0, 0.0)]]
    if ch == 'F':
        return [[(0.9, 0.0), (0.0, 0.0), (0.0, 1.0)], [(0.0, 0.48), (0.75, 0.48)]]
    if ch == 'A':
        return [[(0.0, 1.0), (0.5, 0.0), (1.0, 1.0)], [(0.2, 0.62), (0.8, 0.62)]]
    if ch == '?':
        return [arc_points(0.5, 0.26, 0.42, 0.26, 180, 390, 14) + [(0.5, 0.62), (0.5, 0.7)]]
    if ch == '%':
        return [arc_points(0.2, 0.2, 0.17, 0.2, 0, 360, 16), [(0.9, 0.0), (0.1, 1.0)],
                arc_points(0.8, 0.8, 0.17, 0.2, 0, 360, 16)]
    raise ValueError(ch)


def text_shapes(text, x, y, w, h, stroke, gap):
    """Shapes of a text whose characters are w x h, starting at (x, y)."""
    shapes = []
    for ch in text:
        cw = w * (0.85 if ch in 'NF' else 1.0)
        for line in _glyph_strokes(ch):
            pts = [(x + px * cw, y + py * h) for px, py in line]
            shapes += polyline(pts, stroke)
        if ch == '?':
            shapes.append(circle(x + 0.5 * cw, y + h, stroke * 1.2))
        x += cw + gap
    return shapes


def text_width(text, w, gap):
    return sum(w * (0.85 if ch in 'NF' else 1.0) for ch in text) + gap * (len(text) - 1)


# --- glyphs of the icon pictures, centred at (cx, cy), about 64 px across

S = 3.2  # stroke radius of the icon glyphs


def g_monitor(cx, cy):
    return [ring_of(rounded_rect(cx - 34, cy - 26, cx + 34, cy + 16, 5), 2 * S),
            capsule(cx, cy + 16, cx, cy + 26, S), capsule(cx - 16, cy + 27, cx + 16, cy + 27, S)]


def g_sun(cx, cy, r):
    shapes = [circle(cx, cy, r)]
    for i in range(8):
        a = math.radians(i * 45)
        shapes.append(capsule(cx + math.cos(a) * r * 1.6, cy + math.sin(a) * r * 1.6,
                              cx + math.cos(a) * r * 2.2, cy + math.sin(a) * r * 2.2, r * 0.28))
    return shapes


def g_battery(x, y, w, h):
    return [ring_of(rounded_rect(x, y, x + w, y + h, 5), 2 * S * 0.9),
            rounded_rect(x + w + 3, y + h * 0.3, x + w + 8, y + h * 0.7, 2)]


def battery_cells(x, y, w, h, n):
    cw = (w - 10 - 3 * 3) / 4
    return [rounded_rect(x + 5 + i * (cw + 3), y + 5, x + 5 + i * (cw + 3) + cw, y + h - 5, 2)
            for i in range(n)]


def g_speaker(cx, cy):
    return [polygon([(cx - 30, cy - 10), (cx - 18, cy - 10), (cx - 2, cy - 24), (cx - 2, cy + 24),
                     (cx - 18, cy + 10), (cx - 30, cy + 10)])]


def g_waves(cx, cy):
    return (polyline(arc_points(cx - 2, cy, 14, 14, -45, 45, 8), S) +
            polyline(arc_points(cx - 2, cy, 26, 26, -50, 50, 10), S))


def g_cross(cx, cy, r):
    return [capsule(cx - r, cy - r, cx + r, cy + r, S), capsule(cx - r, cy + r, cx + r, cy - r, S)]


def g_wifi(cx, cy):
    shapes = [circle(cx, cy + 22, 6)]
    for r in (16, 30, 44):
        shapes += polyline(arc_points(cx, cy + 22, r, r, 225, 315, 12), S)
    return shapes


def g_bell(cx, cy):
    body = arc_points(cx, cy - 6, 18, 20, 180, 360, 14)
    outline = [(cx - 24, cy + 18), (cx - 18, cy + 10), (cx - 18, cy - 6)] + body + \
              [(cx + 18, cy + 10), (cx + 24, cy + 18), (cx - 24, cy + 18)]
    return polyline(outline, S) + [circle(cx, cy + 26, 5), capsule(cx, cy - 30, cx, cy - 27, S)]


def g_bluetooth(cx, cy):
    pts = [(cx - 16, cy - 14), (cx + 16, cy + 14), (cx, cy + 30), (cx, cy - 30),
           (cx + 16, cy - 14), (cx - 16, cy + 14)]
    return polyline(pts, S)


def g_camera(cx, cy):
    return [ring_of(rounded_rect(cx - 32, cy - 18, cx + 14, cy + 20, 6), 2 * S),
            polygon([(cx + 18, cy - 2), (cx + 34, cy - 14), (cx + 34, cy + 16), (cx + 18, cy + 4)])]


def g_lan(cx, cy):
    shapes = [ring_of(rounded_rect(cx - 12, cy - 30, cx + 12, cy - 12, 3), 2 * S)]
    for x in (cx - 28, cx + 28):
        shapes.append(ring_of(rounded_rect(x - 12, cy + 10, x + 12, cy + 28, 3), 2 * S))
    shapes += polyline([(cx, cy - 12), (cx, cy - 1)], S)
    shapes += polyline([(cx - 28, cy + 10), (cx - 28, cy - 1), (cx + 28, cy - 1), (cx + 28, cy + 10)], S)
    return shapes


def g_eject(cx, cy):
    return [polygon([(cx, cy - 28), (cx + 30, cy + 6), (cx - 30, cy + 6)]),
            rounded_rect(cx - 30, cy + 16, cx + 30, cy + 26, 3)]


def g_rotate(cx, cy, clockwise):
    shapes = [ring_of(rounded_rect(cx - 12, cy - 18, cx + 12, cy + 18, 3), 2 * S * 0.8)]
    if clockwise:
        pts = arc_points(cx, cy, 32, 32, 200, 430, 20)
    else:
        pts = arc_points(cx, cy, 32, 32, 340, 110, 20)
    shapes += polyline(pts, S)
    (ex, ey), (px, py) = pts[-1], pts[-2]
    ang = math.atan2(ey - py, ex - px)
    tip = (ex + math.cos(ang) * 9, ey + math.sin(ang) * 9)
    left = (ex + math.cos(ang + 2.2) * 10, ey + math.sin(ang + 2.2) * 10)
    right = (ex + math.cos(ang - 2.2) * 10, ey + math.sin(ang - 2.2) * 10)
    shapes.append(polygon([tip, left, right]))
    return shapes


def g_reset(cx, cy):
    shapes = [ring_of(rounded_rect(cx - 34, cy - 26, cx + 34, cy + 16, 5), 2 * S),
              capsule(cx, cy + 16, cx, cy + 26, S), capsule(cx - 16, cy + 27, cx + 16, cy + 27, S)]
    pts = arc_points(cx, cy - 5, 11, 11, 300, 580, 16)
    shapes += polyline(pts, S * 0.8)
    ex, ey = pts[0]
    shapes.append(polygon([(ex - 1, ey - 8), (ex + 8, ey + 2), (ex - 5, ey + 4)]))
    return shapes


def g_two_screens(cx, cy):
    shapes = []
    for x, y in ((cx - 14, cy - 10), (cx + 14, cy + 10)):
        shapes.append(ring_of(rounded_rect(x - 22, y - 16, x + 22, y + 14, 4), 2 * S * 0.85))
    return shapes


def g_touchpad(cx, cy):
    return [ring_of(rounded_rect(cx - 30, cy - 28, cx + 30, cy + 28, 6), 2 * S),
            capsule(cx - 30, cy + 12, cx + 30, cy + 12, S * 0.8), capsule(cx, cy + 12, cx, cy + 28, S * 0.8)]


def g_lock_box(cx, cy, inner):
    return [ring_of(rounded_rect(cx - 30, cy - 30, cx + 30, cy + 30, 8), 2 * S)] + inner


def g_caps(cx, cy):
    return polyline([(cx - 8, cy + 12), (cx - 8, cy - 2), (cx - 20, cy - 2), (cx, cy - 22),
                     (cx + 20, cy - 2), (cx + 8, cy - 2), (cx + 8, cy + 12), (cx - 8, cy + 12)], S * 0.8) + \
        [capsule(cx - 10, cy + 21, cx + 10, cy + 21, S * 0.8)]


def g_scroll(cx, cy):
    return (polyline([(cx - 10, cy - 10), (cx, cy - 20), (cx + 10, cy - 10)], S * 0.8) +
            polyline([(cx - 10, cy + 10), (cx, cy + 20), (cx + 10, cy + 10)], S * 0.8) +
            [capsule(cx, cy - 20, cx, cy + 20, S * 0.8)])


# --- pictures

def on_off_picture(glyph, on, slash=True):
    """A glyph with its state: bright with "ON", or dimmed, struck through, with "OFF"."""
    c = plate(ICON_SIZE)
    cx, cy = ICON_SIZE[0] / 2, 62
    c.draw(glyph(cx, cy), WHITE, 1.0 if on else DIM_ALPHA)
    if not on and slash:
        c.draw(capsule(cx - 38, cy - 36, cx + 38, cy + 36, S * 1.1), WHITE)
    label = 'ON' if on else 'OFF'
    tw = text_width(label, 11, 5)
    c.draw(text_shapes(label, cx - tw / 2, 114, 11, 16, 1.9, 5), WHITE, 1.0 if on else 0.75)
    return c


def single_picture(glyph):
    c = plate(ICON_SIZE)
    c.draw(glyph(ICON_SIZE[0] / 2, ICON_SIZE[1] / 2 - 2), WHITE)
    return c


def battery_background(cells, colour):
    c = plate(BATTERY_SIZE)
    x, y, w, h = 22, 40, 70, 34
    c.draw(g_battery(x, y, w, h), WHITE)
    c.draw(battery_cells(x, y, w, h, cells), colour)
    c.draw(text_shapes('%', BATTERY_DIGITS_AT[2] + DIGIT_SIZE[0] + 6, BATTERY_DIGITS_Y + 8,
                       16, DIGIT_SIZE[1] - 16, 1.9, 0), WHITE, 0.85)
    return c


def digit(d):
    c = Canvas(*DIGIT_SIZE)
    c.draw(text_shapes(str(d), 3, 3, DIGIT_SIZE[0] - 6, DIGIT_SIZE[1] - 6, 2.5, 0), WHITE)
    return c


def no_reading_battery(cx, cy):
    return g_battery(cx - 38, cy - 18, 70, 36) + text_shapes('?', cx - 13, cy - 11, 12, 18, 2.3, 0)


def icon_strip():
    lock = lambda inner: (lambda cx, cy: g_lock_box(cx, cy, inner(cx, cy)))
    num = lambda cx, cy: text_shapes('1', cx - 7, cy - 16, 13, 32, S * 0.8, 0)
    frames = {
        0: on_off_picture(lambda cx, cy: g_monitor(cx, cy) + g_sun(cx, cy - 5, 5), False),
        1: on_off_picture(lambda cx, cy: g_monitor(cx, cy) + g_sun(cx, cy - 5, 5), True),
        2: battery_background(1, AMBER),
        3: battery_background(4, WHITE),
        4: battery_background(2, WHITE),
        5: battery_background(3, WHITE),
        16: on_off_picture(lock(g_caps), True, slash=False),
        17: on_off_picture(lock(g_caps), False, slash=False),
        18: on_off_picture(g_bell, False),
        19: on_off_picture(g_bell, True),
        20: on_off_picture(g_bluetooth, False),
        21: on_off_picture(g_bluetooth, True),
        22: single_picture(no_reading_battery),
        23: on_off_picture(lock(num), True, slash=False),
        24: on_off_picture(lock(num), False, slash=False),
        25: single_picture(g_two_screens),
        26: single_picture(g_reset),
        27: single_picture(lambda cx, cy: g_rotate(cx, cy, True)),
        28: on_off_picture(lock(g_scroll), True, slash=False),
        29: on_off_picture(lock(g_scroll), False, slash=False),
        30: single_picture(lambda cx, cy: g_speaker(cx, cy) + g_cross(cx + 22, cy, 10)),
        31: single_picture(lambda cx, cy: g_speaker(cx, cy) + g_waves(cx, cy)),
        32: on_off_picture(g_camera, False),
        33: on_off_picture(g_camera, True),
        34: on_off_picture(g_lan, False),
        35: on_off_picture(g_lan, True),
        36: on_off_picture(g_wifi, False),
        37: on_off_picture(g_wifi, True),
        38: single_picture(g_eject),
        39: single_picture(lambda cx, cy: g_rotate(cx, cy, False)),
        45: on_off_picture(g_touchpad, True),
        46: on_off_picture(g_touchpad, False),
    }
    for d in range(10):
        frames[6 + d] = digit(d)
    spare = plate(ICON_SIZE)  # pages 40 to 44 keep the page order; no code shows them
    return [frames.get(i, spare) for i in range(47)]


def brightness_segments(x, y, lit):
    return [rounded_rect(x + 1 + 15 * k, y, x + 14 + 15 * k, y + 16, 3) for k in range(BRIGHTNESS_SEGMENTS)]


def volume_segments(x, y):
    shapes = []
    for k in range(VOLUME_SEGMENTS):
        h = 8 + 16 * k / (VOLUME_SEGMENTS - 1)
        shapes.append(rounded_rect(x + 5 + 12 * k, y + 24 - h, x + 15 + 12 * k, y + 24, 2.5))
    return shapes


def level_strip():
    bright = plate(LEVEL_SIZE)
    bright.draw(g_sun(62, 45, 9), WHITE)
    bright.draw(brightness_segments(*BRIGHTNESS_BAR_AT, False), WHITE, 0.22)
    bright_bar = Canvas(BRIGHTNESS_SEGMENTS * 15 + 1, 16)
    bright_bar.draw(brightness_segments(0, 0, True), WHITE)

    volume = plate(LEVEL_SIZE)
    volume.draw(g_speaker(58, 45) + g_waves(58, 45), WHITE)
    volume.draw(volume_segments(*VOLUME_BAR_AT), WHITE, 0.22)
    volume_bar = Canvas(VOLUME_SEGMENTS * 12 + 4, 24)
    volume_bar.draw(volume_segments(0, 0), WHITE)
    return [bright, bright_bar, volume, volume_bar]


# --- multi-page TIFF: 8-bit RGBA, ExtraSamples = unassociated alpha, one strip a page

def tiff(pages):
    out = bytearray(b'II*\x00\x00\x00\x00\x00')
    ifd_link = 4  # where the offset of the next page's directory goes
    for page in pages:
        data = page.rgba_bytes()
        while len(out) % 2:
            out.append(0)
        pixels_at = len(out)
        out += data
        bits_at = len(out)
        out += struct.pack('<4H', 8, 8, 8, 8)
        res_at = len(out)
        out += struct.pack('<2I', 96, 1)
        entries = [
            (256, 3, 1, page.w), (257, 3, 1, page.h), (258, 3, 4, bits_at), (259, 3, 1, 1),
            (262, 3, 1, 2), (273, 4, 1, pixels_at), (277, 3, 1, 4), (278, 3, 1, page.h),
            (279, 4, 1, len(data)), (282, 5, 1, res_at), (283, 5, 1, res_at), (284, 3, 1, 1),
            (296, 3, 1, 2), (338, 3, 1, 2),
        ]
        ifd_at = len(out)
        struct.pack_into('<I', out, ifd_link, ifd_at)
        out += struct.pack('<H', len(entries))
        for tag, kind, count, value in entries:
            if kind == 3 and count == 1:
                out += struct.pack('<HHIHH', tag, kind, count, value, 0)
            else:
                out += struct.pack('<HHII', tag, kind, count, value)
        ifd_link = len(out)
        out += struct.pack('<I', 0)
    return bytes(out)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, pages in (('vqiHK.dll', icon_strip()), ('vqiHKLevel.dll', level_strip())):
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(tiff(pages))


if __name__ == '__main__':
    main(sys.argv[1])
