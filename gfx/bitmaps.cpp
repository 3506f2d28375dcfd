#include "gfx/bitmaps.h"

#include "gfx/dib_file.h"
#include "gfx/shell_palette.h"
#include "shell/globals.h"

namespace {

/* A picture window blits only this top-left corner of its picture. */
const LONG shownPictureSide = 120;

/* CreateDIBitmap reads the header, colourAreaSize bytes of colours and pixelAreaSize bytes
   of bits; all of them must lie inside the DIB's memory. */
HBITMAP convertDib(HDC dc, const PackedDib &dib, UINT usage)
{
    const BITMAPINFOHEADER &header = *dib.header;
    unsigned long long bitsOffset = (unsigned long long)header.biSize + colourAreaSize(header);
    DWORD pixelBytes = pixelAreaSize(header);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || pixelBytes == 0 ||
        bitsOffset + pixelBytes > dib.size)
        return NULL;
    const BYTE *bits = (const BYTE *)dib.header + bitsOffset;
    return CreateDIBitmap(dc, &header, CBM_INIT, bits, (const BITMAPINFO *)&header, usage);
}

} // namespace

HBITMAP loadResourceBitmap(HWND window, LPCSTR name, int realise)
{
    PackedDib dib = findBitmapResource(appInstance, name);
    if (dib.header == NULL)
        return NULL;
    HBITMAP bitmap = dibToBitmap(dib, realise ? ShellPalette : NULL, DIB_RGB_COLORS, window);
    FreeResource(dib.memory);
    return bitmap;
}

HBITMAP loadPictureBitmap(HWND window, LPCSTR fileName, int realise)
{
    PackedDib dib = loadDibFile(fileName, shownPictureSide, shownPictureSide);
    if (dib.header == NULL)
        return NULL;
    HBITMAP bitmap = dibToBitmap(dib, realise ? ShellPalette : NULL, DIB_RGB_COLORS, window);
    releasePackedDib(dib);
    if (bitmap == NULL)
        lastPictureRefusal = pictureNotConverted;
    return bitmap;
}

HBITMAP dibToBitmap(const PackedDib &dib, HPALETTE palette, UINT usage, HWND window)
{
    if (dib.header == NULL)
        return NULL;
    HDC dc = GetDC(window);
    if (dc == NULL)
        return NULL;
    HPALETTE replaced = NULL;
    if (palette != NULL) {
        replaced = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    HBITMAP bitmap = convertDib(dc, dib, usage);
    if (palette != NULL && replaced != NULL)
        SelectPalette(dc, replaced, FALSE);
    ReleaseDC(window, dc);
    return bitmap;
}
