#!/usr/bin/env python3
"""Draws the program's icon (a key on a night-blue tile with a crescent moon)
and writes res/nemuroku.ico with 16, 24, 32 and 48 pixel images."""
import math
import struct
import sys
from pathlib import Path

NIGHT = (40, 52, 110)
MOON = (255, 214, 90)
KEY = (235, 238, 245)


def pixel(size, x, y):
    """RGBA of the pixel whose centre is (x + .5, y + .5) at this size."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    corner = 0.18
    # rounded tile
    dx = max(corner - u, 0, u - (1 - corner))
    dy = max(corner - v, 0, v - (1 - corner))
    if dx * dx + dy * dy > corner * corner:
        return (0, 0, 0, 0)
    # crescent moon, upper right
    if math.hypot(u - 0.72, v - 0.28) < 0.17 and math.hypot(u - 0.79, v - 0.22) > 0.14:
        return MOON + (255,)
    # key: a ring, a shaft and two teeth
    ring = math.hypot(u - 0.32, v - 0.62)
    if 0.07 < ring < 0.17:
        return KEY + (255,)
    if 0.46 < u < 0.86 and 0.58 < v < 0.67:
        return KEY + (255,)
    if (0.70 < u < 0.76 or 0.80 < u < 0.86) and 0.66 < v < 0.78:
        return KEY + (255,)
    return NIGHT + (255,)


def image(size):
    rows = []
    for y in reversed(range(size)):  # bottom-up
        rows.append(b"".join(bytes((b, g, r, a)) for r, g, b, a in
                             (pixel(size, x, y) for x in range(size))))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    return header + xor + and_mask


def main():
    sizes = [16, 24, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("nemuroku.ico")
    target.write_bytes(out)


if __name__ == "__main__":
    main()
