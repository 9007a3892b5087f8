#!/usr/bin/env python3
"""Draws the about window's banner (301 x 62): the program's icon on a night-blue
band with a few stars, the product name, its version and our name, and writes
res/about_banner.bmp as an 8-bit BMP for the resource compiler: its 256 colours look no
different at this size and take a third of the room in the exe.

The band and the icon are drawn here; the text is set by ImageMagick's convert
with the Noto Sans CJK JP fonts, which only this script needs, never the build.
The version is taken from the project line of the top-level CMakeLists.txt."""
import re
import subprocess
import sys
import tempfile
from pathlib import Path

import make_icon

WIDTH, HEIGHT = 301, 62
ICON_SIZE, ICON_LEFT, ICON_TOP = 48, 7, 7
TOP, BOTTOM = (52, 66, 132), (18, 24, 60)
STARS = [(120, 8), (150, 20), (205, 12), (244, 30), (282, 9), (268, 22), (186, 28)]
STAR = (200, 208, 235)

TITLE_FONT = "Noto-Sans-CJK-JP-Bold"
TEXT_FONT = "Noto-Sans-CJK-JP"


def project_version():
    cmake = Path(__file__).resolve().parent.parent / "CMakeLists.txt"
    match = re.search(r"project\(\s*nemuroku\s+VERSION\s+([0-9.]+)", cmake.read_text())
    return match.group(1)


def background_pixel(x, y):
    t = y / (HEIGHT - 1)
    colour = tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM))
    if (x, y) in STARS:
        return STAR
    u, v = x - ICON_LEFT, y - ICON_TOP
    if 0 <= u < ICON_SIZE and 0 <= v < ICON_SIZE:
        r, g, b, a = make_icon.pixel(ICON_SIZE, u, v)
        if a:
            return (r, g, b)
    return colour


def background_ppm():
    pixels = bytearray()
    for y in range(HEIGHT):
        for x in range(WIDTH):
            pixels += bytes(background_pixel(x, y))
    return b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT) + bytes(pixels)


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("about_banner.bmp")
    with tempfile.TemporaryDirectory() as scratch:
        band = Path(scratch) / "band.ppm"
        band.write_bytes(background_ppm())
        subprocess.run(
            ["convert", str(band),
             "-fill", "white", "-font", TITLE_FONT, "-pointsize", "26",
             "-annotate", "+66+34", "ねむろく",
             "-fill", "#c8d0eb", "-font", TEXT_FONT, "-pointsize", "11",
             "-annotate", "+68+52", "Version " + project_version(),
             "-gravity", "SouthEast", "-annotate", "+8+6", "ねむろく開発チーム",
             "-dither", "None", "-colors", "256", "-type", "Palette", "-compress", "None",
             "BMP3:" + str(target)],
            check=True)


if __name__ == "__main__":
    main()
