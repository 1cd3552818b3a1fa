#!/usr/bin/env python3
"""Draws the application icon (32x32 and 16x16, 32-bit with alpha) and writes an .ico file.

The picture: a rounded dark plate with a white key cap and an amber lightning mark.
Same input, same bytes: no time stamps, no randomness."""
import struct
import sys


def draw(size):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    r = size * 0.22
    for y in range(size):
        for x in range(size):
            cx = min(max(x + 0.5, r), size - r)
            cy = min(max(y + 0.5, r), size - r)
            d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
            if d <= r:
                a = 235 if d <= r - 1 else int(235 * (r - d + 1) / 2)
                px[y][x] = (40, 44, 52, max(0, min(255, a)))
    # key cap
    k0, k1 = int(size * 0.22), int(size * 0.78)
    for y in range(k0, k1):
        for x in range(k0, k1):
            edge = x in (k0, k1 - 1) or y in (k0, k1 - 1)
            px[y][x] = (250, 250, 250, 255) if edge else (70, 76, 88, 255)
    # lightning mark
    s = size / 32.0
    pts = [(18, 9), (12, 17), (16, 17), (13, 24), (20, 15), (16, 15)]
    poly = [(xx * s, yy * s) for xx, yy in pts]
    for y in range(size):
        for x in range(size):
            if inside(poly, x + 0.5, y + 0.5):
                px[y][x] = (255, 196, 40, 255)
    return px


def inside(poly, x, y):
    c = False
    n = len(poly)
    for i in range(n):
        x1, y1 = poly[i]
        x2, y2 = poly[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
            c = not c
    return c


def dib(px):
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''.join(bytes(b for (r, g, bl, a) in px[y] for b in (bl, g, r, a)) for y in reversed(range(size)))
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)
    return header + rows + mask


def main(out):
    images = [dib(draw(32)), dib(draw(16))]
    sizes = [32, 16]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, sz in zip(images, sizes):
        data += struct.pack('<BBBBHHII', sz, sz, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b''.join(images)
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
