#!/usr/bin/env python3
"""Draws the shell's art: window background, picture placeholders and icon.

Usage: python3 tools/make_art.py OUTDIR

Everything is painted procedurally from fixed seeds so a rebuild yields the
same bytes; there are no source images to lose or keep in sync.
"""
import colorsys
import math
import os
import random
import struct
import sys

BK_W, BK_H = 580, 388
PH_W = 120


# ---------------------------------------------------------------- maths ----

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def smooth(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def seg_dist(px, py, ax, ay, bx, by):
    """Distance from a point to a segment, and where along it the foot lies."""
    dx, dy = bx - ax, by - ay
    l2 = dx * dx + dy * dy
    t = 0.0 if l2 == 0 else clamp(((px - ax) * dx + (py - ay) * dy) / l2)
    ex, ey = px - ax - dx * t, py - ay - dy * t
    return math.sqrt(ex * ex + ey * ey), t


# -------------------------------------------------------------- palette ----

def ramp(stops, n):
    """n colours spread evenly along a piecewise-linear path through stops."""
    out = []
    for i in range(n):
        f = i / (n - 1) * (len(stops) - 1)
        k = min(int(f), len(stops) - 2)
        out.append(tuple(round(v) for v in mix(stops[k], stops[k + 1], f - k)))
    return out


def hsv(h, s, v):
    return tuple(round(c * 255) for c in colorsys.hsv_to_rgb(h / 360.0, s, v))


def build_palette():
    """236 colours: the window runs at 8 bpp, so this palette also has to
    carry the table pictures drawn over the background. Hence: a dense dark
    ramp for our own playfield, greys, and a shade-to-pastel ramp per hue."""
    pal = ramp([(2, 2, 10), (10, 10, 34), (22, 16, 58), (40, 24, 84),
                (64, 36, 110)], 44)
    pal += ramp([(0, 0, 0), (255, 255, 255)], 28)
    for h in (0, 22, 40, 56, 90, 130, 165, 185, 205, 228, 265, 300, 330):
        pal += [hsv(h, 0.95, v) for v in (0.22, 0.32, 0.42, 0.53, 0.64, 0.75, 0.87, 1.0)]
        pal += [hsv(h, s, 1.0) for s in (0.72, 0.5, 0.32, 0.16)]
    # wood and skin tones, common in table artwork
    pal += [(60, 36, 20), (96, 60, 36), (140, 92, 56), (180, 128, 88),
            (212, 164, 124), (236, 200, 164), (120, 80, 60), (200, 150, 110)]
    seen, out = set(), []
    for c in pal:  # nudge accidental duplicates so every entry stays distinct
        while c in seen:
            c = (c[0], c[1], c[2] + 1 if c[2] < 255 else c[2] - 1)
        seen.add(c)
        out.append(c)
    assert len(out) == 236
    return out


# VGA's sixteen: the icon must survive any 16-colour display.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
         (128, 0, 128), (0, 128, 128), (192, 192, 192), (128, 128, 128),
         (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]

# The 20 colours Windows keeps fixed at 0..9 and 246..255; the placeholders
# put our palette between them so they map 1:1 onto the shell's palette.
SYS_LOW = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
           (128, 0, 128), (0, 128, 128), (192, 192, 192), (192, 220, 192),
           (166, 202, 240)]
SYS_HIGH = [(255, 251, 240), (160, 160, 164), (128, 128, 128), (255, 0, 0),
            (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
            (0, 255, 255), (255, 255, 255)]


class Quantizer:
    """Nearest palette colour, cached because art repeats colours a lot."""

    BAYER = (0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5)

    def __init__(self, palette):
        self.pal = palette
        self.cache = {}

    def nearest(self, r, g, b):
        key = (int(r) >> 1, int(g) >> 1, int(b) >> 1)
        hit = self.cache.get(key)
        if hit is None:
            r, g, b = key[0] * 2 + 1, key[1] * 2 + 1, key[2] * 2 + 1
            best, hit = 1e18, 0
            for i, (pr, pg, pb) in enumerate(self.pal):
                d = 3 * (pr - r) ** 2 + 4 * (pg - g) ** 2 + 2 * (pb - b) ** 2
                if d < best:
                    best, hit = d, i
            self.cache[key] = hit
        return hit

    def image(self, cv, amp):
        """Ordered dither: keeps gradients smooth and never crawls like
        error diffusion does on the dark ramps."""
        out = []
        for y in range(cv.h):
            row = []
            for x in range(cv.w):
                i = y * cv.w + x
                o = (self.BAYER[(y & 3) * 4 + (x & 3)] - 7.5) * amp / 16
                row.append(self.nearest(clamp(cv.r[i] + o, 0, 255),
                                        clamp(cv.g[i] + o, 0, 255),
                                        clamp(cv.b[i] + o, 0, 255)))
            out.append(row)
        return out


def use_every_entry(rows, cv, pal):
    """Each palette entry must appear at least once. Entries the art missed
    are given to the single pixel whose true colour is closest to them, taken
    only from indices that are used elsewhere too - invisible in practice."""
    count = [0] * len(pal)
    for row in rows:
        for v in row:
            count[v] += 1
    for u in [i for i, n in enumerate(count) if n == 0]:
        pr, pg, pb = pal[u]
        best, at = 1e18, None
        for y, row in enumerate(rows):
            for x, v in enumerate(row):
                if count[v] < 2:
                    continue
                i = y * cv.w + x
                d = (cv.r[i] - pr) ** 2 + (cv.g[i] - pg) ** 2 + (cv.b[i] - pb) ** 2
                if d < best:
                    best, at = d, (x, y)
        x, y = at
        count[rows[y][x]] -= 1
        rows[y][x] = u
        count[u] = 1


# --------------------------------------------------------------- canvas ----

class Canvas:
    """Float RGB picture; y grows downwards as on screen."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.r, self.g, self.b = [0.0] * (w * h), [0.0] * (w * h), [0.0] * (w * h)

    def fill(self, fn):
        for y in range(self.h):
            for x in range(self.w):
                i = y * self.w + x
                self.r[i], self.g[i], self.b[i] = fn(x, y)

    def shade(self, x0, y0, x1, y1, fn):
        """fn(x, y) -> (colour, alpha) or None; blended over the box."""
        for y in range(max(0, int(y0)), min(self.h, int(y1) + 1)):
            for x in range(max(0, int(x0)), min(self.w, int(x1) + 1)):
                hit = fn(x + 0.5, y + 0.5)
                if hit:
                    self.blend(x, y, *hit)

    def blend(self, x, y, c, a):
        if 0 <= x < self.w and 0 <= y < self.h and a > 0:
            i = y * self.w + x
            self.r[i] += (c[0] - self.r[i]) * a
            self.g[i] += (c[1] - self.g[i]) * a
            self.b[i] += (c[2] - self.b[i]) * a

    def add(self, x, y, c, k=1.0):
        if 0 <= x < self.w and 0 <= y < self.h:
            i = y * self.w + x
            self.r[i] = min(255.0, self.r[i] + c[0] * k)
            self.g[i] = min(255.0, self.g[i] + c[1] * k)
            self.b[i] = min(255.0, self.b[i] + c[2] * k)

    def add_canvas(self, other, k):
        for ch, oc in ((self.r, other.r), (self.g, other.g), (self.b, other.b)):
            for i, v in enumerate(oc):
                if v:
                    ch[i] = min(255.0, ch[i] + v * k)

    def blur(self, radius, passes=3):
        """Repeated box blur ~ gaussian; used only for light bloom."""
        for ch in (self.r, self.g, self.b):
            for _ in range(passes):
                box_pass(ch, self.w, self.h, radius, 1, self.w)
                box_pass(ch, self.h, self.w, radius, self.w, 1)


def box_pass(ch, n, lines, rad, step, stride):
    span = 2 * rad + 1
    for ln in range(lines):
        base = ln * stride
        src = [ch[base + k * step] for k in range(n)]
        acc = sum(src[0:rad + 1]) + src[0] * 0
        for k in range(n):
            ch[base + k * step] = acc / span
            if k + rad + 1 < n:
                acc += src[k + rad + 1]
            if k - rad >= 0:
                acc -= src[k - rad]


def stroke(cv, pts, width, col_at, k=1.0):
    """Anti-aliased polyline, added as light; col_at(t) colours it along
    its length so a neon tube can shift hue."""
    n = len(pts) - 1
    for s in range(n):
        (ax, ay), (bx, by) = pts[s], pts[s + 1]
        col = col_at(s / max(1, n - 1))
        pad = width + 2
        for y in range(int(min(ay, by) - pad), int(max(ay, by) + pad) + 1):
            for x in range(int(min(ax, bx) - pad), int(max(ax, bx) + pad) + 1):
                d, t = seg_dist(x + 0.5, y + 0.5, ax, ay, bx, by)
                # only the segment owning the foot paints the round joints once
                if (t == 0 and s > 0) or not 0 <= x < cv.w or not 0 <= y < cv.h:
                    continue
                cov = clamp(width / 2 + 0.5 - d)
                if cov > 0:
                    i = y * cv.w + x
                    cv.r[i] = max(cv.r[i], col[0] * cov * k)
                    cv.g[i] = max(cv.g[i], col[1] * cov * k)
                    cv.b[i] = max(cv.b[i], col[2] * cov * k)


# ------------------------------------------------------- shaded objects ----

def chrome(nx, ny, sky=(235, 240, 255), floor=(40, 30, 90)):
    """Mirror ball: reflect the view ray and look up a simple environment,
    bright above the horizon, playfield-coloured below, with a hot spot."""
    nz = math.sqrt(max(0.0, 1 - nx * nx - ny * ny))
    ry, rz = 2 * nz * ny, 2 * nz * nz - 1
    if ry < 0:
        c = mix((150, 160, 190), sky, smooth(0, 0.6, -ry))
    else:
        c = mix((20, 16, 40), floor, smooth(0.05, 0.9, ry))
    lx, ly, lz = -0.45, -0.6, 0.66
    spec = max(0.0, 2 * nz * nx * lx + ry * ly + rz * lz) ** 60
    rim = smooth(0.55, 1.0, nx * nx + ny * ny) * 0.35
    return tuple(clamp(v * (1 - rim) + 255 * spec, 0, 255) for v in c)


def ball(cv, cx, cy, r, floor=(40, 30, 90)):
    def fn(x, y):
        d = math.hypot(x - cx, y - cy)
        if d > r + 0.5:
            return None
        return chrome((x - cx) / r * 0.98, (y - cy) / r * 0.98, floor=floor), clamp(r + 0.5 - d)
    cv.shade(cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1, fn)


def star_shape(dx, dy, r, points=5):
    """True when (dx, dy) lies inside a point-up star of radius r."""
    a = math.atan2(dx, -dy) * points / (2 * math.pi)
    f = abs((a % 1.0) - 0.5) * 2
    return math.hypot(dx, dy) < r * (0.45 + 0.55 * f ** 2.2)


def bumper(cv, glow, cx, cy, r, col):
    """Pop bumper seen from above: chrome skirt, lit plastic body, white cap
    with a star; its light also feeds the bloom layer."""
    stroke(glow, [(cx - 0.1, cy), (cx + 0.1, cy)], r * 2.6, col, 0.9)

    def fn(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy) / r
        if d > 1.04:
            return None
        lit = (-0.6 * dx - 0.8 * dy) / (math.hypot(dx, dy) + 1e-6)
        if d > 0.84:
            c = chrome(dx / r * 0.9, dy / r * 0.9)
        elif d > 0.6:
            c = mix(mix(col, (0, 0, 0), 0.45), col, 0.5 + 0.5 * lit)
            c = mix(c, (255, 255, 255), 0.25 * smooth(0.6, 0.3, abs(d - 0.72) * 4))
        elif star_shape(dx, dy, r * 0.5):
            c = mix(col, (255, 255, 255), 0.15)
        else:
            c = mix((255, 255, 250), (190, 190, 210), smooth(-0.6, 0.8, dy / r + dx / r))
        return c, clamp((1.04 - d) * r)
    cv.shade(cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2, fn)


def flipper(cv, px, py, tx, ty, r0, r1):
    """Tapered bat: white body, red rubber, chrome pivot; lit from above."""
    lx, ly = tx - px, ty - py
    ln = math.hypot(lx, ly)

    def fn(x, y):
        d, t = seg_dist(x, y, px, py, tx, ty)
        rad = r0 + (r1 - r0) * t
        if d > rad + 0.6:
            return None
        side = ((x - px) * ly - (y - py) * lx) / ln / rad  # -1 top .. 1 bottom
        if abs(side) > 0.98 and side * lx < 0:
            side = -side
        lit = 0.5 - 0.5 * side * (1 if lx > 0 else -1)
        if d > rad - 2.6:
            c = mix((90, 0, 10), (235, 40, 50), lit)
        else:
            c = mix((150, 150, 175), (255, 255, 255), lit)
        return c, clamp(rad + 0.5 - d)
    pad = max(r0, r1) + 2
    cv.shade(min(px, tx) - pad, min(py, ty) - pad, max(px, tx) + pad, max(py, ty) + pad, fn)
    ball(cv, px, py, r0 * 0.38)


# --------------------------------------------------------------- lettering --
# Our own 5x7 face, only the letters the title needs.
FONT = {
    'V': "1...1 1...1 1...1 1...1 .1.1. .1.1. ..1..",
    'a': "..... ..... .111. ....1 .1111 1...1 .1111",
    'n': "..... ..... 1.11. 11..1 1...1 1...1 1...1",
    't': ".1... .1... 1111. .1... .1... .1..1 ..11.",
    'r': "..... ..... 1.11. 11..1 1.... 1.... 1....",
    'e': "..... ..... .111. 1...1 11111 1.... .111.",
    'l': ".11.. ..1.. ..1.. ..1.. ..1.. ..1.. .111.",
    '!': "..1.. ..1.. ..1.. ..1.. ..1.. ..... ..1..",
    '2': ".111. 1...1 ....1 ...1. ..1.. .1... 11111",
    'D': "1111. 1...1 1...1 1...1 1...1 1...1 1111.",
    'm': "..... ..... 11.1. 1.1.1 1.1.1 1.1.1 1.1.1",
    'o': "..... ..... .111. 1...1 1...1 1...1 .111.",
}


def text_strokes(text, ox, oy, cell, slant):
    """Turn the dot font into capsule strokes (dot centres joined to their
    neighbours) so scaled letters come out smooth instead of blocky."""
    segs, x = [], 0
    for ch in text:
        if ch == ' ':
            x += 3
            continue
        rows = FONT[ch].split()
        on = {(c, r) for r in range(7) for c in range(5) if rows[r][c] == '1'}
        c0 = min(c for c, _ in on)
        width = max(c for c, _ in on) - c0 + 1

        def pos(c, r):
            cx, cy = ox + (x + c - c0 + 0.5) * cell, oy + (r + 0.5) * cell
            return cx + (7 * cell - (cy - oy)) * slant, cy
        for (c, r) in on:
            segs.append(pos(c, r) + pos(c, r))
            for dc, dr in ((1, 0), (0, 1), (1, 1), (-1, 1)):
                if (c + dc, r + dr) not in on:
                    continue
                # diagonals only where no square corner already joins them
                if dc and dr and ((c + dc, r) in on or (c, r + dr) in on):
                    continue
                segs.append(pos(c, r) + pos(c + dc, r + dr))
        x += width + 1
    return segs, (x - 1) * cell


def text_mask(segs, rad, w, h):
    mask = {}
    for ax, ay, bx, by in segs:
        for y in range(int(min(ay, by) - rad - 2), int(max(ay, by) + rad + 3)):
            for x in range(int(min(ax, bx) - rad - 2), int(max(ax, bx) + rad + 3)):
                if 0 <= x < w and 0 <= y < h:
                    cov = clamp(rad + 0.5 - seg_dist(x + 0.5, y + 0.5, ax, ay, bx, by)[0])
                    if cov > mask.get((x, y), 0):
                        mask[(x, y)] = cov
    return mask


def title(cv, glow, text, cy, cell):
    segs, width = text_strokes(text, 0, 0, cell, 0.18)
    ox, oy = (cv.w - width) / 2 - 3.5 * cell * 0.18, cy - 3.5 * cell
    segs = [(a + ox, b + oy, c + ox, d + oy) for a, b, c, d in segs]
    rad = cell * 0.52
    outline = text_mask(segs, rad + 2.2, cv.w, cv.h)
    fill = text_mask(segs, rad, cv.w, cv.h)
    for (x, y), a in outline.items():
        glow.add(x, y, (255, 40, 200), a * 0.9)
        cv.blend(x, y, (12, 6, 30), a)
    top, bot = oy, oy + 7 * cell
    for (x, y), a in fill.items():
        t = (y + 0.5 - top) / (bot - top)
        # eighties chrome: sky reflection on top, hard horizon, warm ground below
        if t < 0.52:
            c = mix((70, 110, 230), (245, 250, 255), smooth(0.0, 0.5, t))
        else:
            c = mix((120, 40, 20), (255, 200, 90), smooth(0.52, 1.0, t))
        # bevel: brighten the upper-left edges, shade the lower-right ones
        edge = fill.get((x - 1, y - 1), 0) - fill.get((x + 1, y + 1), 0)
        c = mix(c, (255, 255, 255) if edge < 0 else (30, 10, 60), min(1.0, abs(edge)) * 0.45)
        cv.blend(x, y, c, a)


# ------------------------------------------------------------ background ----

def bk_base(x, y):
    u, v = x / (BK_W - 1), y / (BK_H - 1)
    c = mix((6, 7, 26), (34, 14, 56), v)
    # lifted centre so the table grid sits on a softly lit playfield
    lift = math.exp(-(((u - 0.5) * 1.5) ** 2 + ((v - 0.55) * 1.4) ** 2) * 3.0)
    c = mix(c, (30, 34, 92), lift * 0.55)
    # faint diagonal pinstripes: texture without competing with pictures
    s = 1.5 * math.sin((x * 0.8 + y) * 0.55) * (0.4 + 0.6 * lift)
    return (c[0] + s, c[1] + s, c[2] + 2 * s)


def edge_weight(x, y):
    dx = abs(x - BK_W / 2) / (BK_W / 2)
    dy = abs(y - BK_H / 2) / (BK_H / 2)
    return smooth(0.55, 0.95, max(dx, dy))


def starfield(cv, rng):
    colours = [(255, 255, 255), (170, 220, 255), (255, 180, 230), (255, 230, 160),
               (160, 255, 200)]
    for _ in range(1400):
        x, y = rng.uniform(0, BK_W), rng.uniform(0, BK_H)
        w = 0.12 + 0.88 * edge_weight(x, y)
        if rng.random() > w:
            continue
        c, b = rng.choice(colours), rng.random() ** 3
        ix, iy = int(x), int(y)
        cv.add(ix, iy, c, 0.25 + 0.6 * b)
        if b > 0.35:  # bigger ones twinkle with a little cross
            arm = 2 + int(b * 5)
            for k in range(1, arm):
                f = (1 - k / arm) * b * 0.6
                for ddx, ddy in ((k, 0), (-k, 0), (0, k), (0, -k)):
                    cv.add(ix + ddx, iy + ddy, c, f)


def arch_path(inset):
    """Playfield outline: up the left wall, round the top, down the right."""
    r, top = 90 - inset, 10 + inset
    pts = [(10 + inset, BK_H + 2)]
    pts += [(10 + inset, y) for y in range(BK_H - 20, 100, -20)]
    for k in range(0, 19):
        a = math.pi + k * math.pi / 36
        pts.append((100 + r * math.cos(a), 100 + r * math.sin(a)))
    pts += [(x, top) for x in range(120, BK_W - 110, 30)]
    for k in range(0, 19):
        a = 1.5 * math.pi + k * math.pi / 36
        pts.append((BK_W - 100 + r * math.cos(a), 100 + r * math.sin(a)))
    pts += [(BK_W - 10 - inset, y) for y in range(110, BK_H + 3, 20)]
    return pts


def neon(cv, glow, pts, width, col_at):
    stroke(glow, pts, width + 6, col_at, 0.8)
    white = lambda t: mix(col_at(t), (255, 255, 255), 0.55)
    stroke(cv, pts, width, white)


def background(pal):
    cv, glow = Canvas(BK_W, BK_H), Canvas(BK_W, BK_H)
    cv.fill(bk_base)
    starfield(cv, random.Random(7731))
    hot_pink, cyan, amber = (255, 40, 190), (40, 220, 255), (255, 170, 30)
    # one tube fading pink->violet->cyan over the whole arch
    outer = lambda t: mix(hot_pink, cyan, smooth(0.25, 0.75, t))
    tmp = Canvas(BK_W, BK_H)
    neon(tmp, glow, arch_path(0), 2.2, outer)
    neon(tmp, glow, arch_path(12), 1.2, lambda t: amber)
    # inlane guides leading down to the flippers
    for sx in (1, -1):
        ex = 0 if sx > 0 else BK_W
        pts = [(ex + sx * 22, 250), (ex + sx * 22, 300), (ex + sx * 62, 332)]
        neon(tmp, glow, pts, 1.6, lambda t, s=sx: (120, 255, 120) if s > 0 else (255, 120, 60))
    # slingshot kickers
    for sx in (1, -1):
        ex = 0 if sx > 0 else BK_W
        tri = [(ex + sx * 40, 230), (ex + sx * 40, 290), (ex + sx * 66, 300), (ex + sx * 40, 230)]
        neon(tmp, glow, tri, 1.3, lambda t: (255, 230, 60))
    # speed streaks off the corners
    rng = random.Random(99)
    for k in range(10):
        y0 = 120 + k * 20 + rng.uniform(-5, 5)
        for sx in (1, -1):
            x0 = 30 if sx > 0 else BK_W - 30
            pts = [(x0 + sx * i * 4, y0 - i * 1.2) for i in range(12)]
            col = [(255, 80, 220), (60, 200, 255), (255, 255, 255)][k % 3]
            stroke(glow, pts, 1.0, lambda t, c=col: mix(c, (0, 0, 0), t), 0.5)
    # rollover lane lights under the arch
    lights = [(255, 40, 40), (255, 150, 20), (255, 240, 40), (80, 255, 80),
              (40, 200, 255), (90, 90, 255), (220, 60, 255)]
    for i, c in enumerate(lights):
        for sx in (1, -1):
            x = 60 + i * 9 if sx > 0 else BK_W - 60 - i * 9
            y = 40 + abs(i - 3) * 0
            pts = [(x, 300 + i * 0), (x, 300)]
    bumpers = [(56, 74, 22, (255, 50, 60)), (102, 46, 13, (255, 190, 30)),
               (BK_W - 56, 74, 22, (40, 160, 255)), (BK_W - 102, 46, 13, (60, 230, 90))]
    for cx, cy, r, c in bumpers:
        stroke(glow, [(cx, cy), (cx + 0.1, cy)], r * 2.8, lambda t, c=c: c, 0.9)
    # insert arrows up the sides: small lamps in a rainbow
    inserts = []
    for i, c in enumerate(lights):
        for sx in (1, -1):
            x = 28 if sx > 0 else BK_W - 28
            inserts.append((x, 140 + i * 12, c))
            stroke(glow, [(x, 140 + i * 12), (x + 0.1, 140 + i * 12)], 9, lambda t, c=c: c, 0.5)
    title_cv = Canvas(BK_W, BK_H)
    glow.blur(4)
    cv.add_canvas(glow, 1.0)
    cv.add_canvas(tmp, 1.0)
    for x, y, c in inserts:
        def lamp(px, py, x=x, y=y, c=c):
            dx, dy = px - x, py - y
            # a chevron pointing up the playfield
            inside = abs(dx) < 4.5 - 0 and -3 < dy + abs(dx) * 0.7 < 2.5
            return (mix(c, (255, 255, 255), 0.35), 1.0) if inside else None
        cv.shade(x - 6, y - 6, x + 6, y + 6, lamp)
    for cx, cy, r, c in bumpers:
        bumper(cv, title_cv, cx, cy, r, c)
    flipper(cv, 24, 340, 98, 368, 11, 5.5)
    flipper(cv, BK_W - 24, 340, BK_W - 98, 368, 11, 5.5)
    # the ball, mid-flight, with a fading motion trail
    for k in range(8, 0, -1):
        bx, by = 128 - k * 7, 300 - k * 5
        cv.shade(bx - 12, by - 12, bx + 12, by + 12,
                 lambda x, y, bx=bx, by=by, k=k: ((200, 220, 255), 0.06 * (9 - k) * clamp(9.5 - math.hypot(x - bx, y - by)))
                 if math.hypot(x - bx, y - by) < 10 else None)
    ball(cv, 128, 300, 9)
    ball(cv, BK_W - 150, 352, 9)
    tglow = Canvas(BK_W, BK_H)
    title(cv, tglow, "Vantrel! 2 Demo", 34, 4)
    tglow.blur(3)
    # the title's glow goes under its letters: draw the letters again on top
    cv2 = Canvas(BK_W, BK_H)
    cv2.r, cv2.g, cv2.b = cv.r[:], cv.g[:], cv.b[:]
    cv.add_canvas(tglow, 0.9)
    title(cv, Canvas(BK_W, BK_H), "Vantrel! 2 Demo", 34, 4)
    q = Quantizer(pal)
    rows = q.image(cv, 10)
    use_every_entry(rows, cv, pal)
    return rows


# ----------------------------------------------------------- placeholders --

def frame_colour(x, y, w, h, metal):
    """Bevelled 10-pixel frame: light on the top/left faces, dark bottom/right."""
    e = min(x, y, w - 1 - x, h - 1 - y)
    lit_face = min(x, y) <= min(w - 1 - x, h - 1 - y)
    if e == 0:
        return (6, 6, 14)
    if e >= 8:  # groove that seems to sink the centre below the frame
        return mix(metal, (0, 0, 0), 0.8 if e == 8 else 0.65)
    t = (e - 1) / 6
    hi = mix(metal, (255, 255, 255), 0.55 - 0.35 * t)
    lo = mix(metal, (0, 0, 0), 0.55 - 0.25 * t)
    return hi if lit_face else lo


def placeholder(w, h, metal, top, bottom, motif):
    cv = Canvas(w, h)

    def fn(x, y):
        if 10 <= x < 110 and 10 <= y < 110:
            v = (y - 10) / 99
            glowc = math.exp(-(((x - 45) / 60) ** 2 + ((y - 40) / 60) ** 2))
            return mix(mix(top, bottom, v), mix(top, (255, 255, 255), 0.12), glowc * 0.5)
        return frame_colour(x, y, w, h, metal)
    cv.fill(fn)
    motif(cv)
    return cv


def no_pb_motif(cv):
    # a faint ghost of a ball and flipper pair: hints "pinball, no picture"
    cx, cy, r = 60, 60, 30
    cv.shade(cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2, lambda x, y:
             ((120, 130, 200), 0.10 * clamp(1.5 - abs(math.hypot(x - cx, y - cy) - r)))
             if abs(math.hypot(x - cx, y - cy) - r) < 2 else None)
    for px, tx in ((34, 55), (86, 65)):
        cv.shade(20, 90, 100, 108, lambda x, y, px=px, tx=tx:
                 ((120, 130, 200), 0.10 * clamp(3.5 - seg_dist(x, y, px, 96, tx, 103)[0]))
                 if seg_dist(x, y, px, 96, tx, 103)[0] < 4 else None)
    for x, y in ((5, 5), (114, 5), (5, 114), (114, 114)):
        ball(cv, x, y, 4.2)


def disc(cv, cx, cy, r, strength):
    """Compact disc: rainbow sheen that turns with the angle, clear hub."""
    def fn(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        if d > r + 0.5 or d < r * 0.18:
            return None
        hue = (math.atan2(dy, dx) * 2 / math.pi * 90 + d * 2) % 360
        c = hsv(hue, 0.45, 1.0)
        c = mix(c, (230, 230, 240), 0.4 if d < r * 0.42 else 0.0)
        if r * 0.36 < d < r * 0.42:
            c = (110, 110, 130)
        return c, strength * clamp(r + 0.5 - d) * clamp(d - r * 0.18 + 0.5)
    cv.shade(cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1, fn)


def oncd_motif(cv):
    disc(cv, 60, 60, 36, 0.09)  # watermark, kept faint for the name on top
    for x, y in ((5, 5), (113, 5), (5, 114), (113, 114)):
        disc(cv, x, y, 4.4, 1.0)


# ----------------------------------------------------------------- icon -----

def icon_image(size):
    """Shiny ball; sampled 4x4 per pixel then snapped to VGA16 undithered,
    which reads cleaner than dithering at 16 pixels."""
    q = Quantizer(VGA16)
    cx = cy = size / 2
    r = size / 2 - 0.6
    idx, mask = [], []
    for y in range(size):
        irow, mrow = [], []
        for x in range(size):
            acc, cov = [0.0, 0.0, 0.0], 0
            for sy in range(4):
                for sx in range(4):
                    px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
                    nx, ny = (px - cx) / r, (py - cy) / r
                    if nx * nx + ny * ny <= 1:
                        c = chrome(nx, ny, sky=(255, 255, 255), floor=(20, 40, 200))
                        if nx * nx + ny * ny > 0.86:
                            c = (0, 0, 0) if size > 16 or nx + ny > 0 else c
                        acc = [a + v for a, v in zip(acc, c)]
                        cov += 1
            if cov >= 8:
                irow.append(q.nearest(*(a / cov for a in acc)))
                mrow.append(0)
            else:
                irow.append(0)
                mrow.append(1)
        idx.append(irow)
        mask.append(mrow)
    return size, idx, mask


# -------------------------------------------------------------- writers -----

def bmp8_bytes(w, h, palette, rows, clr_used):
    stride = (w + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        pixels += bytes(row) + bytes(stride - w)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    off = 14 + 40 + len(table)
    head = struct.pack('<2sIHHI', b'BM', off + len(pixels), 0, 0, off)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, len(pixels),
                       2835, 2835, clr_used, 0)
    return head + info + table + bytes(pixels)


def ico_bytes(images):
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in VGA16)
    blobs = []
    for size, idx, mask in images:
        xs, ms = ((size * 4 + 31) // 32) * 4, ((size + 31) // 32) * 4
        xor, andm = bytearray(), bytearray()
        for row in reversed(idx):
            line = bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
            xor += line + bytes(xs - len(line))
        for row in reversed(mask):
            bits = bytearray(ms)
            for i, m in enumerate(row):
                if m:
                    bits[i >> 3] |= 0x80 >> (i & 7)
            andm += bits
        info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                           len(xor) + len(andm), 0, 0, 0, 0)
        blobs.append(info + pal + bytes(xor) + bytes(andm))
    out = struct.pack('<HHH', 0, 1, len(images))
    off = 6 + 16 * len(images)
    for (size, _, _), blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 16, 0, 1, 4, len(blob), off)
        off += len(blob)
    return out + b''.join(blobs)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_art.py OUTDIR")
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    pal = build_palette()
    ph_pal = SYS_LOW + pal + SYS_HIGH + [(0, 0, 0)]  # 257 entries by design
    q = Quantizer(pal)

    def ph_rows(cv):
        return [[v + len(SYS_LOW) for v in row] for row in q.image(cv, 5)]
    files = {
        'bkgnd.bmp': bmp8_bytes(BK_W, BK_H, pal, background(pal), 236),
        'no_pb.bmp': bmp8_bytes(PH_W, PH_W, ph_pal, ph_rows(placeholder(
            PH_W, PH_W, (120, 140, 190), (46, 52, 104), (16, 18, 46), no_pb_motif)), 257),
        'pb_oncd.bmp': bmp8_bytes(PH_W - 1, PH_W, ph_pal, ph_rows(placeholder(
            PH_W - 1, PH_W, (170, 110, 200), (58, 34, 84), (20, 12, 40), oncd_motif)), 257),
        'shell.ico': ico_bytes([icon_image(32), icon_image(16), icon_image(48)]),
    }
    for name, data in files.items():
        with open(os.path.join(outdir, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
