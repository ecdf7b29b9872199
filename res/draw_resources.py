#!/usr/bin/env python3
"""Draws the program's button bitmaps and icons and writes them to res/bmp and res/ico.

Standard library only, so that anyone can redraw them:  python3 res/draw_resources.py
The generated files are committed; the build only needs windres.

Pictures are made of a few vector shapes rendered with 4 x 4 supersampling, plus a
pixel font for the handful of labels, which stays sharp at these small sizes.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Backgrounds. The jog images sit on the manual group box, which is painted in 224 grey;
# the static control fills its margin with the image's top-left pixel, so that pixel must
# be the group color. Push-button images use the classic button face.
BG_JOG = (224, 224, 224)
BG_BTN = (240, 240, 240)

SS = 4
SAMPLES = [((i + 0.5) / SS, (j + 0.5) / SS) for j in range(SS) for i in range(SS)]


# ---------------------------------------------------------------------------------------
# Shapes: each has a bounding box and an inside test on continuous coordinates, where
# pixel (i, j) covers [i, i+1) x [j, j+1).

class Shape:
    bbox = (0, 0, 0, 0)

    def inside(self, x, y):
        raise NotImplementedError


class Poly(Shape):
    def __init__(self, pts):
        self.pts = [(float(x), float(y)) for x, y in pts]
        xs = [p[0] for p in self.pts]
        ys = [p[1] for p in self.pts]
        self.bbox = (min(xs), min(ys), max(xs), max(ys))
        self.edges = list(zip(self.pts, self.pts[1:] + self.pts[:1]))

    def inside(self, x, y):
        c = False
        for (x0, y0), (x1, y1) in self.edges:
            if (y0 > y) != (y1 > y):
                if x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                    c = not c
        return c


class Rect(Shape):
    def __init__(self, x0, y0, x1, y1):
        self.bbox = (x0, y0, x1, y1)

    def inside(self, x, y):
        b = self.bbox
        return b[0] <= x < b[2] and b[1] <= y < b[3]


class RoundRect(Shape):
    def __init__(self, x0, y0, x1, y1, r):
        self.bbox = (x0, y0, x1, y1)
        self.r = r

    def inside(self, x, y):
        x0, y0, x1, y1 = self.bbox
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        r = self.r
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


class Circle(Shape):
    def __init__(self, cx, cy, r, ry=None):
        self.c = (cx, cy)
        self.r = (r, ry if ry is not None else r)
        self.bbox = (cx - r, cy - self.r[1], cx + r, cy + self.r[1])

    def inside(self, x, y):
        dx = (x - self.c[0]) / self.r[0]
        dy = (y - self.c[1]) / self.r[1]
        return dx * dx + dy * dy <= 1.0


class Seg(Shape):
    """A line of the given width with round ends."""

    def __init__(self, x0, y0, x1, y1, w):
        self.a = (x0, y0)
        self.d = (x1 - x0, y1 - y0)
        self.h = w / 2.0
        self.len2 = self.d[0] ** 2 + self.d[1] ** 2
        self.bbox = (min(x0, x1) - self.h, min(y0, y1) - self.h,
                     max(x0, x1) + self.h, max(y0, y1) + self.h)

    def inside(self, x, y):
        px, py = x - self.a[0], y - self.a[1]
        t = 0.0 if self.len2 == 0 else max(0.0, min(1.0, (px * self.d[0] + py * self.d[1]) / self.len2))
        qx, qy = px - t * self.d[0], py - t * self.d[1]
        return qx * qx + qy * qy <= self.h * self.h


class Union(Shape):
    def __init__(self, *shapes):
        self.shapes = shapes
        self.bbox = (min(s.bbox[0] for s in shapes), min(s.bbox[1] for s in shapes),
                     max(s.bbox[2] for s in shapes), max(s.bbox[3] for s in shapes))

    def inside(self, x, y):
        return any(s.inside(x, y) for s in self.shapes)


class Diff(Shape):
    def __init__(self, a, *cut):
        self.a, self.cut = a, cut
        self.bbox = a.bbox

    def inside(self, x, y):
        return self.a.inside(x, y) and not any(c.inside(x, y) for c in self.cut)


class Clip(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b
        self.bbox = (max(a.bbox[0], b.bbox[0]), max(a.bbox[1], b.bbox[1]),
                     min(a.bbox[2], b.bbox[2]), min(a.bbox[3], b.bbox[3]))

    def inside(self, x, y):
        return self.a.inside(x, y) and self.b.inside(x, y)


def polyline(pts, w):
    return Union(*[Seg(x0, y0, x1, y1, w) for (x0, y0), (x1, y1) in zip(pts, pts[1:])])


def outline(pts, w=1.0):
    """The edge of a closed polygon as a stroke, half inside and half outside."""
    return polyline(list(pts) + [pts[0]], w)


def ring(cx, cy, r_out, r_in):
    return Diff(Circle(cx, cy, r_out), Circle(cx, cy, r_in))


def rotate(pts, angle_deg, cx, cy):
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * ca - (y - cy) * sa, cy + (x - cx) * sa + (y - cy) * ca) for x, y in pts]


def arrow_pts(cx, cy, length, shaft, head_w, head_len, angle_deg):
    """An arrow centered on (cx, cy), pointing right at angle 0 (degrees clockwise, y down)."""
    x0, x1 = cx - length / 2.0, cx + length / 2.0
    xh = x1 - head_len
    pts = [(x0, cy - shaft / 2.0), (xh, cy - shaft / 2.0), (xh, cy - head_w / 2.0), (x1, cy),
           (xh, cy + head_w / 2.0), (xh, cy + shaft / 2.0), (x0, cy + shaft / 2.0)]
    return rotate(pts, angle_deg, cx, cy)


def octagon_pts(cx, cy, r):
    return [(cx + r * math.cos(math.radians(22.5 + 45 * k)), cy + r * math.sin(math.radians(22.5 + 45 * k)))
            for k in range(8)]


# ---------------------------------------------------------------------------------------
# Paints: a color, or a vertical gradient between two colors.

def vgrad(c0, c1, y0, y1):
    def paint(x, y):
        t = 0.0 if y1 == y0 else min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(c0, c1))
    return paint


def dgrad(c0, c1, x0, y0, x1, y1):
    """Gradient along the diagonal from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    n = dx * dx + dy * dy

    def paint(x, y):
        t = min(1.0, max(0.0, ((x - x0) * dx + (y - y0) * dy) / n))
        return tuple(a + (b - a) * t for a, b in zip(c0, c1))
    return paint


# ---------------------------------------------------------------------------------------

class Canvas:
    """RGBA picture with straight (not premultiplied) alpha, channels 0..1."""

    def __init__(self, w, h, bg=None):
        self.w, self.h = w, h
        if bg is None:
            self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]
        else:
            self.px = [[bg[0] / 255.0, bg[1] / 255.0, bg[2] / 255.0, 1.0] for _ in range(w * h)]

    def blend(self, x, y, rgb, a):
        if a <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y * self.w + x]
        da = p[3] * (1.0 - a)
        oa = a + da
        for k in range(3):
            p[k] = (rgb[k] / 255.0 * a + p[k] * da) / oa
        p[3] = oa

    def fill(self, shape, paint, alpha=1.0):
        x0, y0, x1, y1 = shape.bbox
        ix0, iy0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        ix1, iy1 = min(self.w, int(math.ceil(x1)) + 1), min(self.h, int(math.ceil(y1)) + 1)
        inside = shape.inside
        solid = not callable(paint)
        for y in range(iy0, iy1):
            for x in range(ix0, ix1):
                n = 0
                for ox, oy in SAMPLES:
                    if inside(x + ox, y + oy):
                        n += 1
                if n:
                    rgb = paint if solid else paint(x + 0.5, y + 0.5)
                    self.blend(x, y, rgb, alpha * n / len(SAMPLES))

    def pixel(self, x, y, rgb, a=1.0):
        self.blend(x, y, rgb, a)

    def rgba8(self):
        out = []
        for r, g, b, a in self.px:
            a8 = int(round(a * 255))
            if a8 == 0:
                out.append((0, 0, 0, 0))
            else:
                out.append((int(round(r * 255)), int(round(g * 255)), int(round(b * 255)), a8))
        return out


# ---------------------------------------------------------------------------------------
# Pixel font, 5 wide and 7 high above the base line; descenders go below.

FONT = {
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'D': ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    'E': ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    'F': ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    'P': ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    'R': ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    'S': [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    'T': ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    'U': ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'Z': ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    '0': [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'u': [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    't': [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    'o': [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    'e': [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    'p': [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    ' ': [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


# 3 x 5, for a word inside a symbol
FONT_SMALL = {
    'S': [".##", "#..", ".#.", "..#", "##."],
    'T': ["###", ".#.", ".#.", ".#.", ".#."],
    'O': [".#.", "#.#", "#.#", "#.#", ".#."],
    'P': ["##.", "#.#", "##.", "#..", "#.."],
}


def text_width(s, scale=1, bold=False, font=FONT):
    cw = len(font[s[0]][0])
    return len(s) * (cw + bold + 1) * scale - scale


def draw_text(cv, x, y, s, rgb, scale=1, bold=False, font=FONT):
    """Top of the capitals at y. Bold doubles every stroke one pixel to the right."""
    for ch in s:
        cw = len(font[ch][0])
        for row, line in enumerate(font[ch]):
            for col, c in enumerate(line):
                if c != '#':
                    continue
                for bx in range(2 if bold else 1):
                    for sy in range(scale):
                        for sx in range(scale):
                            cv.pixel(x + (col + bx) * scale + sx, y + row * scale + sy, rgb)
        x += (cw + bold + 1) * scale


# ---------------------------------------------------------------------------------------
# Common parts

TEXT = (24, 24, 24)
BLUE_TOP, BLUE_BOT, BLUE_EDGE = (84, 150, 240), (18, 72, 180), (8, 34, 104)
GREEN_TOP, GREEN_BOT, GREEN_EDGE = (110, 214, 90), (24, 140, 30), (10, 80, 10)
RED_TOP, RED_BOT, RED_EDGE = (250, 96, 80), (196, 18, 18), (110, 0, 0)


def key(cv, x0, y0, x1, y1, r=3):
    """A raised key cap: soft shadow, dark rim, white top-left and grey bottom-right bevel."""
    cv.fill(RoundRect(x0 + 1, y0 + 1, x1 + 1, y1 + 1, r), (0, 0, 0), 0.22)
    cv.fill(RoundRect(x0, y0, x1, y1, r), (104, 104, 104))
    cv.fill(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, r - 1), (168, 168, 168))
    cv.fill(RoundRect(x0 + 1, y0 + 1, x1 - 2, y1 - 2, r - 1), (255, 255, 255))
    cv.fill(RoundRect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, r - 1), vgrad((250, 250, 250), (214, 214, 214), y0, y1))


def shaded_poly(cv, pts, top, bot, edge, y0=None, y1=None, edge_w=1.0):
    ys = [p[1] for p in pts]
    cv.fill(Poly(pts), vgrad(top, bot, min(ys) if y0 is None else y0, max(ys) if y1 is None else y1))
    cv.fill(outline(pts, edge_w), edge)


def blue_arrow(cv, cx, cy, length, shaft, head_w, head_len, angle):
    pts = arrow_pts(cx, cy, length, shaft, head_w, head_len, angle)
    ys = [p[1] for p in pts]
    cv.fill(Poly(pts), dgrad(BLUE_TOP, BLUE_BOT, cx - length / 2, min(ys), cx + length / 2, max(ys)))
    cv.fill(outline(pts), BLUE_EDGE)


def chip(cv, x0, y0, x1, y1, pins=4, k=1.0):
    """The controller: a yellow chip with legs along its top and bottom edges."""
    pitch = (x1 - x0) / pins
    lw = max(1, int(round(2 * k)))
    ll = max(2, int(round(3 * k)))
    for i in range(pins):
        lx = int(round(x0 + pitch * (i + 0.5) - lw / 2.0))
        for ly0, ly1 in ((int(y0) - ll, int(y0) + 1), (int(y1) - 1, int(y1) + ll)):
            cv.fill(Rect(lx, ly0, lx + lw, ly1), (96, 96, 104))
            if lw > 1:
                cv.fill(Rect(lx, ly0, lx + lw // 2, ly1), (176, 176, 184))
    r = 2.0 * k
    cv.fill(RoundRect(x0, y0, x1, y1, r), (104, 76, 0))
    cv.fill(RoundRect(x0 + k, y0 + k, x1 - k, y1 - k, r - 0.5 * k),
            vgrad((255, 238, 120), (232, 174, 10), y0, y1))
    cy = (y0 + y1) / 2.0
    cv.fill(Clip(Circle(x0, cy, 2.5 * k), Rect(x0, y0, x1, y1)), (104, 76, 0))
    cv.fill(Circle(x0 + 3.5 * k, y1 - 3.5 * k, 1.2 * k), (150, 108, 0))


def form(cv, x0, y0, x1, y1):
    """The setup dialog itself: a small window with a title bar and a few fields."""
    cv.fill(Rect(x0 + 1, y0 + 1, x1 + 1, y1 + 1), (0, 0, 0), 0.25)
    cv.fill(Rect(x0, y0, x1, y1), (64, 64, 72))
    cv.fill(Rect(x0 + 1, y0 + 1, x1 - 1, y0 + 5), vgrad((40, 110, 220), (10, 50, 150), y0, y0 + 5))
    cv.fill(Rect(x1 - 4, y0 + 2, x1 - 2, y0 + 4), (255, 255, 255))
    cv.fill(Rect(x0 + 1, y0 + 5, x1 - 1, y1 - 1), (250, 250, 250))
    y = y0 + 7
    while y + 3 <= y1 - 2:
        cv.fill(Rect(x0 + 3, y + 1, x0 + 3 + (x1 - x0) * 0.35, y + 2), (90, 90, 90))
        cv.fill(Rect(x0 + (x1 - x0) * 0.5, y, x1 - 3, y + 3), (120, 120, 130))
        cv.fill(Rect(x0 + (x1 - x0) * 0.5 + 1, y + 1, x1 - 4, y + 2), (255, 255, 255))
        y += 4


def diskette(cv, x0, y0, x1, y1, label):
    """The file: a diskette with a metal shutter and a paper label."""
    w = x1 - x0
    cut = w * 0.14
    body = [(x0, y0), (x1 - cut, y0), (x1, y0 + cut), (x1, y1), (x0, y1)]
    cv.fill(Poly([(x + 1, y + 1) for x, y in body]), (0, 0, 0), 0.25)
    cv.fill(Poly(body), vgrad((60, 84, 160), (26, 40, 100), y0, y1))
    cv.fill(outline(body), (10, 16, 50))
    sx0, sx1 = x0 + w * 0.25, x1 - w * 0.22
    sy1 = y0 + (y1 - y0) * 0.36
    cv.fill(Rect(sx0, y0 + 0.5, sx1, sy1), vgrad((236, 236, 240), (160, 164, 172), y0, sy1))
    cv.fill(Rect(sx0 + (sx1 - sx0) * 0.6, y0 + 2, sx0 + (sx1 - sx0) * 0.6 + max(2.0, w * 0.1), sy1 - 1.5),
            (40, 44, 60))
    lx0, lx1, ly0 = x0 + w * 0.14, x1 - w * 0.14, y0 + (y1 - y0) * 0.5
    cv.fill(Rect(lx0, ly0, lx1, y1 - 0.5), label)
    cv.fill(outline([(lx0, ly0), (lx1, ly0), (lx1, y1 - 0.5), (lx0, y1 - 0.5)], 0.7), (20, 20, 40), 0.6)
    y = ly0 + 2.5
    while y < y1 - 2:
        cv.fill(Rect(lx0 + 1.5, y, lx1 - 1.5, y + 0.8), (90, 90, 90), 0.7)
        y += 2.5


def flow_arrow(cv, cx, cy, top, bot, edge, length=25, angle=0):
    # edges on half pixels, so that the one-pixel outline stays sharp
    pts = arrow_pts(cx, cy, length, 7, 15, 8, angle)
    shaded_poly(cv, pts, top, bot, edge)


# ---------------------------------------------------------------------------------------
# Jog panel images

def jog_arrow(angle):
    cv = Canvas(36, 34, BG_JOG)
    # The jog controls overlap their neighbours by 6 px; the key stays within the middle
    # 28 px so that whichever control paints last covers only background.
    key(cv, 4, 2, 32, 32)
    diag = angle % 90 != 0
    blue_arrow(cv, 18, 17, 22 if diag else 21, 7, 17, 9, angle)
    return cv


def jog_z(up, w, h):
    cv = Canvas(w, h, BG_JOG)
    ox, oy = (w - 44) // 2, (h - 44) // 2
    key(cv, ox, oy, ox + 44, oy + 44, 4)
    draw_text(cv, ox + 6, oy + 15, 'Z', TEXT, scale=2, bold=True)
    blue_arrow(cv, ox + 30, oy + 22, 35, 7, 19, 12, -90 if up else 90)
    return cv


def jog_reference():
    cv = Canvas(48, 48, BG_JOG)
    key(cv, 2, 2, 46, 46, 4)
    draw_text(cv, 24 - text_width('REF', bold=True) // 2, 7, 'REF', TEXT, bold=True)
    # the two end stops the axes run into
    cv.fill(Rect(8, 17, 11, 41), (70, 70, 70))
    cv.fill(Rect(8, 38, 40, 41), (70, 70, 70))
    for k in range(4):
        cv.fill(Seg(8, 22 + 5 * k, 6, 24 + 5 * k, 1.0), (70, 70, 70))
        cv.fill(Seg(15 + 7 * k, 41, 13 + 7 * k, 43, 1.0), (70, 70, 70))
    blue_arrow(cv, 25, 27, 24, 6, 15, 9, 135)
    return cv


def jog_zero_point():
    cv = Canvas(48, 48, BG_JOG)
    key(cv, 2, 2, 46, 46, 4)
    cx, cy, r = 26.0, 26.0, 10.0
    cv.fill(Rect(cx - 0.5, 8, cx + 0.5, 43), (40, 40, 40))
    cv.fill(Rect(9, cy - 0.5, 43, cy + 0.5), (40, 40, 40))
    cv.fill(Circle(cx, cy, r), (255, 255, 255))
    quarter = r + 1
    cv.fill(Clip(Circle(cx, cy, r), Rect(cx, cy - quarter, cx + quarter, cy)), (30, 30, 30))
    cv.fill(Clip(Circle(cx, cy, r), Rect(cx - quarter, cy, cx, cy + quarter)), (30, 30, 30))
    cv.fill(ring(cx, cy, r + 0.7, r - 0.7), (30, 30, 30))
    draw_text(cv, 7, 6, '0', TEXT, bold=True)
    return cv


def pen(cv, tip_x, tip_y, k=1.0):
    """A plotter pen standing on its tip: red barrel, grey cone."""
    bw, bl, cone = 7 * k, 8 * k, 4 * k
    barrel = [(tip_x - bw / 2, tip_y - cone - bl), (tip_x + bw / 2, tip_y - cone - bl),
              (tip_x + bw / 2, tip_y - cone), (tip_x - bw / 2, tip_y - cone)]
    tipp = [(tip_x - bw / 2 + 1, tip_y - cone), (tip_x + bw / 2 - 1, tip_y - cone), (tip_x, tip_y)]
    shaded_poly(cv, tipp, (190, 190, 190), (90, 90, 90), (40, 40, 40), edge_w=0.8)
    cv.fill(Poly(barrel), lambda x, y: (236, 80, 60) if x < tip_x - 1 else (196, 30, 24))
    cv.fill(outline(barrel, 0.9), (90, 10, 10))
    cv.fill(Rect(tip_x - bw / 2, tip_y - cone - bl + 2, tip_x + bw / 2, tip_y - cone - bl + 3), (255, 230, 220), 0.8)


def jog_pen(down, h):
    cv = Canvas(48, h, BG_JOG)
    key(cv, 2, 1, 46, h - 2, 3)
    draw_text(cv, 7, (h - 7) // 2 - 1, 'PD' if down else 'PU', TEXT, bold=True)
    base = h - 6.5
    cv.fill(Rect(22, base, 37, base + 1), (110, 110, 110))
    tip_x = 29.5
    cy = (h - 1) // 2 + 0.5
    if down:
        cv.fill(Rect(22, base - 0.5, tip_x, base + 1.5), (20, 60, 200))
        pen(cv, tip_x, base - 0.5)
        blue_arrow(cv, 40, cy, 13, 3, 9, 5, 90)
    else:
        pen(cv, tip_x, base - 4)
        blue_arrow(cv, 40, cy, 13, 3, 9, 5, -90)
    return cv


# ---------------------------------------------------------------------------------------
# Push-button images of the main dialog

def btn_run():
    cv = Canvas(50, 26, BG_BTN)
    shaded_poly(cv, [(5.5, 5.5), (5.5, 20.5), (19.5, 13)], GREEN_TOP, GREEN_BOT, GREEN_EDGE)
    draw_text(cv, 24, 9, 'Auto', TEXT)
    return cv


def btn_step():
    cv = Canvas(50, 26, BG_BTN)
    shaded_poly(cv, [(4.5, 6.5), (4.5, 19.5), (14, 13)], GREEN_TOP, GREEN_BOT, GREEN_EDGE)
    shaded_poly(cv, [(15.5, 6.5), (18.5, 6.5), (18.5, 19.5), (15.5, 19.5)], GREEN_TOP, GREEN_BOT, GREEN_EDGE)
    draw_text(cv, 23, 9, 'Step', TEXT)
    return cv


def btn_stop():
    cv = Canvas(58, 26, BG_BTN)
    pts = octagon_pts(14, 13, 11)
    shaded_poly(cv, pts, RED_TOP, RED_BOT, RED_EDGE)
    cv.fill(outline(octagon_pts(14, 13, 9), 1.0), (255, 255, 255))
    draw_text(cv, 7, 11, 'STOP', (255, 255, 255), font=FONT_SMALL)
    draw_text(cv, 30, 9, 'Stop', TEXT)
    return cv


def btn_open_plot():
    cv = Canvas(28, 28, BG_BTN)
    back = [(1.5, 5.5), (9.5, 5.5), (11.5, 7.5), (24.5, 7.5), (24.5, 24.5), (1.5, 24.5)]
    shaded_poly(cv, back, (236, 184, 64), (196, 136, 24), (120, 80, 0))
    sheet = [(5.5, 1.5), (23.5, 1.5), (23.5, 20), (5.5, 20)]
    cv.fill(Poly(sheet), (255, 255, 255))
    cv.fill(outline(sheet, 1.0), (130, 130, 130))
    curve = [(8 + i * 0.5, 8.5 - 4 * math.sin(i * 0.5 * 0.6)) for i in range(25)]
    cv.fill(polyline(curve, 1.5), (20, 60, 210))
    front = [(4.5, 14.5), (27.5, 14.5), (24.5, 25.5), (1.5, 25.5)]
    shaded_poly(cv, front, (255, 226, 124), (236, 176, 40), (120, 80, 0))
    return cv


def gear_pts(cx, cy, r_out, r_in, teeth, tooth_frac=0.5):
    pts = []
    step = 2 * math.pi / teeth
    for t in range(teeth):
        a = t * step
        half = step * tooth_frac / 2
        flank = step * 0.08
        for ang, r in ((a - half - flank, r_in), (a - half + flank, r_out),
                       (a + half - flank, r_out), (a + half + flank, r_in)):
            pts.append((cx + r * math.cos(ang), cy + r * math.sin(ang)))
    return pts


def gear(cv, cx, cy, r_out, r_in, hole, teeth=8):
    pts = gear_pts(cx, cy, r_out, r_in, teeth)
    cv.fill(Poly([(x + 1, y + 1) for x, y in pts]), (0, 0, 0), 0.2)
    cv.fill(Diff(Poly(pts), Circle(cx, cy, hole)),
            dgrad((200, 208, 222), (84, 96, 116), cx - r_out, cy - r_out, cx + r_out, cy + r_out))
    cv.fill(outline(pts, 1.0), (40, 46, 60))
    cv.fill(ring(cx, cy, hole + 0.5, hole - 0.5), (40, 46, 60))
    cv.fill(ring(cx, cy, r_in * 0.72, r_in * 0.72 - 0.8), (60, 68, 84), 0.5)


def btn_settings():
    cv = Canvas(28, 28, BG_BTN)
    gear(cv, 13.5, 13.5, 12, 9, 3.6, 8)
    return cv


def wrench(cv, x0, y0, x1, y1, w, k=1.0):
    """Open-ended spanner from the handle end (x0, y0) to the jaw at (x1, y1)."""
    ang = math.atan2(y1 - y0, x1 - x0)
    ux, uy = math.cos(ang), math.sin(ang)
    jr = w * 1.15
    jaw = Circle(x1, y1, jr)
    mouth = Poly(rotate([(x1 - 0.2 * jr, y1 - w * 0.42), (x1 + jr + 2, y1 - w * 0.55),
                         (x1 + jr + 2, y1 + w * 0.55), (x1 - 0.2 * jr, y1 + w * 0.42)],
                        math.degrees(ang), x1, y1))
    handle = Seg(x0, y0, x1 - ux * jr * 0.5, y1 - uy * jr * 0.5, w)
    body = Diff(Union(handle, jaw), mouth)
    cv.fill(body, (40, 40, 48))
    inner = Diff(Union(Seg(x0, y0, x1 - ux * jr * 0.5, y1 - uy * jr * 0.5, w - 1.6 * k),
                       Circle(x1, y1, jr - 0.8 * k)),
                 Poly(rotate([(x1 - 0.2 * jr - 0.8, y1 - w * 0.42 - 0.8), (x1 + jr + 3, y1 - w * 0.55 - 0.8),
                              (x1 + jr + 3, y1 + w * 0.55 + 0.8), (x1 - 0.2 * jr - 0.8, y1 + w * 0.42 + 0.8)],
                             math.degrees(ang), x1, y1)))
    cv.fill(inner, dgrad((236, 238, 244), (140, 146, 160), x1 - jr, y1 - jr, x0, y0))


def btn_setup():
    cv = Canvas(28, 28, BG_BTN)
    chip(cv, 3, 6, 21, 19, pins=4)
    wrench(cv, 24.5, 25, 13, 13.5, 4.2)
    return cv


# ---------------------------------------------------------------------------------------
# Setup dialog buttons, 96 x 32, 256 colors

def cfg_canvas():
    return Canvas(96, 32, BG_BTN)


def cfg_chip(cv, cx):
    chip(cv, cx - 11, 10, cx + 11, 23, pins=5)


def cfg_form(cv, cx):
    form(cv, cx - 10, 6, cx + 10, 27)


def cfg_disk(cv, cx, label):
    diskette(cv, cx - 11, 5, cx + 11, 27, label)


GREY_LABEL = (200, 200, 204)
YELLOW_LABEL = (255, 226, 60)


def cfg_read():
    cv = cfg_canvas()
    cfg_chip(cv, 18)
    flow_arrow(cv, 48, 16, GREEN_TOP, GREEN_BOT, GREEN_EDGE)
    cfg_form(cv, 78)
    return cv


def cfg_write():
    cv = cfg_canvas()
    cfg_form(cv, 18)
    flow_arrow(cv, 48, 16, RED_TOP, RED_BOT, RED_EDGE)
    cfg_chip(cv, 78)
    return cv


def question_mark(cv, cx, cy, k=1.0):
    pts = []
    for i in range(15):
        a = math.radians(200 - i * 16)
        pts.append((cx + 5.0 * k * math.cos(a), cy - 5.5 * k - 4.5 * k * math.sin(a)))
    pts += [(cx + 0.8 * k, cy - 1.0 * k), (cx, cy + 1.5 * k), (cx, cy + 3.0 * k)]
    for w, col in ((5.0 * k, RED_EDGE), (3.0 * k, (226, 30, 24))):
        cv.fill(polyline(pts, w), col)
        cv.fill(Circle(cx, cy + 8.0 * k, w / 2 + 0.4 * k), col)


def cfg_verify():
    cv = cfg_canvas()
    cfg_chip(cv, 18)
    question_mark(cv, 48, 15)
    cfg_form(cv, 78)
    return cv


def cfg_load():
    cv = cfg_canvas()
    cfg_disk(cv, 18, GREY_LABEL)
    flow_arrow(cv, 48, 16, GREEN_TOP, GREEN_BOT, GREEN_EDGE)
    cfg_form(cv, 78)
    return cv


def cfg_save(label):
    cv = cfg_canvas()
    cfg_form(cv, 18)
    flow_arrow(cv, 48, 16, RED_TOP, RED_BOT, RED_EDGE)
    cfg_disk(cv, 78, label)
    return cv


def cfg_factory_reset():
    cv = cfg_canvas()
    cx, cy = 48.0, 16.5
    # a white glow and rays around the chip: the controller as new
    cv.fill(Circle(cx, cy, 22, 12), (255, 255, 255), 0.9)
    for i in range(16):
        a = math.radians(i * 360 / 16)
        long_ray = i % 2 == 0
        r0x, r0y = 19.0, 10.0
        r1x, r1y = (36.0, 15.0) if long_ray else (29.0, 13.0)
        half = math.radians(7 if long_ray else 6)
        pts = [(cx + r0x * math.cos(a - half), cy + r0y * math.sin(a - half)),
               (cx + r1x * math.cos(a), cy + r1y * math.sin(a)),
               (cx + r0x * math.cos(a + half), cy + r0y * math.sin(a + half))]
        cv.fill(Poly(pts), (255, 255, 255))
        cv.fill(polyline(pts, 0.9), (120, 120, 128))
    cv.fill(Circle(cx, cy, 21, 11), (255, 255, 255))
    chip(cv, cx - 13, cy - 6, cx + 13, cy + 7, pins=6)
    return cv


# ---------------------------------------------------------------------------------------
# Icons, drawn on a 32-unit grid and scaled to each size. Button icons keep a margin,
# because the button's own edge is drawn in the outer pixels.

def alu(x0, x1):
    """Brushed aluminium, lit from the left."""
    return lambda x, y: tuple(int(a + (b - a) * min(1.0, max(0.0, (x - x0) / (x1 - x0))))
                              for a, b in zip((236, 240, 246), (130, 138, 152)))


def icon_program(s):
    """The machine from the front: gantry with the tool carriage over the work on its bed."""
    cv = Canvas(s, s)
    edge = (34, 38, 48)
    if s <= 16:
        g = {'bed': (1, 12, 15, 15), 'work': (4, 10, 12, 12), 'posts': ((1, 2, 3, 12), (13, 2, 15, 12)),
             'beam': (0, 2, 16, 5), 'car': (6, 3, 10, 7), 'spindle': (7, 7, 9, 9), 'tip': 10, 'w': 1.0}
    else:
        k = s / 32.0
        sc = lambda *v: tuple(int(round(c * k)) for c in v)
        g = {'bed': sc(2, 24, 30, 29), 'work': sc(8, 20, 24, 24), 'posts': (sc(3, 5, 7, 24), sc(25, 5, 29, 24)),
             'beam': sc(1, 4, 31, 10), 'car': sc(11, 6, 21, 14), 'spindle': sc(14, 14, 18, 18),
             'tip': int(round(20 * k)), 'w': max(1.0, round(k))}
    w = g['w']

    def box(r, paint, edge_col=edge):
        cv.fill(Rect(*r), edge_col)
        cv.fill(Rect(r[0] + w, r[1] + w, r[2] - w, r[3] - w), paint)

    bx0, by0, bx1, by1 = g['bed']
    box(g['bed'], vgrad((120, 128, 146), (60, 66, 80), by0, by1))
    wx0, wy0, wx1, wy1 = g['work']
    box(g['work'], vgrad((250, 222, 170), (206, 156, 90), wy0, wy1), (110, 70, 20))
    for r in g['posts']:
        box(r, alu(r[0], r[2]))
    box(g['beam'], vgrad((246, 248, 252), (140, 148, 162), g['beam'][1], g['beam'][3]))
    cx0, cy0, cx1, cy1 = g['car']
    box(g['car'], vgrad((255, 110, 90), (190, 20, 20), cy0, cy1), (100, 0, 0))
    sx0, sy0, sx1, sy1 = g['spindle']
    box(g['spindle'], alu(sx0, sx1))
    mid = (sx0 + sx1) / 2.0
    cv.fill(Poly([(sx0 + w * 0.5, sy1), (sx1 - w * 0.5, sy1), (mid, g['tip'])]), (40, 40, 48))
    return cv


def dsub(cv, x0, y0, x1, y1, k):
    """Front of a 9-pin D-sub plug: flange with two screws, dark D-shaped insulator, pins."""
    w, h = x1 - x0, y1 - y0
    cv.fill(RoundRect(x0, y0, x1, y1, 1.5 * k), (50, 54, 62))
    cv.fill(RoundRect(x0 + k, y0 + k, x1 - k, y1 - k, k), vgrad((240, 242, 246), (150, 156, 166), y0, y1))
    sr = max(1.0, 1.8 * k)
    for sx in (x0 + 3 * k, x1 - 3 * k):
        cv.fill(Circle(sx, (y0 + y1) / 2, sr), (60, 64, 72))
        cv.fill(Circle(sx - 0.3 * k, (y0 + y1) / 2 - 0.3 * k, sr * 0.5), (200, 204, 210))
    dx0, dx1 = x0 + 6 * k, x1 - 6 * k
    dy0, dy1 = y0 + 1.6 * k, y1 - 1.6 * k
    d = [(dx0, dy0), (dx1, dy0), (dx1 - (dx1 - dx0) * 0.16, dy1), (dx0 + (dx1 - dx0) * 0.16, dy1)]
    cv.fill(Poly(d), (30, 30, 34))
    cv.fill(outline(d, max(0.8, k)), (90, 94, 104))
    dw, dh = dx1 - dx0, dy1 - dy0
    pr = max(0.75, 1.05 * k)
    for i in range(5):
        cv.fill(Circle(dx0 + dw * (0.14 + 0.18 * i), dy0 + dh * 0.32, pr), (250, 206, 60))
    for i in range(4):
        cv.fill(Circle(dx0 + dw * (0.23 + 0.18 * i), dy0 + dh * 0.7, pr), (250, 206, 60))


def magnifier(cv, cx, cy, r, k):
    hx, hy = cx + r * 0.72, cy + r * 0.72
    cv.fill(Seg(hx, hy, hx + 4.8 * k, hy + 4.8 * k, 4.2 * k), (30, 20, 10))
    cv.fill(Seg(hx + 0.8 * k, hy + 0.8 * k, hx + 4.5 * k, hy + 4.5 * k, 2.4 * k), (150, 84, 30))
    cv.fill(Circle(cx, cy, r), (190, 230, 255), 0.45)
    cv.fill(ring(cx, cy, r + 1.2 * k, r - 0.6 * k), (40, 44, 56))
    cv.fill(ring(cx, cy, r + 0.3 * k, r - 0.2 * k), (150, 160, 180))
    cv.fill(Seg(cx - r * 0.5, cy - r * 0.25, cx - r * 0.2, cy - r * 0.55, 1.2 * k), (255, 255, 255), 0.8)


def icon_find_port(s):
    cv = Canvas(s, s)
    k = s / 32.0
    if s <= 16:
        dsub(cv, 0, 1, 16, 9, k)
        magnifier(cv, 9.5, 9.5, 3.6, k)
    else:
        dsub(cv, 2 * k, 3 * k, 30 * k, 16 * k, k)
        magnifier(cv, 19.5 * k, 19.5 * k, 5.6 * k, k)
    return cv


def landscape(cv, x0, y0, x1, y1, k):
    cv.fill(Rect(x0, y0, x1, y1), vgrad((120, 190, 255), (210, 236, 255), y0, y1))
    w, h = x1 - x0, y1 - y0
    cv.fill(Circle(x0 + w * 0.75, y0 + h * 0.3, max(1.1, h * 0.18)), (255, 214, 0))
    hill = [(x0, y1), (x0, y0 + h * 0.6), (x0 + w * 0.3, y0 + h * 0.35), (x0 + w * 0.6, y0 + h * 0.7),
            (x0 + w * 0.8, y0 + h * 0.55), (x1, y0 + h * 0.7), (x1, y1)]
    cv.fill(Poly(hill), vgrad((60, 180, 50), (20, 110, 20), y0 + h * 0.35, y1))


def icon_save_image(s):
    cv = Canvas(s, s)
    k = s / 32.0
    m = 0.0 if s <= 16 else 3.0
    x0, y0, x1, y1 = m * k, m * k, s - m * k, s - m * k
    if s <= 16:
        x0, y0, x1, y1 = 0.5, 0.5, 15.5, 15.5
    w = x1 - x0
    cut = w * 0.14
    body = [(x0, y0), (x1 - cut, y0), (x1, y0 + cut), (x1, y1), (x0, y1)]
    cv.fill(Poly(body), vgrad((66, 92, 176), (24, 38, 100), y0, y1))
    cv.fill(outline(body, max(0.8, k)), (8, 14, 48))
    sx0, sx1, sy1 = x0 + w * 0.27, x1 - w * 0.2, y0 + w * 0.34
    cv.fill(Rect(sx0, y0 + 0.5 * k, sx1, sy1), vgrad((240, 240, 244), (156, 160, 170), y0, sy1))
    cv.fill(Rect(sx0 + (sx1 - sx0) * 0.62, y0 + 1.8 * k, sx0 + (sx1 - sx0) * 0.62 + max(1.0, 2.6 * k), sy1 - 1.3 * k),
            (40, 44, 60))
    lx0, lx1, ly0 = x0 + w * 0.12, x1 - w * 0.12, y0 + w * 0.45
    ly1 = y1 - max(0.5, 1.2 * k)
    cv.fill(Rect(lx0 - 0.6 * k, ly0 - 0.6 * k, lx1 + 0.6 * k, ly1), (255, 255, 255))
    landscape(cv, lx0 + 0.8 * k, ly0 + 0.8 * k, lx1 - 0.8 * k, ly1 - 0.8 * k, k)
    return cv


def icon_window(s):
    cv = Canvas(s, s)
    k = s / 32.0
    if s <= 16:
        chip(cv, 1, 4, 15, 12, pins=4, k=0.75)
    else:
        chip(cv, 3 * k, 8 * k, 29 * k, 24 * k, pins=6, k=k * 1.3)
    return cv


def icon_monitor(s):
    cv = Canvas(s, s)
    k = s / 32.0
    if s <= 16:
        bx0, by0, bx1, by1, inset = 0.5, 1, 15.5, 12, 1.5
    else:
        bx0, by0, bx1, by1, inset = 3 * k, 4 * k, 29 * k, 23 * k, 2.2 * k
    cv.fill(Rect((bx0 + bx1) / 2 - 2.5 * k, by1 - 1, (bx0 + bx1) / 2 + 2.5 * k, by1 + 3 * k), (110, 114, 124))
    cv.fill(RoundRect((bx0 + bx1) / 2 - 7 * k, by1 + 2.5 * k, (bx0 + bx1) / 2 + 7 * k, by1 + 5 * k, 1 * k),
            vgrad((190, 194, 204), (90, 94, 104), by1 + 2.5 * k, by1 + 5 * k))
    cv.fill(RoundRect(bx0, by0, bx1, by1, 1.5 * k), (40, 42, 50))
    cv.fill(RoundRect(bx0 + 0.8 * k, by0 + 0.8 * k, bx1 - 0.8 * k, by1 - 0.8 * k, 1 * k),
            vgrad((210, 214, 222), (140, 146, 158), by0, by1))
    sx0, sy0, sx1, sy1 = bx0 + inset, by0 + inset, bx1 - inset, by1 - inset
    cv.fill(Rect(sx0, sy0, sx1, sy1), (8, 24, 12))
    # a serial character as the scope sees it, and a line of received text under it
    h = sy1 - sy0
    hi, lo = sy0 + h * 0.2, sy0 + h * 0.55
    if s <= 16:
        hi, lo = sy0 + 1.5, sy1 - 1.5
        xs = [sx0 + (sx1 - sx0) * f for f in (0.0, 0.2, 0.2, 0.5, 0.5, 0.75, 0.75, 1.0)]
        lv = [lo, lo, hi, hi, lo, lo, hi, hi]
        cv.fill(polyline(list(zip(xs, lv)), 1.0), (60, 255, 90))
        return cv
    xs = [sx0 + (sx1 - sx0) * f for f in (0.0, 0.12, 0.12, 0.3, 0.3, 0.42, 0.42, 0.66, 0.66, 0.78, 0.78, 1.0)]
    lv = [hi, hi, lo, lo, hi, hi, lo, lo, hi, hi, lo, lo]
    cv.fill(polyline(list(zip(xs, lv)), max(1.0, 1.3 * k)), (60, 255, 90))
    ty = sy0 + h * 0.82
    x = sx0 + 1.2 * k
    for wdt in (3, 2, 4, 1.5, 3):
        if x + wdt * k > sx1 - 1 * k:
            break
        cv.fill(Rect(x, ty - max(0.5, 0.7 * k), x + wdt * k, ty + max(0.5, 0.7 * k)), (60, 255, 90), 0.8)
        x += (wdt + 1.2) * k
    return cv


# ---------------------------------------------------------------------------------------
# File writers

def write_bmp24(path, cv):
    row_pad = (4 - (cv.w * 3) % 4) % 4
    px = cv.rgba8()
    data = bytearray()
    for y in range(cv.h - 1, -1, -1):
        for x in range(cv.w):
            r, g, b, _ = px[y * cv.w + x]
            data += bytes((b, g, r))
        data += b'\0' * row_pad
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + 40 + len(data), 0, 0, 54) + info + data)


def median_cut(colors, n):
    """colors: {rgb: count}. Returns up to n representative colors."""
    boxes = [list(colors.items())]
    while len(boxes) < n:
        best, best_score, best_ch = None, -1, 0
        for i, b in enumerate(boxes):
            if len(b) < 2:
                continue
            for ch in range(3):
                vals = [c[0][ch] for c in b]
                score = (max(vals) - min(vals)) * sum(c[1] for c in b)
                if score > best_score:
                    best, best_score, best_ch = i, score, ch
        if best is None:
            break
        b = sorted(boxes.pop(best), key=lambda c: c[0][best_ch])
        total, acc, cut = sum(c[1] for c in b), 0, 1
        for i, c in enumerate(b):
            acc += c[1]
            if acc >= total / 2:
                cut = min(max(1, i + 1), len(b) - 1)
                break
        boxes += [b[:cut], b[cut:]]
    out = []
    for b in boxes:
        t = sum(c[1] for c in b)
        out.append(tuple(int(round(sum(c[0][ch] * c[1] for c in b) / t)) for ch in range(3)))
    return out


def write_bmp8(path, cv):
    """8-bit palette bitmap. Colors that occur often keep their exact value; the rest of
    the anti-aliasing shades share the remaining entries."""
    px = [p[:3] for p in cv.rgba8()]
    hist = {}
    for p in px:
        hist[p] = hist.get(p, 0) + 1
    if len(hist) <= 256:
        palette = sorted(hist)
    else:
        common = sorted(hist, key=lambda c: (-hist[c], c))[:96]
        rest = {c: n for c, n in hist.items() if c not in set(common)}
        palette = common + [c for c in median_cut(rest, 256 - len(common)) if c not in common]
    palette = palette[:256]
    index = {}
    for p in hist:
        if p in palette:
            index[p] = palette.index(p)
        else:
            index[p] = min(range(len(palette)),
                           key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], p)))
    row_pad = (4 - cv.w % 4) % 4
    data = bytearray()
    for y in range(cv.h - 1, -1, -1):
        data += bytes(index[px[y * cv.w + x]] for x in range(cv.w))
        data += b'\0' * row_pad
    pal = bytearray()
    for i in range(256):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        pal += bytes((b, g, r, 0))
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    off = 14 + 40 + len(pal)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', off + len(data), 0, 0, off) + info + pal + data)


def ico_image(cv):
    """One icon image: 32-bit color with alpha plus the 1-bit mask older systems use."""
    px = cv.rgba8()
    xor = bytearray()
    for y in range(cv.h - 1, -1, -1):
        for x in range(cv.w):
            r, g, b, a = px[y * cv.w + x]
            xor += bytes((b, g, r, a))
    mask_row = ((cv.w + 31) // 32) * 4
    mask = bytearray()
    for y in range(cv.h - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(cv.w):
            if px[y * cv.w + x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, canvases):
    images = [ico_image(cv) for cv in canvases]
    head = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = bytearray()
    for cv, img in zip(canvases, images):
        entries += struct.pack('<BBBBHHII', cv.w % 256, cv.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, 'wb') as f:
        f.write(head + entries + b''.join(images))


# ---------------------------------------------------------------------------------------

BITMAPS = [
    (1117, 'z_up', lambda: jog_z(True, 50, 50), 24),
    (1118, 'z_down', lambda: jog_z(False, 48, 48), 24),
    (1123, 'reference', jog_reference, 24),
    (1124, 'zero_point', jog_zero_point, 24),
    (1127, 'run', btn_run, 24),
    (1128, 'step', btn_step, 24),
    (1129, 'stop', btn_stop, 24),
    (1134, 'open_plot', btn_open_plot, 24),
    (1137, 'jog_x_minus_y_plus', lambda: jog_arrow(-135), 24),
    (1138, 'jog_y_plus', lambda: jog_arrow(-90), 24),
    (1139, 'jog_x_plus_y_plus', lambda: jog_arrow(-45), 24),
    (1140, 'jog_x_minus', lambda: jog_arrow(180), 24),
    (1142, 'jog_x_minus_y_minus', lambda: jog_arrow(135), 24),
    (1143, 'jog_y_minus', lambda: jog_arrow(90), 24),
    (1144, 'jog_x_plus_y_minus', lambda: jog_arrow(45), 24),
    (1145, 'jog_x_plus', lambda: jog_arrow(0), 24),
    (1146, 'pen_down', lambda: jog_pen(True, 26), 24),
    (1147, 'pen_up', lambda: jog_pen(False, 27), 24),
    (1148, 'settings', btn_settings, 24),
    (1149, 'setup', btn_setup, 24),
    (1150, 'cfg_write', cfg_write, 8),
    (1151, 'cfg_read', cfg_read, 8),
    (1152, 'cfg_save', lambda: cfg_save(GREY_LABEL), 8),
    (1153, 'cfg_load', cfg_load, 8),
    (1154, 'cfg_save_as', lambda: cfg_save(YELLOW_LABEL), 8),
    (1156, 'cfg_verify', cfg_verify, 8),
    (1157, 'cfg_factory_reset', cfg_factory_reset, 8),
]

ICONS = [
    (1102, 'program', icon_program),
    (1107, 'find_port', icon_find_port),
    (1108, 'save_image', icon_save_image),
    (1135, 'window', icon_window),
    (1136, 'monitor', icon_monitor),
]

ICON_SIZES = (16, 32, 48)


def main():
    os.makedirs(os.path.join(HERE, 'bmp'), exist_ok=True)
    os.makedirs(os.path.join(HERE, 'ico'), exist_ok=True)
    for rid, name, draw, bits in BITMAPS:
        path = os.path.join(HERE, 'bmp', '%d_%s.bmp' % (rid, name))
        (write_bmp8 if bits == 8 else write_bmp24)(path, draw())
    for rid, name, draw in ICONS:
        write_ico(os.path.join(HERE, 'ico', '%d_%s.ico' % (rid, name)), [draw(s) for s in ICON_SIZES])


if __name__ == '__main__':
    main()
