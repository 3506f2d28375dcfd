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
    HDC dc = GetDC(window);
    HBITMAP bitmap = NULL;
    if (dc != NULL) {
        if (ShellPalette != NULL && realise)
            realizeShellPalette(dc);
        bitmap = convertDib(dc, dib, DIB_RGB_COLORS);
    }
    FreeResource(dib.memory);
    if (dc != NULL)
        ReleaseDC(window, dc);
    return bitmap;
}

HBITMAP loadPictureBitmap(HWND window, LPCSTR fileName, int realise)
{
    PackedDib dib = loadDibFile(fileName, shownPictureSide, shownPictureSide);
    if (dib.header == NULL)
        return NULL;
    if (ShellPalette != NULL && realise) {
        HDC dc = GetDC(window);
        if (dc != NULL) {
            realizeShellPalette(dc);
            ReleaseDC(window, dc);
        }
    }
    HBITMAP bitmap = dibToBitmap(dib, ShellPalette, DIB_RGB_COLORS);
    releasePackedDib(dib);
    return bitmap;
}

HBITMAP dibToBitmap(const PackedDib &dib, HPALETTE palette, UINT usage)
{
    if (dib.header == NULL)
        return NULL;
    HDC screen = GetDC(NULL);
    if (screen == NULL)
        return NULL;
    HPALETTE replaced = NULL;
    if (palette != NULL) {
        replaced = SelectPalette(screen, palette, FALSE);
        RealizePalette(screen);
    }
    HBITMAP bitmap = convertDib(screen, dib, usage);
    if (palette != NULL && replaced != NULL)
        SelectPalette(screen, replaced, FALSE);
    ReleaseDC(NULL, screen);
    return bitmap;
}
