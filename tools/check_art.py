#!/usr/bin/env python3
"""Checks the generated art against the formats the shell loads.

Usage: python3 tools/check_art.py OUTDIR
       python3 tools/check_art.py --tables TABLEDIR OUTDIR
(exit status 1 on the first fault)
"""
import os
import struct
import sys


class Bad(Exception):
    pass


def need(cond, msg):
    if not cond:
        raise Bad(msg)


def check_bmp(path, w, h, clr_used, max_index):
    d = open(path, 'rb').read()
    name = os.path.basename(path)
    need(len(d) >= 54 and d[:2] == b'BM', f"{name}: not a BMP")
    bf_size, _, _, off = struct.unpack_from('<IHHI', d, 2)
    (bi_size, bw, bh, planes, bits, comp, size_image, xppm, yppm,
     used, important) = struct.unpack_from('<IiiHHIIiiII', d, 14)
    stride = (w + 3) & ~3
    got = (bi_size, bw, bh, planes, bits, comp, size_image, xppm, yppm, used, important)
    want = (40, w, h, 1, 8, 0, stride * h, 2835, 2835, clr_used, 0)
    need(got == want, f"{name}: header {got}, expected {want}")
    need(off == 54 + 4 * clr_used, f"{name}: bfOffBits {off}")
    need(bf_size == len(d) == off + stride * h, f"{name}: bfSize {bf_size}, file {len(d)}")
    pal = [d[54 + 4 * i:58 + 4 * i] for i in range(clr_used)]
    need(all(q[3] == 0 for q in pal), f"{name}: RGBQUAD reserved byte set")
    used_idx = set()
    for y in range(h):
        row = d[off + y * stride:off + (y + 1) * stride]
        used_idx.update(row[:w])
        need(not any(row[w:]), f"{name}: row {y} padding not zero")
    need(max(used_idx) <= max_index, f"{name}: pixel index {max(used_idx)} > {max_index}")
    return pal, used_idx, d, off, stride


def check_background(path):
    pal, used, *_ = check_bmp(path, 580, 388, 236, 235)
    need(len(set(pal)) == 236, "bkgnd.bmp: palette entries are not all distinct")
    need(len(used) == 236, f"bkgnd.bmp: {len(used)} of 236 palette entries used")


def check_placeholder(path, w):
    pal, _, d, off, stride = check_bmp(path, w, 120, 257, 255)
    # the table name is drawn in white over the middle: it must stay dark
    lum = []
    for y in range(10, 110):
        row = off + (119 - y) * stride  # bottom-up
        for x in range(10, 110):
            b, g, r, _ = pal[d[row + x]]
            lum.append(0.3 * r + 0.59 * g + 0.11 * b)
    mean = sum(lum) / len(lum)
    need(mean < 90 and max(lum) < 140,
         f"{os.path.basename(path)}: centre too bright for white text "
         f"(mean {mean:.0f}, max {max(lum):.0f})")


def check_table_picture(path, background):
    """A demo table's picture must use the background's colours, in its order,
    to show true on the 8-bit display whose palette the background sets."""
    pal, used, *_ = check_bmp(path, 120, 120, 236, 235)
    need(pal == background, f"{os.path.basename(path)}: colours differ from bkgnd.bmp")
    need(len(used) > 40, f"{os.path.basename(path)}: only {len(used)} colours used")


def check_icon(path):
    d = open(path, 'rb').read()
    need(struct.unpack_from('<HHH', d, 0) == (0, 1, 3), "shell.ico: ICONDIR must hold 3 icons")
    for k, size in enumerate((32, 16, 48)):
        bw, bh, colours, res, planes, bits, nbytes, off = struct.unpack_from('<BBBBHHII', d, 6 + 16 * k)
        tag = f"shell.ico image {k}"
        need((bw, bh, colours, res, planes, bits) == (size, size, 16, 0, 1, 4),
             f"{tag}: entry {(bw, bh, colours, res, planes, bits)}, expected {size}x{size} 4bpp")
        xs, ms = ((size * 4 + 31) // 32) * 4, ((size + 31) // 32) * 4
        need(nbytes == 40 + 64 + (xs + ms) * size and off + nbytes <= len(d),
             f"{tag}: dwBytesInRes {nbytes} / offset {off} do not fit")
        hdr = struct.unpack_from('<IiiHHIIiiII', d, off)
        need(hdr[:7] == (40, size, 2 * size, 1, 4, 0, (xs + ms) * size) and hdr[9] in (0, 16),
             f"{tag}: BITMAPINFOHEADER {hdr}")
        xor, andm = off + 104, off + 104 + xs * size
        clear = solid = 0
        for y in range(size):
            for x in range(size):
                if d[andm + y * ms + x // 8] >> (7 - x % 8) & 1:
                    clear += 1
                    # transparent pixels must be black or they XOR the desktop
                    nib = d[xor + y * xs + x // 2] >> (0 if x % 2 else 4) & 15
                    need(nib == 0, f"{tag}: transparent pixel ({x},{y}) not black")
                else:
                    solid += 1
        need(clear and solid, f"{tag}: mask is all {'clear' if clear else 'solid'}")


def main():
    args = sys.argv[1:]
    if len(args) == 3 and args[0] == '--tables':
        tables, out = args[1], args[2]
    elif len(args) == 1:
        tables, out = None, args[0]
    else:
        sys.exit("usage: check_art.py [--tables TABLEDIR] OUTDIR")
    try:
        if tables:
            background, *_ = check_bmp(os.path.join(out, 'bkgnd.bmp'), 580, 388, 236, 235)
            for name in sorted(os.listdir(tables)):
                if name.endswith('.bmp'):
                    check_table_picture(os.path.join(tables, name), background)
        else:
            check_background(os.path.join(out, 'bkgnd.bmp'))
            check_placeholder(os.path.join(out, 'no_pb.bmp'), 120)
            check_placeholder(os.path.join(out, 'pb_oncd.bmp'), 119)
            check_icon(os.path.join(out, 'shell.ico'))
    except (Bad, OSError, struct.error) as e:
        sys.exit(f"check_art: {e}")
    print("check_art: art OK")


if __name__ == '__main__':
    main()
