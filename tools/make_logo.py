#!/usr/bin/env python3
"""Makes the intro movie logo.avi: a chrome ball rolls in along a neon tube
and switches the title on behind it, a glint runs over the lit letters, and
the finished logo holds for a moment.

Usage: python3 tools/make_logo.py OUTFILE

It is painted with the background art's palette and drawing code, from
fixed seeds, so a rebuild yields the same bytes. The frames are 8-bit RLE
(BI_RLE8) DIBs, which the system's own AVI player decodes without extra
codecs, and the dark ground packs into long runs.
"""
import math
import random
import struct
import sys

import make_art
from make_art import Canvas, Quantizer, clamp, mix, smooth

W, H = 320, 240
FPS = 16               # a whole number of microseconds per frame
FRAMES = 48            # three seconds
FADE_FRAMES = 8
ROLL_FIRST, ROLL_LAST = 5, 29
GLINT_FIRST, GLINT_LAST = 28, 41
TITLE_Y, TITLE_CELL = 100, 3
TUBE_Y, TUBE_X0, TUBE_X1 = 128, 22, W - 22
BALL_R = 7
BALL_Y = TUBE_Y - BALL_R - 2
BAND = (0, TITLE_Y - 26, W, TUBE_Y + 14)   # x0, y0, x1, y1: everything that moves


def base_picture():
    """The background art's ground and stars, at the movie's size."""
    cv = Canvas(W, H)
    cv.fill(lambda x, y: make_art.bk_base(x, y, W, H))
    make_art.starfield(cv, random.Random(4417), 420)
    return cv


def lit_picture(base):
    """The finished logo: title and neon tube lit over the ground."""
    cv = copy_of(base)
    glow, tubes = Canvas(W, H), Canvas(W, H)
    tube = [(x, TUBE_Y) for x in range(TUBE_X0, TUBE_X1 + 1, 12)]
    make_art.neon(tubes, glow, tube, 1.6,
                  lambda t: mix((255, 40, 190), (40, 220, 255), t))
    glow.blur(3)
    cv.add_canvas(glow, 1.0)
    cv.add_canvas(tubes, 1.0)
    make_art.title(cv, "Vantrel! 2 Demo", TITLE_Y, TITLE_CELL)
    return cv


def ball_x(f):
    """Where the ball is while it rolls, from off the left edge to off the right."""
    t = (f - ROLL_FIRST) / (ROLL_LAST - ROLL_FIRST)
    return -2 * BALL_R + t * (W + 4 * BALL_R)


def glint(x, y, f):
    """A diagonal band of extra light that sweeps over the lit letters."""
    if not GLINT_FIRST <= f <= GLINT_LAST:
        return 0.0
    centre = -40 + (f - GLINT_FIRST) / (GLINT_LAST - GLINT_FIRST) * (W + 80)
    d = abs(x + (y - TITLE_Y) * 0.6 - centre)
    return 1.2 * smooth(18, 0, d)


def lifts(base, lit):
    """The pixels that the lit logo brightens, with how much light each gains."""
    x0, y0, x1, y1 = BAND
    out = []
    for y in range(y0, y1):
        for x in range(x0, x1):
            i = y * W + x
            d = (max(0.0, lit.r[i] - base.r[i]), max(0.0, lit.g[i] - base.g[i]),
                 max(0.0, lit.b[i] - base.b[i]))
            if any(d):
                out.append((x, y, i) + d)
    return out


def light_up(cv, lifted, f):
    """The title and tube lit up to the ball, with an ignition flare just behind
    it, and the glint; gives the pixels that changed."""
    edge = ball_x(f) if f <= ROLL_LAST else W * 2
    changed = []
    for x, y, i, dr, dg, db in lifted:
        on = clamp((edge - x) / 10)
        if on <= 0:
            continue
        gain = on * (1 + glint(x, y, f))
        if f <= ROLL_LAST:
            gain += 0.6 * smooth(24, 0, edge - x)
        cv.r[i] = min(255.0, cv.r[i] + dr * gain)
        cv.g[i] = min(255.0, cv.g[i] + dg * gain)
        cv.b[i] = min(255.0, cv.b[i] + db * gain)
        changed.append((x, y))
    return changed


def rolling_ball(cv, x):
    """The ball with a short comet tail of light behind it; gives the box it
    painted."""
    for k in range(1, 10):
        tx, fade = x - k * 4, (1 - k / 10) ** 2
        r = BALL_R * (1 - k / 14)
        for py in range(int(BALL_Y - r) - 1, int(BALL_Y + r) + 2):
            for px in range(int(tx - r) - 1, int(tx + r) + 2):
                a = fade * clamp(r - math.hypot(px + 0.5 - tx, py + 0.5 - BALL_Y))
                cv.add(px, py, (120, 190, 255), 0.5 * a)
    make_art.ball(cv, x, BALL_Y, BALL_R)
    return (max(0, int(x) - 48), int(BALL_Y - BALL_R) - 2,
            min(W, int(x) + BALL_R + 3), int(BALL_Y + BALL_R) + 3)


def copy_of(base, k=1.0):
    cv = Canvas(W, H)
    cv.r, cv.g, cv.b = [v * k for v in base.r], [v * k for v in base.g], [v * k for v in base.b]
    return cv


def frames(pal):
    q = Quantizer(pal)
    offset = len(make_art.SYS_LOW)

    def index(cv, x, y):
        # undithered: flat colours keep the runs long
        i = y * W + x
        return q.nearest(cv.r[i], cv.g[i], cv.b[i]) + offset

    base = base_picture()
    lifted = lifts(base, lit_picture(base))
    ground = [[index(base, x, y) for x in range(W)] for y in range(H)]
    out = []
    for f in range(FRAMES):
        if f < FADE_FRAMES:
            cv = copy_of(base, smooth(0, FADE_FRAMES, f + 1))
            out.append([[index(cv, x, y) for x in range(W)] for y in range(H)])
            continue
        cv = copy_of(base)
        rows = [row[:] for row in ground]
        changed = light_up(cv, lifted, f)
        if f <= ROLL_LAST:
            x0, y0, x1, y1 = rolling_ball(cv, ball_x(f))
            changed += [(x, y) for y in range(y0, y1) for x in range(x0, x1)]
        for x, y in changed:
            rows[y][x] = index(cv, x, y)
        out.append(rows)
    return out


# ---------------------------------------------------------------- writers ----

def rle8(rows):
    """BI_RLE8, bottom-up: runs of two or more as (count, index), other stretches
    in absolute mode (at least three pixels, padded to a word)."""
    out = bytearray()
    for row in reversed(rows):
        i, n = 0, len(row)
        while i < n:
            j = i
            while j < n and j - i < 255 and row[j] == row[i]:
                j += 1
            if j - i >= 2:
                out += bytes((j - i, row[i]))
                i = j
                continue
            k = i  # a literal stretch ends where a run of three starts
            while k < n and k - i < 255 and not (k + 2 < n and row[k] == row[k + 1] == row[k + 2]):
                k += 1
            if k - i < 3:
                out += b''.join(bytes((1, v)) for v in row[i:k])
            else:
                out += bytes((0, k - i)) + bytes(row[i:k]) + bytes((k - i) & 1)
            i = k
        out += b'\0\0'
    out[-2:] = b'\0\1'  # the last end of line becomes the end of the bitmap
    return bytes(out)


def chunk(fourcc, data):
    return fourcc + struct.pack('<I', len(data)) + data + bytes(len(data) & 1)


def riff_list(kind, body):
    return chunk(b'LIST', kind + body)


def avi_bytes(pal, frame_rows):
    encoded = [rle8(rows) for rows in frame_rows]
    n, biggest = len(encoded), max(len(e) for e in encoded)
    AVIF_HASINDEX, AVIIF_KEYFRAME = 0x10, 0x10
    avih = struct.pack('<14I', 1000000 // FPS, biggest * FPS, 0, AVIF_HASINDEX, n, 0, 1,
                       biggest, W, H, 0, 0, 0, 0)
    strh = struct.pack('<4s4sIHHIIIIIIIIhhhh', b'vids', b'mrle', 0, 0, 0, 0, 1, FPS, 0, n,
                       biggest, 0xFFFFFFFF, 0, 0, 0, W, H)
    BI_RLE8 = 1
    strf = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 8, BI_RLE8, biggest, 0, 0, len(pal), 0)
    strf += b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in pal)
    hdrl = riff_list(b'hdrl', chunk(b'avih', avih) +
                     riff_list(b'strl', chunk(b'strh', strh) + chunk(b'strf', strf)))
    movi, index = b'', b''
    for e in encoded:
        # offsets count from the 'movi' word of the list
        index += struct.pack('<4sIII', b'00dc', AVIIF_KEYFRAME, 4 + len(movi), len(e))
        movi += chunk(b'00dc', e)
    return chunk(b'RIFF', b'AVI ' + hdrl + riff_list(b'movi', movi) + chunk(b'idx1', index))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_logo.py OUTFILE")
    # the system's twenty colours stay where a palette device keeps them
    art = make_art.build_palette()
    data = avi_bytes(make_art.SYS_LOW + art + make_art.SYS_HIGH, frames(art))
    with open(sys.argv[1], 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
