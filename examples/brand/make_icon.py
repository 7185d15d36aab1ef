#!/usr/bin/env python3
"""Draws the example brand's icon, examples/brand/example.ico: a blue disc
with a white arrow pointing down into a tray (an installer), at 16, 32 and
48 pixels, 32-bit colour with alpha.  Usage: make_icon.py [OUT]"""

import math
import os
import struct
import sys


def pixel(size, x, y):
    """BGRA of the pixel whose centre is at (x + 0.5, y + 0.5), y from the top."""
    s = float(size)
    cx = cy = s / 2
    px, py = x + 0.5, y + 0.5
    r = math.hypot(px - cx, py - cy)
    radius = s / 2 - 0.5
    if r > radius + 0.5:
        return (0, 0, 0, 0)
    alpha = max(0.0, min(1.0, radius + 0.5 - r))
    # A blue disc, lighter at the top.
    t = py / s
    blue, green, red = int(215 - 60 * t), int(120 - 50 * t), int(30 - 10 * t)
    u, v = px / s, py / s
    white = False
    if 0.44 <= u <= 0.56 and 0.18 <= v <= 0.52:            # the arrow's shaft
        white = True
    if v >= 0.48 and v <= 0.68 and abs(u - 0.5) <= (0.68 - v) * 1.1:  # its head
        white = True
    if 0.24 <= u <= 0.76 and 0.72 <= v <= 0.80:            # the tray's floor
        white = True
    if (0.24 <= u <= 0.31 or 0.69 <= u <= 0.76) and 0.62 <= v <= 0.80:  # its sides
        white = True
    if white:
        blue = green = red = 255
    return (blue, green, red, int(255 * alpha))


def entry(size):
    """An icon image: BITMAPINFOHEADER, the colour pixels bottom-up, the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):
        rows.append(b"".join(struct.pack("<BBBB", *pixel(size, x, y)) for x in range(size)))
    mask_row = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_row * size)  # the alpha channel decides
    return header + b"".join(rows) + mask


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "example.ico")
    sizes = (16, 32, 48)
    images = [entry(size) for size in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b"".join(images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
