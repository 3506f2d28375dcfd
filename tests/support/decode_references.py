#!/usr/bin/env python3
"""Decodes the reference renderings of a bitmap corpus into raw pictures for the tests.

Usage: python3 decode_references.py REFERENCE_DIR OUTDIR

Each NAME.png becomes OUTDIR/NAME.rgb: width and height as two little-endian 32-bit
integers, then the pixels top-down as red, green, blue bytes. Alpha is dropped; 16-bit
samples keep their high byte. Only non-interlaced PNGs occur in the corpus.
"""
import os
import struct
import sys
import zlib

CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunks(data):
    pos = 8
    while pos < len(data):
        length, kind = struct.unpack_from('>I4s', data, pos)
        yield kind, data[pos + 8:pos + 8 + length]
        pos += 12 + length


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(raw, height, stride, step):
    rows, prev, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up, corner = prev[i], prev[i - step] if i >= step else 0
            pred = (0, left, up, (left + up) // 2, paeth(left, up, corner))[kind]
            line[i] = (line[i] + pred) & 0xFF
        rows.append(line)
        prev = line
    return rows


def samples(line, depth, count):
    if depth == 8:
        return list(line[:count])
    if depth == 16:
        return [line[i * 2] for i in range(count)]
    per_byte, mask = 8 // depth, (1 << depth) - 1
    return [(line[i // per_byte] >> (8 - depth * (i % per_byte + 1))) & mask for i in range(count)]


def decode(data):
    width = height = depth = colour = 0
    palette, idat = [], b''
    for kind, body in chunks(data):
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            if interlace:
                raise ValueError('interlaced PNG')
        elif kind == b'PLTE':
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b'IDAT':
            idat += body
    channels = CHANNELS[colour]
    stride = (width * channels * depth + 7) // 8
    step = max(1, channels * depth // 8)
    out = bytearray(struct.pack('<II', width, height))
    for line in unfilter(zlib.decompress(idat), height, stride, step):
        values = samples(line, depth, width * channels)
        for x in range(width):
            px = values[x * channels:(x + 1) * channels]
            if colour == 3:
                out += bytes(palette[px[0]])
            elif colour in (0, 4):
                grey = px[0] * 255 // ((1 << min(depth, 8)) - 1)
                out += bytes((grey, grey, grey))
            else:
                out += bytes(px[:3])
    return bytes(out)


def main():
    source, target = sys.argv[1], sys.argv[2]
    os.makedirs(target, exist_ok=True)
    for name in sorted(os.listdir(source)):
        if name.endswith('.png'):
            with open(os.path.join(source, name), 'rb') as f:
                picture = decode(f.read())
            with open(os.path.join(target, name[:-4] + '.rgb'), 'wb') as f:
                f.write(picture)


if __name__ == '__main__':
    main()
