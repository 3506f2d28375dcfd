#!/usr/bin/env python3
"""The generated logo.avi: the generator gives the same bytes on every run, and the file is
a well-formed AVI whose headers agree with its frames.

Usage: logo_movie_file_test.py GENERATOR BUILT_MOVIE
"""
import os
import struct
import subprocess
import sys
import tempfile

WIDTH, HEIGHT, FRAMES, FPS = 320, 240, 48, 16


def fail(message):
    sys.exit("logo.avi: " + message)


def chunks(data, start, end):
    """(fourcc, payload start, size) of each chunk between start and end."""
    at = start
    while at < end:
        if at + 8 > end:
            fail(f"chunk header cut at {at}")
        fourcc, size = data[at:at + 4], struct.unpack_from('<I', data, at + 4)[0]
        if at + 8 + size > end:
            fail(f"{fourcc} of {size} bytes runs past its list")
        yield fourcc, at + 8, size
        at += 8 + size + (size & 1)


def rle8_pixels(data):
    """Pixels that a BI_RLE8 frame paints, and whether it ends with the end of bitmap."""
    at, x, y, painted = 0, 0, 0, 0
    while at + 1 < len(data):
        count, value = data[at], data[at + 1]
        at += 2
        if count:
            x += count
            painted += count
        elif value == 0:
            if x != WIDTH:
                fail(f"row {y} has {x} pixels")
            x, y = 0, y + 1
        elif value == 1:
            if x != WIDTH or y != HEIGHT - 1:
                fail(f"end of bitmap at row {y}, column {x}")
            return painted, at == len(data)
        elif value == 2:
            fail("delta escape in a key frame")
        else:
            x += value
            painted += value
            at += value + (value & 1)
        if x > WIDTH:
            fail(f"row {y} runs past the width")
    fail("no end of bitmap")


def check(data):
    if data[:4] != b'RIFF' or data[8:12] != b'AVI ':
        fail("not a RIFF AVI")
    if struct.unpack_from('<I', data, 4)[0] != len(data) - 8:
        fail("RIFF size differs from the file's")
    top = {}
    for fourcc, start, size in chunks(data, 12, len(data)):
        key = fourcc if fourcc != b'LIST' else data[start:start + 4]
        top[key] = (start, size)
    for need in (b'hdrl', b'movi', b'idx1'):
        if need not in top:
            fail(f"no {need.decode()}")
    start, size = top[b'hdrl']
    hdrl = {f: (s, n) for f, s, n in chunks(data, start + 4, start + size)}
    s, _ = hdrl[b'avih']
    avih = struct.unpack_from('<14I', data, s)
    if (avih[0], avih[4], avih[6], avih[8], avih[9]) != (1000000 // FPS, FRAMES, 1, WIDTH, HEIGHT):
        fail(f"main header {avih}")
    s, n = hdrl[b'LIST']
    strl = {f: (a, b) for f, a, b in chunks(data, s + 4, s + n)}
    a, _ = strl[b'strh']
    fcc, handler, _, _, _, _, scale, rate, _, length = struct.unpack_from('<4s4sIHHIIIII', data, a)
    if (fcc, scale, rate, length) != (b'vids', 1, FPS, FRAMES):
        fail(f"stream header {fcc} {scale}/{rate} {length} frames")
    a, _ = strl[b'strf']
    size_, w, h, planes, bits, compression = struct.unpack_from('<IiiHHI', data, a)
    if (size_, w, h, planes, bits, compression) != (40, WIDTH, HEIGHT, 1, 8, 1):
        fail("format is not a 320x240 BI_RLE8 DIB")
    movi_start, movi_size = top[b'movi']
    frames = list(chunks(data, movi_start + 4, movi_start + movi_size))
    if len(frames) != FRAMES or any(f != b'00dc' for f, _, _ in frames):
        fail(f"{len(frames)} frame chunks")
    start, size = top[b'idx1']
    if size != 16 * FRAMES:
        fail(f"index of {size} bytes")
    for k, (_, payload, length) in enumerate(frames):
        ckid, flags, offset, ck_size = struct.unpack_from('<4sIII', data, start + 16 * k)
        # offsets count from the 'movi' word of the list
        if (ckid, flags, movi_start + offset + 8, ck_size) != (b'00dc', 0x10, payload, length):
            fail(f"index entry {k} does not point at frame {k}")
        painted, whole = rle8_pixels(data[payload:payload + length])
        if painted != WIDTH * HEIGHT or not whole:
            fail(f"frame {k} paints {painted} pixels")


def main():
    generator, built = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as scratch:
        again = os.path.join(scratch, 'logo.avi')
        subprocess.run([sys.executable, generator, again], check=True)
        with open(built, 'rb') as f:
            first = f.read()
        with open(again, 'rb') as f:
            if f.read() != first:
                fail("a second run of the generator gave other bytes")
    check(first)
    print(f"logo.avi: {len(first)} bytes, {FRAMES} frames of {WIDTH}x{HEIGHT}")


if __name__ == '__main__':
    main()
