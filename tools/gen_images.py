#!/usr/bin/env python3
"""Draws Kovan's own pictures: the application icon and the small images of
its menus and buttons.

The results are kept in res/images/, so a build never needs this script. After
changing a drawing, regenerate them all and commit the changed files:

    python3 tools/gen_images.py            # writes res/images/
    python3 tools/gen_images.py OUT_DIR    # writes somewhere else

Only the standard library is used. Shapes are polygons filled with exact
horizontal coverage and 16 sub-scanlines per pixel, which gives clean
anti-aliased edges; shapes are laid out on the pixel grid of each image size
(straight edges on whole pixels) so they stay crisp. The output is
deterministic: the same script gives the same bytes.
"""

import math
import os
import struct
import sys
import zlib

SQRT3 = math.sqrt(3.0)

# ---------------------------------------------------------------------------
# Rasterising


def _orient_ccw(contour):
    area = 0.0
    n = len(contour)
    for i in range(n):
        x0, y0 = contour[i]
        x1, y1 = contour[(i + 1) % n]
        area += x0 * y1 - x1 * y0
    return contour if area >= 0 else list(reversed(contour))


class Mask:
    """Coverage of a shape, 0..1 per pixel."""

    def __init__(self, w, h, data=None):
        self.w, self.h = w, h
        self.data = data if data is not None else [0.0] * (w * h)


def rasterize(w, h, contours, ss=16):
    """Coverage of the union of the contours (every contour counts as filled;
    overlapping contours do not cancel)."""
    edges = []
    ymin, ymax = h, 0
    for contour in contours:
        contour = _orient_ccw(contour)
        n = len(contour)
        for i in range(n):
            x0, y0 = contour[i]
            x1, y1 = contour[(i + 1) % n]
            if y0 == y1:
                continue
            direction = 1 if y1 > y0 else -1
            if y0 > y1:
                x0, y0, x1, y1 = x1, y1, x0, y0
            edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), direction))
            ymin = min(ymin, int(math.floor(y0)))
            ymax = max(ymax, int(math.ceil(y1)))
    mask = Mask(w, h)
    weight = 1.0 / ss
    for py in range(max(0, ymin), min(h, ymax)):
        row = [0.0] * (w + 1)
        for k in range(ss):
            y = py + (k + 0.5) / ss
            crossings = [(e[2] + (y - e[0]) * e[3], e[4]) for e in edges if e[0] <= y < e[1]]
            if not crossings:
                continue
            crossings.sort()
            winding = 0
            start = 0.0
            for x, direction in crossings:
                before = winding
                winding += direction
                if before == 0 and winding != 0:
                    start = x
                elif before != 0 and winding == 0:
                    _add_span(row, w, start, x, weight)
        base = py * w
        for px in range(w):
            if row[px]:
                mask.data[base + px] = min(1.0, row[px])
    return mask


def _add_span(row, w, xa, xb, weight):
    xa = max(0.0, xa)
    xb = min(float(w), xb)
    if xb <= xa:
        return
    ia, ib = int(xa), int(xb)
    if ia == ib:
        row[ia] += (xb - xa) * weight
        return
    row[ia] += (ia + 1 - xa) * weight
    for i in range(ia + 1, ib):
        row[i] += weight
    if ib < w:
        row[ib] += (xb - ib) * weight


# ---------------------------------------------------------------------------
# Shapes (each returns a list of contours)


def rect(x0, y0, x1, y1):
    return [[(x0, y0), (x1, y0), (x1, y1), (x0, y1)]]


def circle(cx, cy, r, steps=None):
    steps = steps or max(32, int(r * 10))
    return [[(cx + r * math.cos(2 * math.pi * i / steps), cy + r * math.sin(2 * math.pi * i / steps))
             for i in range(steps)]]


def rrect(x0, y0, x1, y1, r):
    if r <= 0:
        return rect(x0, y0, x1, y1)
    pts = []
    corners = [(x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)]
    for cx, cy, a0 in corners:
        for i in range(9):
            a = math.radians(a0 + 90 * i / 8)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return [pts]


def hexagon(cx, cy, hw, flat=False):
    """A regular hexagon whose two parallel sides lie hw from the centre:
    vertical sides (pointed top) by default, horizontal sides when flat."""
    r = 2.0 * hw / SQRT3
    pts = []
    for i in range(6):
        a = math.radians(60 * i + (0 if flat else 30))
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return [pts]


def polygon(*points):
    return [list(points)]


def stroke(points, width):
    """A polyline of the given width with round joins and round caps."""
    half = width / 2.0
    contours = []
    segs = list(zip(points, points[1:]))
    for (x0, y0), (x1, y1) in segs:
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)
        if length == 0:
            continue
        nx, ny = -dy / length * half, dx / length * half
        contours.append([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])
    for x, y in points:
        contours += circle(x, y, half, steps=max(16, int(half * 16)))
    return contours


def arc_points(cx, cy, r, a0, a1, steps=None):
    steps = steps or max(12, int(abs(a1 - a0) / 6))
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


def page(x0, y0, x1, y1, fold):
    """A sheet of paper with its top right corner folded."""
    return polygon((x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1))


# ---------------------------------------------------------------------------
# Canvas and paints


def solid(c):
    c = tuple(c) + ((255,) if len(c) == 3 else ())
    return lambda x, y: c


def vgrad(y0, c0, y1, c1):
    """A vertical gradient between two colours."""
    def paint(x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0 + (255,) * (4 - len(c0)),
                                                              c1 + (255,) * (4 - len(c1))))
    return paint


def rgrad(cx, cy, r, c0, c1):
    """A radial gradient, c0 at the centre."""
    def paint(x, y):
        t = min(1.0, math.hypot(x - cx, y - cy) / r)
        return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0 + (255,) * (4 - len(c0)),
                                                              c1 + (255,) * (4 - len(c1))))
    return paint


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]  # premultiplied

    def mask(self, *shapes):
        contours = []
        for s in shapes:
            contours += s
        return rasterize(self.w, self.h, contours)

    def paint(self, mask, paint, opacity=1.0):
        w = self.w
        for i, cov in enumerate(mask.data):
            if cov <= 0.0:
                continue
            r, g, b, a = paint(i % w + 0.5, i // w + 0.5)
            sa = a / 255.0 * cov * opacity
            p = self.px[i]
            k = 1.0 - sa
            p[0] = r / 255.0 * sa + p[0] * k
            p[1] = g / 255.0 * sa + p[1] * k
            p[2] = b / 255.0 * sa + p[2] * k
            p[3] = sa + p[3] * k

    def fill(self, shape, paint, opacity=1.0):
        self.paint(self.mask(shape), paint if callable(paint) else solid(paint), opacity)

    def erase(self, shape):
        m = self.mask(shape)
        for i, cov in enumerate(m.data):
            if cov > 0.0:
                self.px[i] = [c * (1.0 - cov) for c in self.px[i]]

    def rgba_rows(self):
        rows = []
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a <= 0.0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes((_byte(r / a), _byte(g / a), _byte(b / a), _byte(a)))
            rows.append(bytes(row))
        return rows


def _byte(v):
    return max(0, min(255, int(round(v * 255.0))))


# ---------------------------------------------------------------------------
# File formats


def png_bytes(canvas):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())
    ihdr = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib_bytes(canvas):
    """An icon image as a 32-bit DIB: BGRA rows bottom-up, then the 1-bit AND
    mask that older shells still read."""
    w, h = canvas.w, canvas.h
    rows = canvas.rgba_rows()
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    color = bytearray()
    for row in reversed(rows):
        for x in range(w):
            r, g, b, a = row[4 * x:4 * x + 4]
            color += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x in range(w):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(color) + bytes(mask)


def ico_bytes(canvases):
    """An .ico file; the 256-pixel image is stored as PNG, the others as DIBs."""
    images = [(c, png_bytes(c) if c.w >= 256 else dib_bytes(c)) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in images:
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


# ---------------------------------------------------------------------------
# Palette

HONEY_HI = (255, 226, 120)
HONEY = (248, 182, 30)
HONEY_LO = (214, 128, 0)
HONEY_EDGE = (122, 70, 0)
WAX_HI = (255, 244, 200)
PAPER_HI = (255, 255, 255)
PAPER_LO = (226, 231, 239)
PAPER_EDGE = (104, 114, 130)
LINE = (150, 160, 176)
GREEN_HI = (128, 206, 84)
GREEN_LO = (44, 140, 36)
GREEN_EDGE = (26, 90, 20)
RED_HI = (246, 112, 90)
RED_LO = (196, 36, 24)
RED_EDGE = (120, 18, 8)
BLUE_HI = (104, 168, 240)
BLUE_LO = (30, 92, 186)
BLUE_EDGE = (18, 56, 124)
ORANGE_HI = (255, 164, 84)
ORANGE_LO = (220, 96, 16)
ORANGE_EDGE = (130, 52, 0)
STEEL_HI = (186, 196, 210)
STEEL_LO = (104, 116, 134)
STEEL_EDGE = (56, 64, 80)
MAKER_BLUE = (0, 64, 128)
WHITE = (255, 255, 255)
DARK = (40, 40, 48)

# ---------------------------------------------------------------------------
# A small pixel font for the labels on plates (each glyph is rows of bits).

GLYPHS = {
    "A": [".X.", "X.X", "XXX", "X.X", "X.X"],
    "B": ["XX.", "X.X", "XX.", "X.X", "XX."],
    "D": ["XX.", "X.X", "X.X", "X.X", "XX."],
    "E": ["XXX", "X..", "XX.", "X..", "XXX"],
    "F": ["XXX", "X..", "XX.", "X..", "X.."],
    "H": ["X.X", "X.X", "XXX", "X.X", "X.X"],
    "I": ["XXX", ".X.", ".X.", ".X.", "XXX"],
    "J": ["..X", "..X", "..X", "X.X", ".X."],
    "L": ["X..", "X..", "X..", "X..", "XXX"],
    "M": ["X...X", "XX.XX", "X.X.X", "X...X", "X...X"],
    "N": ["X..X", "XX.X", "X.XX", "X..X", "X..X"],
    "O": [".X.", "X.X", "X.X", "X.X", ".X."],
    "R": ["XX.", "X.X", "XX.", "X.X", "X.X"],
    "S": [".XX", "X..", ".X.", "..X", "XX."],
    "T": ["XXX", ".X.", ".X.", ".X.", ".X."],
    "U": ["X.X", "X.X", "X.X", "X.X", "XXX"],
    "X": ["X.X", "X.X", ".X.", "X.X", "X.X"],
    "5": ["XXX", "X..", "XX.", "..X", "XX."],
}


def text_width(text, scale=1):
    return (sum(len(GLYPHS[ch][0]) for ch in text) + len(text) - 1) * scale


def text_shape(text, x, y, scale=1):
    contours = []
    for ch in text:
        rows = GLYPHS[ch]
        for j, row in enumerate(rows):
            for i, bit in enumerate(row):
                if bit == "X":
                    contours += rect(x + i * scale, y + j * scale, x + (i + 1) * scale, y + (j + 1) * scale)
        x += (len(rows[0]) + 1) * scale
    return contours


# ---------------------------------------------------------------------------
# Building blocks shared by the pictures


def outlined(c, outer, inner, edge, hi, lo, y0, y1):
    """An outer shape in the edge colour with the inner shape (one pixel
    smaller) over it in a top-to-bottom gradient."""
    c.fill(outer, edge)
    c.fill(inner, vgrad(y0, hi, y1, lo))


def honey_cell(c, cx, cy, hw, edge=1.0, shine=True):
    outlined(c, hexagon(cx, cy, hw), hexagon(cx, cy, hw - edge), HONEY_EDGE, HONEY_HI, HONEY_LO,
             cy - hw, cy + hw)
    if shine and hw >= 3:
        # The wax glint that makes a cell read as filled with honey.
        c.fill(hexagon(cx - hw * 0.25, cy - hw * 0.3, hw * 0.28), WAX_HI, 0.75)


def comb(c, cx, cy, hw):
    """Three honey cells in a triangle centred on (cx, cy): the program's mark."""
    r = 2 * hw / SQRT3
    ty = cy - 0.75 * r
    by = ty + 1.5 * r
    for x, y in [(cx - hw, by), (cx + hw, by), (cx, ty)]:
        honey_cell(c, x, y, hw - 0.25, 1.0, shine=hw >= 4)


def paper(c, x0, y0, x1, y1, fold):
    outlined(c, page(x0, y0, x1, y1, fold), page(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fold - 0.4),
             PAPER_EDGE, PAPER_HI, PAPER_LO, y0, y1)
    # The folded-over corner.
    c.fill(polygon((x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)), PAPER_EDGE)
    c.fill(polygon((x1 - fold + 1, y0 + 1.6), (x1 - fold + 1, y0 + fold - 1), (x1 - 1.6, y0 + fold - 1)),
           (236, 240, 246))


def plate(c, x0, y0, x1, y1, label, edge, hi, lo, ink=WHITE):
    """A coloured label plate with pixel text centred on it."""
    outlined(c, rrect(x0, y0, x1, y1, 1.5), rrect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 0.8), edge, hi, lo, y0, y1)
    tx = x0 + (x1 - x0 - text_width(label)) // 2
    ty = y0 + (y1 - y0 - 5) // 2
    c.fill(text_shape(label, tx, ty), ink)


def badge(c, cx, cy, r, edge, hi, lo):
    outlined(c, circle(cx, cy, r), circle(cx, cy, r - 1), edge, hi, lo, cy - r, cy + r)


def plus_sign(c, x0, y0, size, bar, edge=GREEN_EDGE, hi=GREEN_HI, lo=GREEN_LO):
    """A plus sign filling the square at (x0, y0) with the given bar width."""
    m = x0 + (size - bar) / 2.0
    n = y0 + (size - bar) / 2.0
    c.fill(rect(m, y0, m + bar, y0 + size) + rect(x0, n, x0 + size, n + bar), edge)
    c.fill(rect(m + 1, y0 + 1, m + bar - 1, y0 + size - 1) + rect(x0 + 1, n + 1, x0 + size - 1, n + bar - 1),
           vgrad(y0, hi, y0 + size, lo))


def check_mark(c, pts, width, color):
    c.fill(stroke(pts, width), color)


def cross(c, cx, cy, half, width, color):
    c.fill(stroke([(cx - half, cy - half), (cx + half, cy + half)], width)
           + stroke([(cx - half, cy + half), (cx + half, cy - half)], width), color)


# ---------------------------------------------------------------------------
# The application icon: a cluster of honeycomb cells.


def app_icon(size):
    c = Canvas(size, size)
    if size >= 48:
        # Seven cells: one in the middle and a ring of six.
        hw = size / 6.25
        gap = max(1.0, size / 40.0)
        cx = cy = size / 2.0
        step = 2 * hw
        cells = [(0, 0)] + [(step * math.cos(math.radians(a)), step * math.sin(math.radians(a)))
                            for a in range(0, 360, 60)]
        edge = max(1.0, size / 40.0)
        for dx, dy in sorted(cells, key=lambda p: (p[1], p[0])):
            honey_cell(c, cx + dx, cy + dy, hw - gap / 2, edge)
        # One cell still open: the empty wax shows the comb's depth.
        ox, oy = cx + step * math.cos(math.radians(300)), cy + step * math.sin(math.radians(300))
        c.fill(hexagon(ox, oy, hw - gap / 2 - edge * 2), vgrad(oy - hw, (150, 90, 10), oy + hw, (236, 170, 40)))
    else:
        # Three cells in a triangle keep the comb readable at small sizes.
        hw = {16: 3.5, 20: 4.5, 24: 5.5, 32: 7.5}[size]
        comb(c, size / 2.0, size / 2.0, hw)
    return c


# ---------------------------------------------------------------------------
# Main menu pictures, 22 by 22


def menu_ayar():
    c = Canvas(22, 22)
    teeth = []
    for i in range(8):
        a = math.radians(i * 45)
        ca, sa = math.cos(a), math.sin(a)
        px, py = -sa, ca
        w0, w1 = 2.1, 1.5
        r0, r1 = 6.5, 10.2
        teeth.append([(11 + ca * r0 + px * w0, 11 + sa * r0 + py * w0), (11 + ca * r1 + px * w1, 11 + sa * r1 + py * w1),
                      (11 + ca * r1 - px * w1, 11 + sa * r1 - py * w1), (11 + ca * r0 - px * w0, 11 + sa * r0 - py * w0)])
    body = teeth + circle(11, 11, 7.6)
    c.fill(body, STEEL_EDGE)
    inner = []
    for t in teeth:
        cx = sum(p[0] for p in t) / 4
        cy = sum(p[1] for p in t) / 4
        inner.append([(11 + (x - 11) * 0.9 + (cx - x) * 0.25, 11 + (y - 11) * 0.9 + (cy - y) * 0.25) for x, y in t])
    c.fill(inner + circle(11, 11, 6.6), vgrad(1, STEEL_HI, 21, STEEL_LO))
    # A hexagonal nut hole: the settings of the hive.
    c.fill(hexagon(11, 11, 3.6), STEEL_EDGE)
    c.erase(hexagon(11, 11, 2.6))
    return c


def menu_cikis():
    c = Canvas(22, 22)
    badge(c, 11, 11, 10, RED_EDGE, RED_HI, RED_LO)
    c.fill(stroke(arc_points(11, 11.5, 5, -58, 238), 2.0), WHITE)
    c.fill(stroke([(11, 4.5), (11, 11)], 2.0), WHITE)
    return c


def menu_hakkinda():
    c = Canvas(22, 22)
    badge(c, 11, 11, 10, BLUE_EDGE, BLUE_HI, BLUE_LO)
    c.fill(circle(11, 6.5, 1.6), WHITE)
    c.fill(rect(10, 9, 12, 16) + rect(9, 9, 10, 10) + rect(9, 15, 13, 16), WHITE)
    return c


def menu_liste():
    c = Canvas(22, 22)
    outlined(c, rrect(2, 2, 20, 20, 2), rrect(3, 3, 19, 19, 1.2), PAPER_EDGE, PAPER_HI, PAPER_LO, 2, 20)
    for y in (6.5, 11, 15.5):
        honey_cell(c, 7, y, 2.4, 0.8, shine=False)
        c.fill(rect(11, y - 1, 17, y + 1), LINE)
    return c


def menu_res():
    c = Canvas(22, 22)
    paper(c, 2, 1, 16, 20, 5)
    for y in (7, 10, 13):
        c.fill(rect(5, y, 12, y + 1), LINE)
    comb(c, 15, 14.5, 3.5)
    return c


def menu_temizle():
    c = Canvas(22, 22)
    # A broom sweeping to the lower left.
    c.fill(stroke([(19.5, 2.5), (11.5, 10.5)], 2.6), (96, 56, 18))
    c.fill(stroke([(19.5, 2.5), (11.5, 10.5)], 1.2), (178, 118, 54))
    bristles = polygon((10.5, 8.0), (14.0, 11.5), (8.5, 20.5), (1.5, 13.5))
    c.fill(bristles, HONEY_EDGE)
    c.fill(polygon((10.6, 9.4), (12.6, 11.4), (8.2, 18.8), (3.2, 13.8)), vgrad(8, HONEY_HI, 20, HONEY_LO))
    for t in (0.3, 0.55, 0.8):
        x0, y0 = 11.6 + (6.0 - 11.6) * t, 10.4 + (16.3 - 10.4) * t
        c.fill(stroke([(x0, y0), (x0 - 2.2, y0 + 2.2)], 0.7), HONEY_EDGE, 0.6)
    c.fill(stroke([(9.7, 8.6), (13.4, 12.3)], 1.6), (90, 60, 30))
    return c


def menu_doc_plate(label, edge, hi, lo):
    c = Canvas(22, 22)
    paper(c, 2, 1, 15, 20, 5)
    for y in (6, 9):
        c.fill(rect(5, y, 11, y + 1), LINE)
    plate(c, 7, 11, 21, 19, label, edge, hi, lo)
    return c


def menu_resobj():
    c = Canvas(22, 22)
    plate(c, 1, 2, 15, 10, "RES", HONEY_EDGE, HONEY, HONEY_LO)
    plate(c, 7, 12, 21, 20, "OBJ", BLUE_EDGE, BLUE_HI, BLUE_LO)
    c.fill(stroke([(4, 11), (4, 16), (5.5, 16)], 2.0), GREEN_EDGE)
    c.fill(polygon((4.5, 12.5), (7.5, 16), (4.5, 19.5)), GREEN_EDGE)
    return c


def menu_update2():
    c = Canvas(22, 22)
    badge(c, 11, 11, 10, GREEN_EDGE, GREEN_HI, GREEN_LO)
    c.fill(polygon((11, 3.5), (17, 10), (13, 10), (13, 17), (9, 17), (9, 10), (5, 10)), WHITE)
    return c


def menu_yardim():
    c = Canvas(22, 22)
    honey_cell(c, 11, 11, 9, 1.0, shine=False)
    q = arc_points(11, 8.3, 3.3, 190, 360) + arc_points(11, 8.3, 3.3, 0, 60)
    q += [(11, 12.6), (11, 13.5)]
    c.fill(stroke(q, 2.3), HONEY_EDGE)
    c.fill(circle(11, 16.7, 1.5), HONEY_EDGE)
    return c


# ---------------------------------------------------------------------------
# Pool window pictures, 20 by 20


def pool_ekle():
    c = Canvas(20, 20)
    plus_sign(c, 2, 2, 16, 6)
    return c


def pool_iptal():
    c = Canvas(20, 20)
    badge(c, 10, 10, 9, RED_EDGE, RED_HI, RED_LO)
    cross(c, 10, 10, 3.5, 2.4, WHITE)
    return c


def pool_sil():
    c = Canvas(20, 20)
    paper(c, 2, 1, 14, 18, 4)
    for y in (6, 9, 12):
        c.fill(rect(4, y, 10, y + 1), LINE)
    cross(c, 14, 14, 3.5, 4.4, RED_EDGE)
    cross(c, 14, 14, 3.5, 2.4, (226, 64, 44))
    return c


def pool_tamam():
    c = Canvas(20, 20)
    badge(c, 10, 10, 9, GREEN_EDGE, GREEN_HI, GREEN_LO)
    check_mark(c, [(5.5, 10.2), (8.6, 13.2), (14.5, 6.8)], 2.4, WHITE)
    return c


def pool_doc_plate(label, edge, hi, lo):
    c = Canvas(20, 20)
    paper(c, 1, 1, 13, 18, 4)
    c.fill(rect(3, 6, 9, 7), LINE)
    w = text_width(label) + 4
    plate(c, 19 - w, 10, 19, 18, label, edge, hi, lo)
    return c


def pool_html():
    c = Canvas(20, 20)
    paper(c, 1, 1, 13, 18, 4)
    c.fill(rect(3, 6, 9, 7), LINE)
    # A web page: the globe.
    c.fill(circle(13.5, 13.5, 6.5), BLUE_EDGE)
    c.fill(circle(13.5, 13.5, 5.5), rgrad(12, 11.5, 7, BLUE_HI, BLUE_LO))
    lines = rect(8, 13, 19, 14) + rect(13, 8, 14, 19)
    lines += stroke(arc_points(19.5, 13.5, 7.2, 146, 214), 0.9) + stroke(arc_points(7.5, 13.5, 7.2, -34, 34), 0.9)
    c.fill(lines, (214, 232, 255), 0.85)
    return c


def pool_excel():
    c = Canvas(20, 20)
    outlined(c, rrect(1, 2, 19, 18, 1.5), rect(2, 3, 18, 17), GREEN_EDGE, PAPER_HI, PAPER_LO, 2, 18)
    c.fill(rect(2, 3, 18, 7), vgrad(3, GREEN_HI, 7, GREEN_LO))
    grid = []
    for x in (7, 12):
        grid += rect(x, 7, x + 1, 17)
    for y in (10, 13):
        grid += rect(2, y, 18, y + 1)
    c.fill(grid, (120, 170, 110))
    c.fill(rect(2, 7, 7, 17), (214, 236, 206))
    c.fill(rect(7, 7, 8, 17) + rect(2, 10, 7, 11) + rect(2, 13, 7, 14), (120, 170, 110))
    return c


def pool_aktar():
    c = Canvas(20, 20)
    paper(c, 1, 1, 13, 18, 4)
    for y in (6, 9, 12):
        c.fill(rect(3, y, 9, y + 1), LINE)
    arrow = polygon((8, 11), (13, 11), (13, 8), (19, 13), (13, 18), (13, 15), (8, 15))
    c.fill(arrow, GREEN_EDGE)
    c.fill(polygon((9, 12), (14, 12), (14, 10.2), (17.4, 13), (14, 15.8), (14, 14), (9, 14)),
           vgrad(8, GREEN_HI, 18, GREEN_LO))
    return c


def pool_kaydet():
    c = Canvas(20, 20)
    body = polygon((2, 2), (16, 2), (18, 4), (18, 18), (2, 18))
    c.fill(body, BLUE_EDGE)
    c.fill(polygon((3, 3), (15.6, 3), (17, 4.4), (17, 17), (3, 17)), vgrad(2, BLUE_HI, 18, BLUE_LO))
    c.fill(rect(5, 3, 14, 8), (232, 236, 242))
    c.fill(rect(11, 4, 13, 7), BLUE_LO)
    c.fill(rect(5, 11, 15, 17), WHITE)
    for y in (13, 15):
        c.fill(rect(6, y, 14, y + 1), LINE)
    return c


def pool_ackapa():
    c = Canvas(20, 20)
    c.fill(rect(5, 8, 6, 15) + rect(6, 14, 11, 15) + rect(10, 3, 14, 4), LINE)
    for x0, y0, plus in ((1, 1, True), (10, 10, False)):
        outlined(c, rect(x0, y0, x0 + 9, y0 + 9), rect(x0 + 1, y0 + 1, x0 + 8, y0 + 8),
                 PAPER_EDGE, PAPER_HI, PAPER_LO, y0, y0 + 9)
        c.fill(rect(x0 + 2, y0 + 4, x0 + 7, y0 + 5), BLUE_LO)
        if plus:
            c.fill(rect(x0 + 4, y0 + 2, x0 + 5, y0 + 7), BLUE_LO)
    return c


def pool_yenidos():
    c = Canvas(20, 20)
    paper(c, 1, 1, 13, 18, 4)
    for y in (6, 9):
        c.fill(rect(3, y, 9, y + 1), LINE)
    plus_sign(c, 9, 9, 11, 5)
    return c


def folder(c, x0, y0, x1, y1):
    c.fill(polygon((x0, y0 + 1), (x0 + 1, y0), (x0 + 6, y0), (x0 + 7.5, y0 + 2), (x1, y0 + 2), (x1, y1), (x0, y1)),
           HONEY_EDGE)
    c.fill(polygon((x0 + 1, y0 + 1), (x0 + 5.6, y0 + 1), (x0 + 7, y0 + 3), (x1 - 1, y0 + 3), (x1 - 1, y1 - 1),
                   (x0 + 1, y1 - 1)), vgrad(y0, HONEY, y1, HONEY_LO))
    c.fill(polygon((x0 + 1, y0 + 5), (x1 - 1, y0 + 5), (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)),
           vgrad(y0 + 5, HONEY_HI, y1, HONEY))
    c.fill(rect(x0 + 1, y0 + 4, x1 - 1, y0 + 5), HONEY_EDGE, 0.6)


def pool_yeniklas():
    c = Canvas(20, 20)
    folder(c, 1, 2, 17, 16)
    plus_sign(c, 9, 9, 11, 5)
    return c


# ---------------------------------------------------------------------------
# Small pictures of buttons and hints


def hint_help():
    """The key cap that goes with the hint's "press F5" line."""
    c = Canvas(16, 16)
    c.fill(rrect(1, 1, 15, 15, 2.5), PAPER_EDGE)
    c.fill(rrect(2, 2, 14, 14, 1.6), (196, 202, 214))
    c.fill(rrect(2, 2, 14, 12, 1.6), vgrad(2, PAPER_HI, 12, (232, 236, 242)))
    c.fill(text_shape("F5", 4, 4), DARK)
    return c


def close_button(size):
    c = Canvas(size, size)
    c.fill(rrect(0, 0, size, size, size / 4.0), RED_EDGE)
    c.fill(rrect(1, 1, size - 1, size - 1, size / 4.0 - 0.8), vgrad(0, RED_HI, size, RED_LO))
    half = size * 0.2
    cross(c, size / 2.0, size / 2.0, half, max(1.5, size / 8.0), WHITE)
    return c


def glyph_ok():
    """A white tick for the settings window's green glass button."""
    c = Canvas(16, 16)
    check_mark(c, [(3.5, 8.2), (6.6, 11.3), (12.5, 4.8)], 3.6, (0, 60, 0, 110))
    check_mark(c, [(3.5, 8.0), (6.6, 11.0), (12.5, 4.6)], 2.2, WHITE)
    return c


# ---------------------------------------------------------------------------
# About window: the logo and the three credit pictures (80 by 54)


def about_maker():
    c = Canvas(80, 54)
    c.fill(circle(20, 27, 16), MAKER_BLUE)
    c.erase(circle(20, 27, 11))
    c.fill(circle(20, 27, 6), vgrad(21, ORANGE_HI, 33, ORANGE_LO))
    c.fill(rect(4, 26, 36, 28), MAKER_BLUE)
    c.fill(text_shape("ORSEL", 40, 17, 2), MAKER_BLUE)
    c.fill(text_shape("RIRUDIR", 40, 32, 1), ORANGE_LO)
    return c


def about_languages():
    c = Canvas(80, 54)
    # A globe...
    c.fill(circle(26, 29, 20), BLUE_EDGE)
    c.fill(circle(26, 29, 19), rgrad(20, 23, 26, BLUE_HI, BLUE_LO))
    lines = stroke([(7, 29), (45, 29)], 1.2) + stroke([(26, 10), (26, 48)], 1.2)
    lines += stroke([(10, 19.5), (42, 19.5)], 1.0) + stroke([(10, 38.5), (42, 38.5)], 1.0)
    lines += stroke(arc_points(40, 29, 21, 137, 223), 1.0) + stroke(arc_points(12, 29, 21, -43, 43), 1.0)
    c.fill(lines, (210, 230, 255), 0.8)
    # ...and two speech bubbles talking in different tongues.
    for x0, y0, edge, hi, lo, label in ((42, 4, HONEY_EDGE, HONEY_HI, HONEY, "TR"),
                                        (50, 26, GREEN_EDGE, GREEN_HI, GREEN_LO, "EN")):
        outlined(c, rrect(x0, y0, x0 + 26, y0 + 16, 4) + polygon((x0 + 4, y0 + 14), (x0 + 2, y0 + 22), (x0 + 11, y0 + 14)),
                 rrect(x0 + 1, y0 + 1, x0 + 25, y0 + 15, 3) + polygon((x0 + 5, y0 + 13), (x0 + 3.4, y0 + 19.5), (x0 + 10, y0 + 13)),
                 edge, hi, lo, y0, y0 + 16)
        c.fill(text_shape(label, x0 + 13 - text_width(label, 2) // 2, y0 + 3, 2), WHITE)
    return c


def about_compiler():
    c = Canvas(80, 54)
    # A script goes in, a compiled resource comes out.
    outlined(c, page(4, 6, 26, 48, 7), page(5, 7, 25, 47, 6.6), PAPER_EDGE, PAPER_HI, PAPER_LO, 6, 48)
    for y in (16, 21, 26, 31, 36):
        c.fill(rect(8, y, 21, y + 2), LINE)
    arrow = polygon((29, 23), (39, 23), (39, 17), (49, 27), (39, 37), (39, 31), (29, 31))
    c.fill(arrow, GREEN_EDGE)
    c.fill(polygon((30, 24), (40, 24), (40, 19.5), (47.5, 27), (40, 34.5), (40, 30), (30, 30)),
           vgrad(17, GREEN_HI, 37, GREEN_LO))
    plate(c, 52, 15, 78, 39, "", HONEY_EDGE, HONEY, HONEY_LO)
    c.fill(text_shape("RES", 65 - text_width("RES", 2) // 2, 22, 2), WHITE)
    return c


# ---------------------------------------------------------------------------

MENU = [  # in the order of the main menu's image list
    ("menu_ayar", menu_ayar),
    ("menu_cikis", menu_cikis),
    ("menu_hakkinda", menu_hakkinda),
    ("menu_liste", menu_liste),
    ("menu_res", menu_res),
    ("menu_temizle", menu_temizle),
    ("menu_resy", lambda: menu_doc_plate("RES", HONEY_EDGE, HONEY, HONEY_LO)),
    ("menu_objy", lambda: menu_doc_plate("OBJ", BLUE_EDGE, BLUE_HI, BLUE_LO)),
    ("menu_update2", menu_update2),
    ("menu_resobj", menu_resobj),
    ("menu_yardim", menu_yardim),
]

POOL = [  # in the order of the pool window's image list
    ("pool_ekle", pool_ekle),
    ("pool_iptal", pool_iptal),
    ("pool_sil", pool_sil),
    ("pool_tamam", pool_tamam),
    ("pool_excel", pool_excel),
    ("pool_xml", lambda: pool_doc_plate("XML", ORANGE_EDGE, ORANGE_HI, ORANGE_LO)),
    ("pool_aktar", pool_aktar),
    ("pool_kaydet", pool_kaydet),
    ("pool_html", pool_html),
    ("pool_ackapa", pool_ackapa),
    ("pool_yenidos", pool_yenidos),
    ("pool_yeniklas", pool_yeniklas),
]

OTHERS = [
    ("about_logo", lambda: app_icon(64)),
    ("about_maker", about_maker),
    ("about_languages", about_languages),
    ("about_compiler", about_compiler),
    ("hint_help", hint_help),
    ("close_12", lambda: close_button(12)),
    ("close_16", lambda: close_button(16)),
    ("glyph_ok", glyph_ok),
]

ICON_SIZES = (16, 20, 24, 32, 48, 64, 256)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                             "..", "res", "images")
    os.makedirs(out, exist_ok=True)
    for name, draw in MENU + POOL + OTHERS:
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(png_bytes(draw()))
    with open(os.path.join(out, "kovan.ico"), "wb") as f:
        f.write(ico_bytes([app_icon(s) for s in ICON_SIZES]))


if __name__ == "__main__":
    main()
