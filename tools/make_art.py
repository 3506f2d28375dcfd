#!/usr/bin/env python3
"""Draws the shell's art (window background, picture placeholders and icon) and
the pictures of the demo's tables.

Usage: python3 tools/make_art.py OUTDIR            the shell's own art
       python3 tools/make_art.py --tables OUTDIR   the demo tables' pictures

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
    carry the table pictures drawn over the background. Hence: dense dark
    ramps for our own playfield and placeholders, greys, a shade-to-pastel
    ramp per hue, and some muted tones that photos and wood need."""
    pal = ramp([(2, 2, 10), (10, 10, 34), (22, 16, 58), (40, 24, 84),
                (64, 36, 110)], 32)
    pal += ramp([(8, 12, 26), (26, 34, 70), (60, 72, 120), (130, 144, 186),
                 (200, 210, 235)], 16)
    pal += ramp([(0, 0, 0), (255, 255, 255)], 24)
    for h in (0, 22, 40, 56, 90, 130, 185, 205, 228, 265, 300, 330):
        pal += [hsv(h, 0.95, v) for v in (0.22, 0.32, 0.42, 0.53, 0.64, 0.75, 0.87, 1.0)]
        pal += [hsv(h, s, 1.0) for s in (0.72, 0.5, 0.32, 0.16)]
    pal += [(60, 36, 20), (96, 60, 36), (140, 92, 56), (180, 128, 88),
            (212, 164, 124), (236, 200, 164), (120, 80, 60), (200, 150, 110)]
    for h in (90, 180, 290):
        pal += [hsv(h, 0.35, v) for v in (0.3, 0.5, 0.7, 0.85)]
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
    """The shell realises this palette as is, so every entry has to appear
    in the picture. Entries the art missed
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
        acc = sum(src[0:rad + 1])  # zero beyond the edges
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

def chrome(nx, ny, floor=(60, 50, 130), env=0.7):
    """Polished steel ball lit from the upper left: soft diffuse body, the
    playfield reflected along the lower rim and a hard white highlight."""
    nz = math.sqrt(max(0.0, 1 - nx * nx - ny * ny))
    lx, ly, lz = -0.5, -0.6, 0.62
    diffuse = clamp(nx * lx + ny * ly + nz * lz)
    c = mix((50, 52, 70), (225, 228, 240), 0.2 + 0.8 * diffuse)
    c = mix(c, floor, env * smooth(0.15, 0.95, ny) * (1 - nz * 0.7))
    ry, rz = 2 * nz * ny, 2 * nz * nz - 1
    glint = clamp(2 * nz * nx * lx + ry * ly + rz * lz) ** 40
    return tuple(clamp(v + 255 * glint, 0, 255) for v in c)


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


def bumper(cv, cx, cy, r, col):
    """Pop bumper seen from above: chrome skirt, lit plastic body, white cap
    with a star."""

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
        side = ((x - px) * ly - (y - py) * lx) / ln / rad
        lit = 0.5 - 0.5 * side * (1 if lx > 0 else -1)  # upper edge catches light
        if d > rad - 2.6:
            c = mix((90, 0, 10), (235, 40, 50), lit)
        else:
            c = mix((150, 150, 175), (255, 255, 255), lit)
        return c, clamp(rad + 0.5 - d)
    pad = max(r0, r1) + 2
    cv.shade(min(px, tx) - pad, min(py, ty) - pad, max(px, tx) + pad, max(py, ty) + pad, fn)
    ball(cv, px, py, r0 * 0.38)


# --------------------------------------------------------------- lettering --
# Our own 5x7 face, only the letters the titles need.
FONT = {
    'A': ".111. 1...1 1...1 11111 1...1 1...1 1...1",
    'B': "1111. 1...1 1...1 1111. 1...1 1...1 1111.",
    'C': ".111. 1...1 1.... 1.... 1.... 1...1 .111.",
    'E': "11111 1.... 1.... 1111. 1.... 1.... 11111",
    'G': ".111. 1...1 1.... 1.111 1...1 1...1 .1111",
    'H': "1...1 1...1 1...1 11111 1...1 1...1 1...1",
    'I': "111 .1. .1. .1. .1. .1. 111",
    'L': "1.... 1.... 1.... 1.... 1.... 1.... 11111",
    'M': "1...1 11.11 1.1.1 1.1.1 1...1 1...1 1...1",
    'N': "1...1 11..1 1.1.1 1..11 1...1 1...1 1...1",
    'O': ".111. 1...1 1...1 1...1 1...1 1...1 .111.",
    'R': "1111. 1...1 1...1 1111. 1.1.. 1..1. 1...1",
    'S': ".1111 1.... 1.... .111. ....1 ....1 1111.",
    'T': "11111 ..1.. ..1.. ..1.. ..1.. ..1.. ..1..",
    'U': "1...1 1...1 1...1 1...1 1...1 1...1 .111.",
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
        on = {(c, r) for r in range(7) for c in range(len(rows[r])) if rows[r][c] == '1'}
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


def title(cv, text, cy, cell, glow_colour=(255, 40, 200)):
    """Chrome lettering on a dark outline, with a neon bloom behind it."""
    segs, width = text_strokes(text, 0, 0, cell, 0.18)
    ox, oy = (cv.w - width) / 2 - 3.5 * cell * 0.18, cy - 3.5 * cell
    segs = [(a + ox, b + oy, c + ox, d + oy) for a, b, c, d in segs]
    rad = cell * 0.52
    outline = text_mask(segs, rad + 0.55 * cell, cv.w, cv.h)
    fill = text_mask(segs, rad, cv.w, cv.h)
    glow = Canvas(cv.w, cv.h)
    for (x, y), a in outline.items():
        glow.add(x, y, glow_colour, a)
    glow.blur(3)
    cv.add_canvas(glow, 0.9)
    for (x, y), a in outline.items():
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

def bk_base(x, y, w=BK_W, h=BK_H):
    u, v = x / (w - 1), y / (h - 1)
    c = mix((6, 7, 26), (34, 14, 56), v)
    # corners fall off to near black, like the edge of a lit cabinet
    c = mix(c, (1, 1, 6), 0.8 * smooth(0.55, 1.1, math.hypot(u - 0.5, v - 0.5) * 1.6))
    # lifted centre so the table grid sits on a softly lit playfield
    lift = math.exp(-(((u - 0.5) * 1.5) ** 2 + ((v - 0.55) * 1.4) ** 2) * 3.0)
    c = mix(c, (30, 34, 92), lift * 0.55)
    # faint diagonal pinstripes: texture without competing with pictures
    s = 1.5 * math.sin((x * 0.8 + y) * 0.55) * (0.4 + 0.6 * lift)
    return (c[0] + s, c[1] + s, c[2] + 2 * s)


def edge_weight(x, y, w=BK_W, h=BK_H):
    dx = abs(x - w / 2) / (w / 2)
    dy = abs(y - h / 2) / (h / 2)
    return smooth(0.55, 0.95, max(dx, dy))


def starfield(cv, rng, count=1400):
    colours = [(255, 255, 255), (170, 220, 255), (255, 180, 230), (255, 230, 160),
               (160, 255, 200)]
    for _ in range(count):
        x, y = rng.uniform(0, cv.w), rng.uniform(0, cv.h)
        w = 0.12 + 0.88 * edge_weight(x, y, cv.w, cv.h)
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


def neon(tubes, glow, pts, width, col_at, bloom=0.8):
    """A lit tube: white-hot core on its own layer, coloured light in glow."""
    stroke(glow, pts, width + 5, col_at, bloom)
    stroke(tubes, pts, width, lambda t: mix(col_at(t), (255, 255, 255), 0.4))


def spot(cv, x, y, diameter, col, k):
    stroke(cv, [(x, y), (x + 0.1, y)], diameter, lambda t: col, k)


LAMPS = [(255, 40, 40), (255, 150, 20), (255, 240, 40), (80, 255, 80),
         (40, 200, 255), (40, 70, 255), (220, 60, 255)]
BUMPERS = [(56, 74, 22, (255, 50, 60)), (102, 46, 13, (255, 190, 30)),
           (BK_W - 56, 74, 22, (40, 160, 255)), (BK_W - 102, 46, 13, (60, 230, 90))]


def playfield_lights(cv):
    """Everything that emits light, bloomed once together so overlapping
    glows add up the way real lamps do."""
    glow, tubes = Canvas(BK_W, BK_H), Canvas(BK_W, BK_H)
    # the outer tube fades pink -> violet -> cyan over the whole arch
    neon(tubes, glow, arch_path(0), 2.2,
         lambda t: mix((255, 40, 190), (40, 220, 255), smooth(0.25, 0.75, t)))
    neon(tubes, glow, arch_path(12), 1.2, lambda t: (255, 170, 30), 0.35)
    for sx, ex, col in ((1, 0, (120, 255, 120)), (-1, BK_W, (255, 120, 60))):
        # inlane guide down to the flipper, and the slingshot above it
        neon(tubes, glow, [(ex + sx * 22, 250), (ex + sx * 22, 300), (ex + sx * 62, 332)],
             1.6, lambda t, c=col: c)
        neon(tubes, glow, [(ex + sx * 40, 230), (ex + sx * 40, 290), (ex + sx * 66, 300),
                           (ex + sx * 40, 230)], 1.3, lambda t: (255, 230, 60))
    for cx, cy, r, c in BUMPERS:
        spot(glow, cx, cy, r * 2.8, c, 0.9)
    for x, y, c in lamp_positions():
        spot(glow, x, y, 9, c, 0.5)
    glow.blur(4)
    cv.add_canvas(glow, 1.0)
    cv.add_canvas(tubes, 1.0)


def lamp_positions():
    return [(x, 140 + i * 12, c) for i, c in enumerate(LAMPS) for x in (28, BK_W - 28)]


def lamp(cv, x, y, c):
    """Chevron insert pointing up the playfield, hot in the middle."""
    def fn(px, py):
        dx, dy = px - x, py - y
        if not (abs(dx) < 5 and -3 < dy + abs(dx) * 0.7 < 2.5):
            return None
        t = 1 - math.hypot(dx, dy * 1.5) / 5.5
        if t < 0.5:
            return mix(mix(c, (0, 0, 0), 0.7), c, t * 2), 1.0
        return mix(c, (255, 255, 255), (t - 0.5) * 1.2), 1.0
    cv.shade(x - 6, y - 6, x + 6, y + 6, fn)


def flying_ball(cv, x0, y0, x1, y1, r):
    """Ball mid-flight with a comet tail of light behind it."""
    tail = Canvas(BK_W, BK_H)
    for k in range(24):
        f = k / 23
        spot(tail, x0 + (x1 - x0) * f, y0 + (y1 - y0) * f, 1 + 1.6 * r * f,
             (150 * f, 200 * f, 255 * f), 1.0)
    tail.blur(1, 2)
    cv.add_canvas(tail, 0.55)
    ball(cv, x1, y1, r)


def background(pal):
    cv = Canvas(BK_W, BK_H)
    cv.fill(bk_base)
    starfield(cv, random.Random(7731))
    playfield_lights(cv)
    for x, y, c in lamp_positions():
        lamp(cv, x, y, c)
    for cx, cy, r, c in BUMPERS:
        bumper(cv, cx, cy, r, c)
    flipper(cv, 24, 340, 98, 368, 11, 5.5)
    flipper(cv, BK_W - 24, 340, BK_W - 98, 368, 11, 5.5)
    flying_ball(cv, 70, 258, 128, 300, 9)
    ball(cv, BK_W - 150, 352, 9)
    title(cv, "Vantrel! 2 Demo", 34, 4)
    rows = Quantizer(pal).image(cv, 10)
    use_every_entry(rows, cv, pal)
    return rows


# ----------------------------------------------------------- placeholders --

def frame_colour(x, y, w, h, metal, shine=(255, 255, 255)):
    """Bevelled 10-pixel frame: light on the top/left faces, dark bottom/right."""
    e = min(x, y, w - 1 - x, h - 1 - y)
    lit_face = min(x, y) <= min(w - 1 - x, h - 1 - y)
    if e == 0:
        return (6, 6, 14)
    if e >= 8:  # groove that seems to sink the centre below the frame
        return mix(metal, (0, 0, 0), 0.8 if e == 8 else 0.65)
    t = (e - 1) / 6
    hi = mix(metal, shine, 0.55 - 0.35 * t)
    lo = mix(metal, (0, 0, 0), 0.55 - 0.25 * t)
    return hi if lit_face else lo


def placeholder(w, h, metal, shine, top, bottom, motif):
    cv = Canvas(w, h)

    def fn(x, y):
        if 10 <= x < 110 and 10 <= y < 110:
            v = (y - 10) / 99
            glowc = math.exp(-(((x - 45) / 60) ** 2 + ((y - 40) / 60) ** 2))
            return mix(mix(top, bottom, v), top, glowc * 0.5)
        return frame_colour(x, y, w, h, metal, shine)
    cv.fill(fn)
    motif(cv)
    return cv


def lift(cv, x, y, k):
    """Brighten or darken in place: watermarks keep the hue of the ground, so
    they stay on the same palette ramp and dither smoothly."""
    if 0 <= x < cv.w and 0 <= y < cv.h and k:
        i = y * cv.w + x
        cv.r[i] *= 1 + k
        cv.g[i] *= 1 + k
        cv.b[i] *= 1 + k


def no_pb_motif(cv):
    # a ghost of a ball above a flipper pair: "pinball, but no picture"
    for y in range(10, 110):
        for x in range(10, 110):
            ring = clamp(2.0 - abs(math.hypot(x - 60, y - 56) - 28))
            bats = max(clamp(4.0 - seg_dist(x, y, 26, 92, 52, 101)[0]),
                       clamp(4.0 - seg_dist(x, y, 94, 92, 68, 101)[0]))
            lift(cv, x, y, 0.22 * min(1.0, ring + bats))
    for x, y in ((5, 5), (114, 5), (5, 114), (114, 114)):
        ball(cv, x, y, 4.2, floor=(40, 50, 110))


def disc(cv, cx, cy, r):
    """Compact disc: rainbow sheen that turns with the angle, clear hub."""
    def fn(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        if d > r + 0.5 or d < r * 0.2:
            return None
        c = hsv((math.atan2(dy, dx) * 180 / math.pi * 2) % 360, 0.5, 1.0)
        if d < r * 0.45:
            c = (200, 200, 215)
        return c, clamp(r + 0.5 - d)
    cv.shade(cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1, fn)


def oncd_motif(cv):
    # faint disc watermark: light bands that sweep round like a CD's sheen
    for y in range(10, 110):
        for x in range(10, 110):
            dx, dy = x - 59.5, y - 58
            d = math.hypot(dx, dy)
            if 9 < d < 40:
                a = math.atan2(dy, dx)
                k = 0.12 + 0.22 * math.cos(2 * a - 0.8) ** 2
                edge = clamp(40.5 - d) * clamp(d - 8.5)
                lift(cv, x, y, k * edge - (0.1 if 15 < d < 17 else 0))
    for x, y in ((5, 5), (113, 5), (5, 114), (113, 114)):
        disc(cv, x, y, 4.4)


# ---------------------------------------------------------- table pictures --
# The demo's tables: each a little playfield with its own theme, drawn in the
# background's palette so it shows true on the shell's 8-bit display.

def pic_arch(inset):
    """Rounded top of a 120-pixel playfield, open at the bottom."""
    r, lo, hi = 22 - inset, 3 + inset, PH_W - 4 - inset
    pts = [(lo, PH_W + 2), (lo, 25)]
    pts += [(25 + r * math.cos(math.pi + k * math.pi / 24),
             25 + r * math.sin(math.pi + k * math.pi / 24)) for k in range(13)]
    pts += [(PH_W - 26 + r * math.cos(1.5 * math.pi + k * math.pi / 24),
             25 + r * math.sin(1.5 * math.pi + k * math.pi / 24)) for k in range(13)]
    return pts + [(hi, PH_W + 2)]


def ramp_band(cv, pts, width, body, rail=(235, 240, 255)):
    """A clear plastic ramp seen from above: tinted body between two steel rails."""
    half = width / 2

    def fn(x, y):
        d = min(seg_dist(x, y, *pts[k], *pts[k + 1])[0] for k in range(len(pts) - 1))
        if d > half + 0.7:
            return None
        if d > half - 1.3:
            return rail, clamp(half + 0.7 - d) * 0.95
        return body, 0.45
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    cv.shade(min(xs) - half - 1, min(ys) - half - 1, max(xs) + half + 1, max(ys) + half + 1, fn)


def arc_points(cx, cy, rx, ry, a0, a1, n=24):
    return [(cx + rx * math.cos(a0 + (a1 - a0) * k / n), cy + ry * math.sin(a0 + (a1 - a0) * k / n))
            for k in range(n + 1)]


def table_furniture(cv, arch_colours, bumpers, ball_at):
    """What every table has: a lit arch, bumpers, two flippers and a ball."""
    glow, tubes = Canvas(PH_W, PH_W), Canvas(PH_W, PH_W)
    neon(tubes, glow, pic_arch(0), 1.4,
         lambda t: mix(arch_colours[0], arch_colours[1], smooth(0.2, 0.8, t)), 0.7)
    for cx, cy, r, c in bumpers:
        spot(glow, cx, cy, r * 2.6, c, 0.8)
    glow.blur(2)
    cv.add_canvas(glow, 1.0)
    cv.add_canvas(tubes, 1.0)
    for cx, cy, r, c in bumpers:
        bumper(cv, cx, cy, r, c)
    flipper(cv, 30, 101, 52, 112, 5, 2.4)
    flipper(cv, PH_W - 30, 101, PH_W - 52, 112, 5, 2.4)
    ball(cv, *ball_at, 3.6)


def vignette(x, y, c, k=0.75):
    d = math.hypot(x / (PH_W - 1) - 0.5, y / (PH_W - 1) - 0.5)
    return mix(c, (1, 1, 6), k * smooth(0.45, 0.85, d))


def harbour_lights():
    cv = Canvas(PH_W, PH_W)
    horizon = 74

    def sky_and_sea(x, y):
        if y < horizon:
            c = mix((4, 8, 30), (20, 60, 110), smooth(10, horizon, y))
        else:
            v = (y - horizon) / (PH_W - horizon)
            c = mix((10, 40, 80), (2, 10, 30), v)
            wave = math.sin(x * 0.35 + y * 1.3) * math.sin(y * 0.9)
            c = mix(c, (40, 110, 170), 0.35 * clamp(wave) * (1 - v))
            # the lamp's path of light on the water
            c = mix(c, (255, 220, 120), 0.7 * clamp(1 - abs(x - 84) / (3 + v * 14)) * clamp(wave + 0.6))
        return vignette(x, y, c)
    cv.fill(sky_and_sea)
    starfield_small(cv, random.Random(4102), 70, horizon - 8)
    beams = Canvas(PH_W, PH_W)
    for ang, spread in ((math.pi * 1.07, 0.09), (math.pi * 1.93, 0.07)):
        for y in range(PH_W):
            for x in range(PH_W):
                dx, dy = x - 84, y - 47
                a = math.atan2(dy, dx) % (2 * math.pi)
                off = abs((a - ang + math.pi) % (2 * math.pi) - math.pi)
                if off < spread and y < horizon:
                    k = (1 - off / spread) * clamp(1 - math.hypot(dx, dy) / 95)
                    beams.add(x, y, (255, 230, 150), 0.55 * k)
    cv.add_canvas(beams, 1.0)

    def tower(x, y):
        if y < 50 or y > horizon + 2:
            return None
        half = 5 + (y - 50) * 0.12
        if abs(x - 84) > half + 0.5:
            return None
        band = int((y - 50) / 6) % 2
        c = (220, 40, 40) if band else (240, 240, 245)
        c = mix(c, (0, 0, 0), 0.45 * smooth(-half, half, x - 84))
        return c, clamp(half + 0.5 - abs(x - 84))
    cv.shade(74, 48, 94, horizon + 2, tower)
    spot(cv, 84, 47, 10, (255, 240, 170), 1.0)
    cv.shade(78, 40, 90, 42, lambda x, y: ((60, 40, 40), 1.0))
    rocks = [(72, horizon + 1, 9), (94, horizon + 2, 7), (83, horizon + 3, 8)]
    for rx, ry, r in rocks:
        cv.shade(rx - r, ry - r, rx + r, ry + 1, lambda x, y, rx=rx, ry=ry, r=r:
                 (mix((40, 36, 50), (90, 84, 100), smooth(r, -r, x - rx + y - ry)), 1.0)
                 if math.hypot(x - rx, (y - ry) * 1.6) < r and y <= ry + 1 else None)
    ramp_band(cv, arc_points(60, 92, 46, 34, math.pi * 1.05, math.pi * 1.42), 7, (40, 200, 255))
    table_furniture(cv, ((40, 200, 255), (255, 200, 60)),
                    [(26, 60, 7, (255, 50, 60)), (44, 48, 6, (60, 230, 90))], (62, 88))
    title(cv, "HARBOUR", 11, 1.6, (40, 160, 255))
    title(cv, "LIGHTS", 25, 1.6, (255, 190, 30))
    return cv


def starfield_small(cv, rng, count, bottom):
    for _ in range(count):
        x, y = rng.uniform(4, PH_W - 4), rng.uniform(4, bottom)
        b = rng.random() ** 2
        cv.add(int(x), int(y), (230, 235, 255), 0.3 + 0.7 * b)


def comet_run():
    cv = Canvas(PH_W, PH_W)
    cv.fill(lambda x, y: vignette(x, y, mix((8, 6, 30), (30, 10, 60), y / PH_W), 0.6))
    starfield_small(cv, random.Random(5521), 110, PH_W - 4)

    def planet(x, y):
        dx, dy = x - 38, y - 70
        d = math.hypot(dx, dy)
        if d > 17.5:
            return None
        band = math.sin(dy * 0.7 + dx * 0.15)
        c = mix((200, 90, 40), (255, 190, 110), 0.5 + 0.5 * band)
        c = mix(c, (20, 6, 30), smooth(-8, 18, dx + dy))
        return c, clamp(17.5 - d)
    # the ring is a ramp round the planet: its far half passes behind it
    ramp_band(cv, arc_points(38, 70, 30, 9, math.pi, 2 * math.pi), 5, (255, 120, 220))
    cv.shade(18, 50, 58, 90, planet)
    ramp_band(cv, arc_points(38, 70, 30, 9, 0, math.pi), 5, (255, 120, 220))

    def comet(x, y):
        # the tail widens and fades from the head at (86, 50) up to the top right
        d, t = seg_dist(x, y, 86, 50, 124, 4)
        w = 2 + 9 * t
        if d > w:
            return None
        return mix((255, 255, 255), (60, 160, 255), t), (1 - d / w) * (1 - t) * 0.9
    cv.shade(70, 0, PH_W, 64, comet)
    spot(cv, 86, 50, 11, (120, 200, 255), 0.8)
    table_furniture(cv, ((255, 60, 200), (60, 200, 255)),
                    [(94, 76, 6, (40, 160, 255)), (76, 86, 5, (255, 190, 30))], (86, 50))
    title(cv, "COMET", 11, 1.9, (60, 200, 255))
    title(cv, "RUN", 27, 1.9, (255, 60, 200))
    return cv


def midnight_carnival():
    cv = Canvas(PH_W, PH_W)
    cv.fill(lambda x, y: vignette(x, y, mix((26, 6, 44), (70, 14, 70), smooth(20, 110, y)), 0.6))
    starfield_small(cv, random.Random(6630), 50, 60)
    cx, cy, r = 60, 62, 25
    glow, lights = Canvas(PH_W, PH_W), Canvas(PH_W, PH_W)
    for k in range(16):
        a = k * math.pi / 8
        ex, ey = cx + r * math.cos(a), cy + r * math.sin(a)
        stroke(lights, [(cx, cy), (ex, ey)], 0.8, lambda t: (150, 120, 200), 0.8)
        c = hsv(k * 45 % 360, 0.75, 1.0)
        spot(glow, ex, ey, 6, c, 0.9)
        spot(lights, ex, ey, 2.2, mix(c, (255, 255, 255), 0.5), 1.0)
    stroke(lights, arc_points(cx, cy, r, r, 0, 2 * math.pi, 48), 1.2, lambda t: (255, 110, 220), 0.9)
    stroke(lights, [(cx, cy), (cx - 14, cy + 40), (cx + 14, cy + 40), (cx, cy)], 1.2,
           lambda t: (200, 200, 230), 0.8)
    glow.blur(2)
    cv.add_canvas(glow, 1.0)
    cv.add_canvas(lights, 1.0)
    bumper(cv, cx, cy, 5, (255, 190, 30))

    def tent(x, y, left, right, top, base):
        mid = (left + right) / 2
        span = (right - left) / 2
        roof = top + (base - top) * abs(x - mid) / span
        if not left <= x <= right or y < roof or y > base + 10:
            return None
        stripe = int((x - left) / 4) % 2
        c = (230, 30, 60) if stripe else (250, 235, 200)
        return mix(c, (20, 0, 30), 0.35 + 0.3 * smooth(roof, base + 10, y)), 1.0
    cv.shade(4, 66, 36, 92, lambda x, y: tent(x, y, 6, 34, 68, 80))
    cv.shade(84, 70, 116, 94, lambda x, y: tent(x, y, 86, 114, 72, 84))
    table_furniture(cv, ((255, 60, 200), (255, 200, 60)),
                    [(20, 50, 6, (60, 230, 90)), (100, 50, 6, (40, 160, 255))], (74, 92))
    title(cv, "MIDNIGHT", 11, 1.45, (255, 40, 200))
    title(cv, "CARNIVAL", 24, 1.45, (255, 190, 30))
    return cv


TABLE_PICTURES = {'harbour.bmp': harbour_lights, 'comet.bmp': comet_run,
                  'carnival.bmp': midnight_carnival}


# ----------------------------------------------------------------- icon -----

def icon_image(size):
    """Shiny ball; sampled 4x4 per pixel then snapped to VGA16 undithered,
    which reads cleaner than dithering at 16 pixels."""
    # only the greys and blues: stray teal or olive dots look like dirt
    q = Quantizer([c if i in (0, 4, 7, 8, 12, 15) else (999, 999, 999)
                   for i, c in enumerate(VGA16)])
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
                        c = chrome(nx, ny, floor=(0, 0, 200), env=1.0)
                        if nx * nx + ny * ny > (0.86 if size > 16 else 0.8):
                            c = (0, 0, 0)  # outline: holds up on light desktops
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
    args = sys.argv[1:]
    tables = args[:1] == ['--tables']
    if tables:
        args = args[1:]
    if len(args) != 1:
        sys.exit("usage: make_art.py [--tables] OUTDIR")
    outdir = args[0]
    os.makedirs(outdir, exist_ok=True)
    pal = build_palette()
    q = Quantizer(pal)
    if tables:
        files = {name: bmp8_bytes(PH_W, PH_W, pal, q.image(draw(), 6), len(pal))
                 for name, draw in TABLE_PICTURES.items()}
    else:
        ph_pal = SYS_LOW + pal + SYS_HIGH + [(0, 0, 0)]  # 257 entries by design

        def ph_rows(cv):
            return [[v + len(SYS_LOW) for v in row] for row in q.image(cv, 5)]
        files = {
            'bkgnd.bmp': bmp8_bytes(BK_W, BK_H, pal, background(pal), 236),
            'no_pb.bmp': bmp8_bytes(PH_W, PH_W, ph_pal, ph_rows(placeholder(
                PH_W, PH_W, (130, 144, 186), (255, 255, 255), (40, 50, 96), (12, 16, 36), no_pb_motif)), 257),
            'pb_oncd.bmp': bmp8_bytes(PH_W - 1, PH_W, ph_pal, ph_rows(placeholder(
                PH_W - 1, PH_W, (200, 140, 30), (255, 230, 120), (48, 28, 92), (12, 10, 36), oncd_motif)), 257),
            'shell.ico': ico_bytes([icon_image(32), icon_image(16), icon_image(48)]),
        }
    for name, data in files.items():
        with open(os.path.join(outdir, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
