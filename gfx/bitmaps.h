#ifndef PINBALL_BITMAPS_H
#define PINBALL_BITMAPS_H

#include "gfx/packed_dib.h"

/* Device bitmaps made from DIBs with their colours given as RGB values, so that on a palette
   display the pixels are chosen under ShellPalette when realise is set and it exists. Each
   converts in the DC of `window` (the screen's for NULL) and returns NULL on failure; a bitmap
   returned belongs to the caller. */
HBITMAP loadResourceBitmap(HWND window, LPCSTR name, int realise);
/* Of a picture file, only the top-left 120 by 120 pixels that a picture window shows. */
HBITMAP loadPictureBitmap(HWND window, LPCSTR fileName, int realise);
/* Converts under `palette`, when given, selected into the DC and realised for the conversion;
   the DC's own palette is put back afterwards. */
HBITMAP dibToBitmap(const PackedDib &dib, HPALETTE palette, UINT usage, HWND window = NULL);

#endif
