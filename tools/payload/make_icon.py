#!/usr/bin/env python3
"""Draws the product's simple icons as .ico files (16 and 32 pixels, 32-bit
colour with alpha), so that no picture has to be kept in the tree.

Usage: make_icon.py STYLE OUTPUT
  program       the main program: a blue ring with a tail
  publisher     the publisher's web page: a green globe with meridians
"""
import math
import struct
import sys


def ring(x, y, size):
    c = (size - 1) / 2
    r = math.hypot(x - c, y - c) / (size / 2)
    if 0.55 <= r <= 0.92:
        return (0x20, 0x60, 0xC8, 0xFF)
    # The tail of the letter, bottom right.
    if x > c and y > c and abs((x - c) - (y - c)) < size / 10 and r < 1.0:
        return (0x20, 0x60, 0xC8, 0xFF)
    return (0, 0, 0, 0)


def globe(x, y, size):
    c = (size - 1) / 2
    dx, dy = (x - c) / (size / 2), (y - c) / (size / 2)
    r = math.hypot(dx, dy)
    if r > 0.95:
        return (0, 0, 0, 0)
    if r > 0.85 or abs(dy) < 0.06 or abs(dx) < 0.06 or abs(abs(dy) - 0.5) < 0.06:
        return (0x18, 0x70, 0x30, 0xFF)
    return (0xA8, 0xE0, 0xB0, 0xFF)


def image(paint, size):
    """One icon image: BITMAPINFOHEADER (double height), BGRA rows bottom up,
    then the AND mask (all zero: the alpha channel decides)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = paint(x, y, size)
            pixels += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    return header + bytes(pixels) + bytes(mask_row * size)


def icon(paint):
    images = [image(paint, size) for size in (16, 32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    styles = {"program": ring, "publisher": globe}
    if len(sys.argv) != 3 or sys.argv[1] not in styles:
        sys.exit(__doc__)
    with open(sys.argv[2], "wb") as target:
        target.write(icon(styles[sys.argv[1]]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
