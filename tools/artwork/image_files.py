"""Writers for the two file formats the resource compiler takes: 24-bit .bmp
glyphs and .ico files with 4-bit, 8-bit and 32-bit images."""

import struct

# The 16 colours of the standard 4-bit palette.
PALETTE_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# A 6x6x6 colour cube and a 40-step grey ramp; index 0 is black, which is
# what the transparent pixels of a masked image hold.
PALETTE_256 = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PALETTE_256 += [(v, v, v) for v in (round(i * 255 / 41) for i in range(1, 41))]


def _info_header(width, height, bits, image_size, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0,
                       colours, 0)


def _padded(row):
    return row + b"\0" * (-len(row) % 4)


def bmp24(rows):
    """A .bmp file from rows (top to bottom) of (r, g, b)."""
    height, width = len(rows), len(rows[0])
    pixels = b"".join(_padded(bytes(c for r, g, b in row for c in (b, g, r)))
                      for row in reversed(rows))
    info = _info_header(width, height, 24, len(pixels))
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def _nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((p - c) ** 2 for p, c in zip(palette[i], colour)))


def _pack_indices(indices, bits):
    per_byte = 8 // bits
    out = bytearray()
    for i in range(0, len(indices), per_byte):
        byte = 0
        for j, index in enumerate(indices[i:i + per_byte]):
            byte |= index << (8 - bits * (j + 1))
        out.append(byte)
    return bytes(out)


def _and_mask(rows):
    """1 marks a transparent pixel (alpha below one half)."""
    return b"".join(_padded(_pack_indices([int(a < 128) for *_, a in row], 1))
                    for row in reversed(rows))


def icon_image(rows, bits):
    """One icon image (header, palette, colour bits, AND mask) from RGBA rows."""
    size = len(rows)
    if bits == 32:
        colour = b"".join(bytes(c for r, g, b, a in row for c in (b, g, r, a))
                          for row in reversed(rows))
        palette = b""
    else:
        colours = PALETTE_16 if bits == 4 else PALETTE_256
        colour = b"".join(
            _padded(_pack_indices([_nearest(colours, (r, g, b)) if a >= 128 else 0
                                   for r, g, b, a in row], bits))
            for row in reversed(rows))
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    bitmap = colour + _and_mask(rows)
    # An icon image's header counts the colour and mask rows together.
    return _info_header(size, size * 2, bits, len(bitmap), len(palette) // 4) + palette + bitmap


def ico(images):
    """An .ico file from a list of (rgba_rows, bits)."""
    encoded = [(len(rows), bits, icon_image(rows, bits)) for rows, bits in images]
    offset = 6 + 16 * len(encoded)
    directory = struct.pack("<HHH", 0, 1, len(encoded))
    for size, bits, data in encoded:
        colour_count = 1 << bits if bits < 8 else 0
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colour_count, 0, 1, bits,
                                 len(data), offset)
        offset += len(data)
    return directory + b"".join(data for *_, data in encoded)
