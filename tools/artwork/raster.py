"""A tiny anti-aliased rasteriser: shapes are point tests with a bounding box,
filled onto an RGBA canvas with 4x4 supersampling per pixel.

Shapes are described in "design units" (the picture's largest size, e.g. 48),
so one drawing serves every pixel size of an icon."""

import math
from collections import namedtuple

Shape = namedtuple("Shape", "contains bounds")  # bounds: (x0, y0, x1, y1)

SUBSAMPLES = 4


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def ellipse(cx, cy, rx, ry):
    def contains(x, y):
        return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0

    return Shape(contains, (cx - rx, cy - ry, cx + rx, cy + ry))


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, (x0, y0, x1, y1))


def polygon(*points):
    """Even-odd fill of a closed polygon given as (x, y) pairs."""

    def contains(x, y):
        inside = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return inside

    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return Shape(contains, (min(xs), min(ys), max(xs), max(ys)))


def line(ax, ay, bx, by, width):
    """A stroke with round caps from (ax, ay) to (bx, by)."""
    dx, dy, half = bx - ax, by - ay, width / 2
    length2 = dx * dx + dy * dy

    def contains(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) <= half

    return Shape(contains, (min(ax, bx) - half, min(ay, by) - half,
                            max(ax, bx) + half, max(ay, by) + half))


def minus(shape, hole):
    return Shape(lambda x, y: shape.contains(x, y) and not hole.contains(x, y), shape.bounds)


def clip(shape, window):
    b, w = shape.bounds, window.bounds
    bounds = (max(b[0], w[0]), max(b[1], w[1]), min(b[2], w[2]), min(b[3], w[3]))
    return Shape(lambda x, y: shape.contains(x, y) and window.contains(x, y), bounds)


def ring(cx, cy, rx, ry, width):
    """The outline of an ellipse, `width` design units thick."""
    h = width / 2
    return minus(ellipse(cx, cy, rx + h, ry + h), ellipse(cx, cy, max(rx - h, 1e-6), max(ry - h, 1e-6)))


def vertical_gradient(top, bottom, y0, y1):
    """A paint running from colour `top` at y0 to `bottom` at y1."""

    def paint(_x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))

    return paint


class Canvas:
    """Premultiplied RGBA pixels in 0..255, drawn with source-over."""

    def __init__(self, size, design=None):
        self.size = size
        self.unit = (design or size) / size  # design units per pixel
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def fill(self, shape, paint, opacity=1.0):
        """Fill `shape` with a colour (r, g, b) or a paint function of (x, y)."""
        colour_at = paint if callable(paint) else (lambda _x, _y: paint)
        x0, y0, x1, y1 = (int(v / self.unit) for v in shape.bounds)
        for py in range(max(0, y0 - 1), min(self.size, y1 + 2)):
            for px in range(max(0, x0 - 1), min(self.size, x1 + 2)):
                hits = self._coverage(shape, px, py)
                if hits:
                    cx, cy = (px + 0.5) * self.unit, (py + 0.5) * self.unit
                    self._blend(px, py, colour_at(cx, cy), hits * opacity)

    def _coverage(self, shape, px, py):
        step = 1.0 / SUBSAMPLES
        hits = 0
        for sy in range(SUBSAMPLES):
            for sx in range(SUBSAMPLES):
                x = (px + (sx + 0.5) * step) * self.unit
                y = (py + (sy + 0.5) * step) * self.unit
                hits += shape.contains(x, y)
        return hits / (SUBSAMPLES * SUBSAMPLES)

    def _blend(self, px, py, colour, alpha):
        r, g, b, a = self.px[py][px]
        keep = 1.0 - alpha
        self.px[py][px] = (colour[0] * alpha + r * keep, colour[1] * alpha + g * keep,
                           colour[2] * alpha + b * keep, 255.0 * alpha + a * keep)

    def rgba(self):
        """Rows top to bottom of straight (non-premultiplied) 8-bit RGBA."""
        rows = []
        for row in self.px:
            out = []
            for r, g, b, a in row:
                k = 255.0 / a if a > 0 else 0.0
                out.append(tuple(min(255, round(v)) for v in (r * k, g * k, b * k, a)))
            rows.append(out)
        return rows
