#!/usr/bin/env python3
"""Draws the program's three icons: 32 x 32 pixels, 16 colours, one image per file.

Usage: make_icons.py OUTDIR  (writes app.ico, fallback.ico and spare.ico)
"""
import math
import struct
import sys
from pathlib import Path

SIZE = 32
TRANSPARENT = None

# The standard 16-colour VGA palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_BLUE, LIGHT_GREY, DARK_GREY = 0, 4, 7, 8
LIGHT_GREEN, LIGHT_YELLOW, LIGHT_MAGENTA, LIGHT_CYAN, WHITE = 10, 11, 13, 14, 15


def canvas(fill):
    return [[fill] * SIZE for _ in range(SIZE)]


def rectangle(pixels, left, top, width, height, colour):
    for y in range(top, top + height):
        for x in range(left, left + width):
            pixels[y][x] = colour


def app_icon():
    pixels = canvas(BLACK)
    near, far, side = 3, 17, 12
    rectangle(pixels, near, near, side, side, LIGHT_MAGENTA)
    rectangle(pixels, far, near, side, side, LIGHT_GREEN)
    rectangle(pixels, far, far, side, side, LIGHT_YELLOW)
    rectangle(pixels, near, far, side, side, LIGHT_CYAN)
    return pixels


def window_icon():
    pixels = canvas(TRANSPARENT)
    rectangle(pixels, 1, 3, 30, 26, DARK_GREY)
    rectangle(pixels, 2, 4, 28, 24, LIGHT_GREY)
    rectangle(pixels, 3, 5, 26, 5, DARK_BLUE)
    for left in (17, 21, 25):
        rectangle(pixels, left, 6, 3, 3, LIGHT_GREY)
    rectangle(pixels, 3, 11, 26, 16, WHITE)
    return pixels


def spare_icon():
    pixels = window_icon()
    centre_x, centre_y = 15.5, 18.5
    for y in range(11, 27):
        for x in range(3, 29):
            dx, dy = x - centre_x, y - centre_y
            radius = math.hypot(dx, dy)
            tooth = math.cos(8 * math.atan2(dy, dx)) > 0.3
            if radius <= 2.0:
                continue
            if radius <= 4.5:
                pixels[y][x] = LIGHT_YELLOW
            elif radius <= 6.5 and tooth:
                pixels[y][x] = DARK_GREY
    return pixels


def icon_file(pixels):
    colour_rows = []
    mask_rows = []
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        indices = [BLACK if p is TRANSPARENT else p for p in row]
        colour_rows.append(bytes((indices[x] << 4) | indices[x + 1] for x in range(0, SIZE, 2)))
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p is TRANSPARENT else 0)
        mask_rows.append(bits.to_bytes(SIZE // 8, "big"))
    colour = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(colour) + len(mask), 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + colour + mask
    assert len(image) == 744
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, draw in (("app", app_icon), ("fallback", window_icon), ("spare", spare_icon)):
        (out / f"{name}.ico").write_bytes(icon_file(draw()))


if __name__ == "__main__":
    main()
