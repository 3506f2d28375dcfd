#include "tests/support/other_palette.h"

void realiseOtherColours(HWND window)
{
    struct {
        WORD palVersion;
        WORD palNumEntries;
        PALETTEENTRY entries[236];
    } other = {0x300, 236, {}};
    for (int i = 0; i < 236; i++)
        other.entries[i] = {(BYTE)i, (BYTE)(255 - i), (BYTE)(i * 7 + 3), PC_NOCOLLAPSE};
    HPALETTE palette = CreatePalette((LOGPALETTE *)&other);
    HDC dc = GetDC(window);
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    SelectPalette(dc, previous, FALSE);
    ReleaseDC(window, dc);
    DeleteObject(palette);
}
