"""Draws the setup program's artwork into the folder given as the only argument:
the button glyphs (.bmp), the welcome picture and the two icon groups (.ico).
The resource script takes the files from there by these names."""

import os
import sys

import image_files
import pictures

MAGENTA = (255, 0, 255)  # the glyphs' transparent colour, read from the bottom-left pixel
# Anti-aliased glyph edges are blended with the button face they are shown on.
FACE = (236, 236, 236)


def flatten(rgba_rows):
    """Opaque RGB rows: magenta where the picture is mostly transparent."""
    rows = []
    for row in rgba_rows:
        out = []
        for r, g, b, a in row:
            if a < 96:
                out.append(MAGENTA)
            else:
                k = a / 255
                out.append(tuple(round(v * k + f * (1 - k)) for v, f in zip((r, g, b), FACE)))
        rows.append(out)
    return rows


def greyed(rows):
    """The disabled twin: each picture pixel's brightness, lifted towards the face."""
    def grey(pixel):
        if pixel == MAGENTA:
            return pixel
        v = round(0.299 * pixel[0] + 0.587 * pixel[1] + 0.114 * pixel[2])
        v = round(96 + v * 0.6)
        return (v, v, v)

    return [[grey(p) for p in row] for row in rows]


def side_by_side(left, right):
    return [a + b for a, b in zip(left, right)]


def two_state_glyph(canvas):
    enabled = flatten(canvas.rgba())
    return image_files.bmp24(side_by_side(enabled, greyed(enabled)))


def icon_images(draw_true_colour, draw_16_colour):
    images = []
    for size in (48, 32, 16):
        images.append((draw_16_colour(size).rgba(), 4))
        true_colour = draw_true_colour(size).rgba()
        images += [(true_colour, 8), (true_colour, 32)]
    return images


def artwork():
    """File name -> file contents."""
    return {
        "back_glyph.bmp": two_state_glyph(pictures.arrow_button(24, pointing_left=True)),
        "continue_glyph.bmp": two_state_glyph(pictures.arrow_button(24, pointing_left=False)),
        "exit_glyph.bmp": image_files.bmp24(flatten(pictures.cross_button(24).rgba())),
        "folder_glyph.bmp": image_files.bmp24(flatten(pictures.folder(16).rgba())),
        "globe.ico": image_files.ico([(pictures.globe_with_monitors(48).rgba(), 32)]),
        "main.ico": image_files.ico(icon_images(pictures.box_with_disc, pictures.two_windows)),
        "publisher.ico": image_files.ico([(pictures.publisher_logo(32).rgba(), 4)]),
    }


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for name, data in artwork().items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_artwork.py OUTPUT_FOLDER")
    main(sys.argv[1])
