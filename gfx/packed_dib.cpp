#include "gfx/packed_dib.h"

namespace {

/* No table picture comes near these; they keep every size computation and every device
   bitmap within what a 32-bit process can hold. */
const LONG maxPictureSide = 16384;
const unsigned long long maxPicturePixels = 0x4000000;
const DWORD maxColourCount = 0x3FFFFFFF;

unsigned long long absoluteHeight(const BITMAPINFOHEADER &header)
{
    return header.biHeight < 0 ? 0ULL - (long long)header.biHeight : (unsigned long long)header.biHeight;
}

bool sensibleDimensions(const BITMAPINFOHEADER &header)
{
    unsigned long long height = absoluteHeight(header);
    return header.biWidth > 0 && height > 0 && header.biWidth <= maxPictureSide &&
           height <= (unsigned long long)maxPictureSide &&
           (unsigned long long)header.biWidth * height <= maxPicturePixels;
}

bool uncompressedDepth(WORD bitCount)
{
    return bitCount == 1 || bitCount == 2 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
           bitCount == 24 || bitCount == 32;
}

} // namespace

DWORD colourCount(const BITMAPINFOHEADER &header)
{
    if (header.biClrUsed != 0)
        return header.biClrUsed;
    return header.biBitCount <= 8 ? 1UL << header.biBitCount : 0;
}

DWORD colourAreaSize(const BITMAPINFOHEADER &header)
{
    if (header.biCompression == BI_BITFIELDS)
        return 3 * sizeof(DWORD);
    DWORD count = colourCount(header);
    return count > maxColourCount ? MAXDWORD : count * sizeof(RGBQUAD);
}

DWORD uncompressedImageSize(const BITMAPINFOHEADER &header)
{
    if (!sensibleDimensions(header))
        return 0;
    unsigned long long rowBits = (unsigned long long)header.biBitCount * header.biWidth;
    unsigned long long size = ((rowBits + 31) & ~31ULL) / 8 * absoluteHeight(header);
    return size > 0x7FFFFFFF ? 0 : (DWORD)size;
}

DWORD pixelAreaSize(const BITMAPINFOHEADER &header)
{
    if (!sensibleDimensions(header))
        return 0;
    switch (header.biCompression) {
    case BI_RGB:
        return uncompressedDepth(header.biBitCount) ? uncompressedImageSize(header) : 0;
    case BI_BITFIELDS:
        return header.biBitCount == 16 || header.biBitCount == 32 ? uncompressedImageSize(header) : 0;
    case BI_RLE8:
        // Run-length data is decoded bottom-up only, and reads at most biSizeImage bytes.
        return header.biBitCount == 8 && header.biHeight > 0 ? header.biSizeImage : 0;
    case BI_RLE4:
        return header.biBitCount == 4 && header.biHeight > 0 ? header.biSizeImage : 0;
    default:
        return 0;
    }
}

PackedDib newPackedDib(DWORD size)
{
    PackedDib dib = {};
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == NULL)
        return dib;
    BYTE *data = (BYTE *)GlobalLock(block);
    if (data == NULL) {
        GlobalFree(block);
        return dib;
    }
    dib = {(BITMAPINFOHEADER *)data, size, block, 1};
    return dib;
}

PackedDib findBitmapResource(HMODULE module, LPCSTR name)
{
    PackedDib dib = {};
    HRSRC found = FindResourceA(module, name, RT_BITMAP);
    if (found == NULL)
        return dib;
    HGLOBAL data = LoadResource(module, found);
    if (data == NULL)
        return dib;
    DWORD size = SizeofResource(module, found);
    BITMAPINFOHEADER *header = (BITMAPINFOHEADER *)LockResource(data);
    if (header == NULL || size < sizeof(BITMAPINFOHEADER))
        return dib;
    dib.header = header;
    dib.size = size;
    dib.memory = data;
    return dib;
}

void releasePackedDib(PackedDib &dib)
{
    if (dib.fromFile && dib.memory != NULL) {
        GlobalUnlock(dib.memory);
        GlobalFree(dib.memory);
    }
    dib = PackedDib();
}
