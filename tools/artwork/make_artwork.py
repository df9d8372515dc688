"""Draws the setup program's artwork into the folder given as the only argument:
the button glyphs (.bmp), the welcome picture and the two icon groups (.ico).
The resource script takes the files from there by these names."""

import os
import sys
import zlib

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


# The display scales the window's pictures are drawn for, in per cent; the
# files for 100 % keep their plain names, the others carry the percentage.
SCALES = (100, 125, 150, 200)


def scaled_name(name, percent):
    """The file of a picture at a scale: other than 100 % it is packed with zlib."""
    if percent == 100:
        return name
    stem, dot, extension = name.rpartition(".")
    return f"{stem}_{percent}{dot}{extension}.z"


def window_pictures(percent):
    """The wizard window's pictures at one display scale, drawn at its size."""
    def px(size):
        return round(size * percent / 100)

    return {
        "back_glyph.bmp": two_state_glyph(pictures.arrow_button(px(24), pointing_left=True)),
        "continue_glyph.bmp": two_state_glyph(pictures.arrow_button(px(24), pointing_left=False)),
        "exit_glyph.bmp": image_files.bmp24(flatten(pictures.cross_button(px(24)).rgba())),
        "folder_glyph.bmp": image_files.bmp24(flatten(pictures.folder(px(16)).rgba())),
        "globe.ico": image_files.ico([(pictures.globe_with_monitors(px(48)).rgba(), 32)]),
    }


def artwork():
    """File name -> file contents."""
    files = {}
    for percent in SCALES:
        for name, data in window_pictures(percent).items():
            files[scaled_name(name, percent)] = data if percent == 100 else zlib.compress(data, 9)
    files["main.ico"] = image_files.ico(icon_images(pictures.box_with_disc, pictures.two_windows))
    files["publisher.ico"] = image_files.ico([(pictures.publisher_logo(32).rgba(), 4)])
    return files


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for name, data in artwork().items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_artwork.py OUTPUT_FOLDER")
    main(sys.argv[1])
