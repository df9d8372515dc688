"""The setup program's pictures, drawn from simple shapes. Each function takes
the pixel size and returns a Canvas; coordinates are in the design units named
by its `design` argument."""

from raster import (Canvas, circle, clip, ellipse, line, minus, polygon, rect, ring,
                    vertical_gradient)

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


# --- Glyphs of the wizard's buttons (24 design units) ----------------------

def _green_button(c):
    c.fill(circle(12, 12, 11), (0, 96, 24))
    c.fill(circle(12, 12, 10), vertical_gradient((90, 200, 80), (20, 130, 40), 2, 22))
    c.fill(ellipse(12, 7.5, 7, 4), WHITE, opacity=0.25)  # the light from above


def arrow_button(size, pointing_left):
    c = Canvas(size, 24)
    _green_button(c)
    points = [(5.5, 12), (11.5, 6), (11.5, 9.5), (18, 9.5), (18, 14.5), (11.5, 14.5), (11.5, 18)]
    if not pointing_left:
        points = [(24 - x, y) for x, y in points]
    c.fill(polygon(*points), WHITE)
    return c


def cross_button(size):
    c = Canvas(size, 24)
    _green_button(c)
    c.fill(line(8, 8, 16, 16, 3.2), WHITE)
    c.fill(line(16, 8, 8, 16, 3.2), WHITE)
    return c


def folder(size):
    c = Canvas(size, 16)
    outline = (150, 105, 0)
    c.fill(polygon((0.5, 2.5), (6, 2.5), (7.5, 4), (14.5, 4), (14.5, 13.5), (0.5, 13.5)), outline)
    c.fill(polygon((1.5, 3.5), (5.6, 3.5), (7.1, 5), (13.5, 5), (13.5, 12.5), (1.5, 12.5)),
           (220, 170, 30))
    c.fill(polygon((0.5, 13.5), (3, 6.5), (15.5, 6.5), (13.5, 13.5)), outline)
    c.fill(polygon((1.9, 12.7), (3.8, 7.5), (14.2, 7.5), (12.8, 12.7)),
           vertical_gradient((255, 236, 130), (245, 200, 50), 7.5, 12.7))
    return c


# --- The picture beside the welcome texts (48 design units) ---------------

def _globe(c):
    cx, cy, r = 24, 19, 17
    ball = circle(cx, cy, r)
    c.fill(ball, vertical_gradient((110, 180, 250), (20, 70, 170), cy - r, cy + r))
    for land in (ellipse(17, 13, 7, 5), ellipse(15, 22, 4, 7), ellipse(31, 17, 6, 8),
                 ellipse(34, 28, 4, 3)):
        c.fill(clip(land, ball), (60, 160, 70))
    grid = (215, 235, 255)
    for rx in (r * 0.35, r * 0.75):
        c.fill(clip(ring(cx, cy, rx, r, 0.9), ball), grid, opacity=0.8)
    c.fill(rect(cx - 0.45, cy - r, cx + 0.45, cy + r), grid, opacity=0.8)
    for dy in (-r * 0.55, 0, r * 0.55):
        c.fill(clip(rect(cx - r, cy + dy - 0.45, cx + r, cy + dy + 0.45), ball), grid, opacity=0.8)
    c.fill(ring(cx, cy, r - 0.4, r - 0.4, 0.9), (10, 50, 130))


def _monitor(c, x, y):
    """A monitor 20 units wide whose top-left corner is at (x, y)."""
    c.fill(polygon((x + 7, y + 13), (x + 13, y + 13), (x + 14, y + 17), (x + 6, y + 17)),
           (90, 90, 100))
    c.fill(rect(x + 4, y + 16.5, x + 16, y + 18.5), (60, 60, 70))
    c.fill(rect(x, y, x + 20, y + 14), (45, 45, 55))
    c.fill(rect(x + 1.5, y + 1.5, x + 18.5, y + 12.5),
           vertical_gradient((150, 220, 255), (40, 110, 200), y + 1.5, y + 12.5))
    c.fill(polygon((x + 1.5, y + 1.5), (x + 12, y + 1.5), (x + 1.5, y + 9)), WHITE, opacity=0.3)


def globe_with_monitors(size):
    c = Canvas(size, 48)
    _globe(c)
    _monitor(c, 1.5, 27)
    _monitor(c, 26.5, 27)
    return c


# --- The application icon (48 design units) --------------------------------

def box_with_disc(size):
    """A software box seen from the front left, an optical disc leaning on it."""
    c = Canvas(size, 48)
    c.fill(polygon((6, 12), (16, 4), (44, 4), (34, 12)), (120, 170, 240))    # top
    c.fill(polygon((34, 12), (44, 4), (44, 38), (34, 46)), (20, 60, 140))    # side
    c.fill(rect(6, 12, 34, 46), vertical_gradient((50, 110, 220), (25, 70, 170), 12, 46))
    c.fill(rect(9, 16, 31, 19), (255, 210, 60))                              # a label stripe
    c.fill(rect(9, 21, 24, 22.5), WHITE, opacity=0.8)
    disc = minus(circle(30, 32, 14), circle(30, 32, 2.6))
    c.fill(disc, (120, 125, 135))
    c.fill(minus(circle(30, 32, 13.2), circle(30, 32, 2.6)),
           vertical_gradient((245, 245, 250), (175, 180, 195), 18, 46))
    c.fill(clip(ring(30, 32, 9, 9, 3), polygon((30, 32), (44, 18), (44, 32))), (120, 200, 255),
           opacity=0.6)
    c.fill(clip(ring(30, 32, 9, 9, 3), polygon((30, 32), (16, 46), (16, 32))), (255, 160, 210),
           opacity=0.6)
    c.fill(minus(circle(30, 32, 5.5), circle(30, 32, 2.6)), (200, 205, 215))
    c.fill(ring(30, 32, 2.6, 2.6, 0.8), (110, 115, 125))
    return c


def two_windows(size):
    """Two overlapping application windows, in the 16 standard colours."""
    c = Canvas(size, 48)
    for x, y, title in ((2, 3, (0, 0, 128)), (15, 15, (0, 0, 255))):
        c.fill(rect(x, y, x + 31, y + 30), BLACK)
        c.fill(rect(x + 1.5, y + 1.5, x + 29.5, y + 7), title)
        c.fill(rect(x + 1.5, y + 8, x + 29.5, y + 28.5), WHITE)
        c.fill(rect(x + 24, y + 3, x + 28, y + 5.5), (192, 192, 192))
        for row in (12, 16.5, 21):
            c.fill(rect(x + 4, y + row, x + 22, y + row + 1.5), (128, 128, 128))
    return c


# --- The publisher's logo (32 design units) --------------------------------

def publisher_logo(size):
    """A vane over an "N" on a round navy badge."""
    c = Canvas(size, 32)
    c.fill(circle(16, 16, 15), (0, 0, 128))
    c.fill(ring(16, 16, 13.5, 13.5, 1.2), (0, 255, 255))
    c.fill(rect(9.5, 10, 12.5, 24), WHITE)
    c.fill(rect(19.5, 10, 22.5, 24), WHITE)
    c.fill(polygon((9.5, 10), (12.5, 10), (22.5, 24), (19.5, 24)), WHITE)
    c.fill(polygon((8, 6.5), (20, 6.5), (24, 4.5), (20, 2.5), (8, 2.5), (10, 4.5)), (255, 255, 0))
    return c
