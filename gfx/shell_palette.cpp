#include "gfx/shell_palette.h"

#include "gfx/packed_dib.h"
#include "shell/globals.h"

HPALETTE ShellPalette = NULL;

namespace {

const int paletteSize = 256;
const int firstShellEntry = 10;
const int shellEntryCount = 236;

HPALETTE createBlackPalette()
{
    struct {
        WORD palVersion;
        WORD palNumEntries;
        PALETTEENTRY entries[paletteSize];
    } black = {0x300, paletteSize, {}};
    return CreatePalette((LOGPALETTE *)&black);
}

/* The background's first colours with PC_NOCOLLAPSE, so that realising keeps each one. */
void fillShellEntries(const PackedDib &background, DWORD colours)
{
    PALETTEENTRY entries[shellEntryCount];
    const RGBQUAD *table = (const RGBQUAD *)((const BYTE *)background.header + sizeof(BITMAPINFOHEADER));
    for (DWORD i = 0; i < shellEntryCount; i++) {
        RGBQUAD colour = i < colours ? table[i] : RGBQUAD();
        entries[i] = {colour.rgbRed, colour.rgbGreen, colour.rgbBlue, PC_NOCOLLAPSE};
    }
    SetPaletteEntries(ShellPalette, firstShellEntry, shellEntryCount, entries);
}

/* A deeper picture has more colours than a palette can hold. */
DWORD backgroundColours(const BITMAPINFOHEADER &header)
{
    return header.biClrUsed == 0 && header.biBitCount > 8 ? paletteSize + 1 : colourCount(header);
}

} // namespace

int buildShellPalette(HWND window)
{
    deleteShellPalette();
    ShellPalette = createBlackPalette();
    PackedDib background = findBitmapResource(appInstance, "bkgnd_bmp");
    if (background.header == NULL)
        return 1;
    DWORD colours = backgroundColours(*background.header);
    DWORD tableBytes = sizeof(BITMAPINFOHEADER) + (colours < shellEntryCount ? colours : shellEntryCount) * sizeof(RGBQUAD);
    if (ShellPalette != NULL && colours <= paletteSize && tableBytes <= background.size) {
        fillShellEntries(background, colours);
        HDC dc = GetDC(window);
        if (dc != NULL) {
            realizeShellPalette(dc);
            ReleaseDC(window, dc);
        }
    }
    FreeResource(background.memory);
    return 1;
}

void deleteShellPalette()
{
    if (ShellPalette == NULL)
        return;
    DeleteObject(ShellPalette);
    ShellPalette = NULL;
}

void realizeShellPalette(HDC dc)
{
    if (ShellPalette != NULL)
        SelectPalette(dc, ShellPalette, FALSE);
    RealizePalette(dc);
}
