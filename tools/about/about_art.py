#!/usr/bin/env python3
"""Draws the pictures of the About box as 24-bit BMPs: the icon (32 x 32, a
head field with filled contours round a pumping well under a grid) and the
bitmap (112 x 24, the band of contour colours with iso-lines). Run from the
repository root:
    python3 tools/about/about_art.py resources/about1111.bmp resources/about1112.bmp
"""
import math
import struct
import sys

# Filled-contour colours from low to high, as the map view's legend runs.
BANDS = [(0, 0, 160), (0, 96, 224), (0, 176, 224), (0, 176, 96), (144, 208, 0),
         (255, 224, 0), (255, 144, 0), (224, 0, 0)]


def write_bmp(path, width, height, pixel):
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):   # bottom-up
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += bytes(row - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def icon(x, y):
    # A regional slope with a drawdown cone round a well at (20, 13).
    cx, cy = 20.0, 13.0
    d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
    h = 0.55 + 0.35 * (x / 31.0) - 0.25 * (y / 31.0) - 0.6 * math.exp(-d / 5.0)
    if d < 1.6:
        return (0, 0, 0)
    if x in (0, 31) or y in (0, 31):
        return (64, 64, 64)
    if x % 8 == 4 and y % 8 == 4:
        return (255, 255, 255)
    k = min(len(BANDS) - 1, max(0, int(h * len(BANDS))))
    return BANDS[k]


def band(x, y):
    if y in (0, 23) or x in (0, 111):
        return (0, 0, 0)
    k = min(len(BANDS) - 1, x * len(BANDS) // 112)
    if x > 0 and x % 14 == 0:
        return (0, 0, 0)
    return BANDS[k]


if __name__ == '__main__':
    write_bmp(sys.argv[1], 32, 32, icon)
    write_bmp(sys.argv[2], 112, 24, band)
