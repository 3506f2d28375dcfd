#include "gfx/dib_corner.h"

#include <string.h>

namespace {

const BYTE endOfLine = 0;
const BYTE endOfBitmap = 1;
const BYTE delta = 2;
const LONG longestRun = 255;
/* Marks a canvas pixel that no index was written to. */
const WORD unwritten = 0x100;

LONG smaller(LONG a, LONG b)
{
    return a < b ? a : b;
}

DWORD paddedRowBytes(LONG width, WORD bitCount)
{
    return (DWORD)((width * bitCount + 31) & ~31) / 8;
}

/* The corner being decoded: one index per pixel, top row first. */
struct Canvas {
    WORD *pixels;
    LONG width, height;
};

/* Writes count pixels from (x, y) where they fall inside the canvas, pixel k taking the
   index indexOf(k); the rest are decoded and thrown away. Gives the x after them. */
template <typename IndexOf>
LONG paintPixels(const Canvas &canvas, LONG x, LONG y, LONG count, IndexOf indexOf)
{
    LONG shown = y < canvas.height ? smaller(count, canvas.width - x) : 0;
    for (LONG k = 0; k < shown; k++)
        canvas.pixels[y * canvas.width + x + k] = indexOf(k);
    return x + count;
}

void unpaint(const Canvas &canvas, LONG from, LONG to, LONG y)
{
    for (LONG x = from; y < canvas.height && x < smaller(to, canvas.width); x++)
        canvas.pixels[y * canvas.width + x] = unwritten;
}

/* Pixels follow each other in a row and are cut at its end. An escape keeps what was
   written since the one before; a stream that stops short without one loses it. */
void decodeRle(const Canvas &canvas, const BITMAPINFOHEADER &picture, const BYTE *stream)
{
    bool four = picture.biCompression == BI_RLE4;
    DWORD size = picture.biSizeImage, at = 0;
    LONG width = picture.biWidth, x = 0, kept = 0;
    LONG y = picture.biHeight - 1; // from the top: the stream starts at the bottom row
    while (at + 1 < size) {
        BYTE count = stream[at], value = stream[at + 1];
        at += 2;
        if (count != 0) {
            x = paintPixels(canvas, x, y, smaller(count, width - x), [&](LONG k) -> WORD {
                return four ? (k & 1 ? value & 0x0F : value >> 4) : value;
            });
            continue;
        }
        if (value > delta) {
            DWORD bytes = four ? (value + 1) / 2 : value;
            if (bytes > size - at)
                break;
            const BYTE *data = stream + at;
            x = paintPixels(canvas, x, y, smaller(value, width - x), [&](LONG k) -> WORD {
                return four ? (k & 1 ? data[k / 2] & 0x0F : data[k / 2] >> 4) : data[k];
            });
            at += (bytes + 1) & ~1UL;
            continue;
        }
        if (value == endOfBitmap)
            return;
        if (value == endOfLine) {
            x = 0;
            y--;
        } else {
            if (at + 1 >= size)
                return;
            x = smaller(x + stream[at], width);
            y -= stream[at + 1];
            at += 2;
        }
        if (y < 0)
            return;
        kept = x;
    }
    unpaint(canvas, kept, x, y);
}

/* Three bytes a pixel at most: a delta of four bytes and a run of two for every two. */
DWORD longestEncoding(LONG width, LONG height)
{
    return (DWORD)height * (3 * width + 2);
}

/* Writes the canvas as run-length data, bottom row first, that skips the unwritten pixels
   with deltas; gives its length. */
DWORD encodeRle(const Canvas &canvas, bool four, BYTE *out)
{
    DWORD at = 0;
    for (LONG y = canvas.height - 1; y >= 0; y--) {
        const WORD *row = canvas.pixels + y * canvas.width;
        LONG end = canvas.width;
        while (end > 0 && row[end - 1] == unwritten)
            end--;
        for (LONG x = 0, run; x < end; x += run) {
            WORD pixel = row[x];
            for (run = 1; run < longestRun && x + run < end && row[x + run] == pixel; run++)
                ;
            if (pixel == unwritten) {
                BYTE skip[] = {0, delta, (BYTE)run, 0};
                memcpy(out + at, skip, sizeof skip);
                at += sizeof skip;
            } else {
                out[at++] = (BYTE)run;
                out[at++] = (BYTE)(four ? pixel << 4 | pixel : pixel);
            }
        }
        out[at++] = 0;
        out[at++] = y == 0 ? endOfBitmap : endOfLine;
    }
    return at;
}

} // namespace

DibCorner uncompressedCorner(const BITMAPINFOHEADER &picture, LONG width, LONG height)
{
    bool topDown = picture.biHeight < 0;
    LONG pictureRows = topDown ? -picture.biHeight : picture.biHeight;
    LONG rows = smaller(pictureRows, height);
    DibCorner corner;
    corner.header = picture;
    corner.header.biWidth = smaller(picture.biWidth, width);
    corner.header.biHeight = topDown ? -rows : rows;
    corner.firstRow = topDown ? 0 : pictureRows - rows;
    corner.pictureStride = paddedRowBytes(picture.biWidth, picture.biBitCount);
    corner.stride = paddedRowBytes(corner.header.biWidth, picture.biBitCount);
    corner.rowBytes = (corner.header.biWidth * picture.biBitCount + 7) / 8;
    corner.header.biSizeImage = corner.stride * rows;
    return corner;
}

PackedDib rleCorner(const PackedDib &picture, LONG width, LONG height)
{
    PackedDib none = {};
    const BITMAPINFOHEADER &source = *picture.header;
    bool runLength = source.biCompression == BI_RLE8 || source.biCompression == BI_RLE4;
    if (!runLength || pixelAreaSize(source) == 0)
        return none;
    DWORD headerAndColours = source.biSize + colourAreaSize(source);
    if (headerAndColours < source.biSize || (unsigned long long)headerAndColours + source.biSizeImage > picture.size)
        return none;

    Canvas canvas = {NULL, smaller(source.biWidth, width), smaller(source.biHeight, height)};
    DWORD pixelCount = (DWORD)(canvas.width * canvas.height);
    canvas.pixels = (WORD *)GlobalAlloc(GMEM_FIXED, pixelCount * sizeof(WORD));
    PackedDib corner = newPackedDib(headerAndColours + longestEncoding(canvas.width, canvas.height));
    if (canvas.pixels != NULL && corner.header != NULL) {
        for (DWORD i = 0; i < pixelCount; i++)
            canvas.pixels[i] = unwritten;
        decodeRle(canvas, source, (const BYTE *)picture.header + headerAndColours);
        memcpy(corner.header, picture.header, headerAndColours);
        corner.header->biWidth = canvas.width;
        corner.header->biHeight = canvas.height;
        corner.header->biSizeImage = encodeRle(canvas, source.biCompression == BI_RLE4, (BYTE *)corner.header + headerAndColours);
        corner.size = headerAndColours + corner.header->biSizeImage;
    } else {
        releasePackedDib(corner);
    }
    if (canvas.pixels != NULL)
        GlobalFree(canvas.pixels);
    return corner;
}
