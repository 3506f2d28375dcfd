#ifndef PINBALL_PACKED_DIB_H
#define PINBALL_PACKED_DIB_H

#include <windows.h>

/* A DIB in one block: a BITMAPINFOHEADER, its colour area, then the pixel bits. Either a
   movable global block read from a file (owned by whoever loaded it) or a bitmap resource's
   own read-only data (owned by the module). header is NULL for none. */
struct PackedDib {
    BITMAPINFOHEADER *header;
    DWORD size;
    HGLOBAL memory;
    int fromFile;
};

/* Colour-table entries the header announces: biClrUsed, else 2 to the power biBitCount up
   to 8 bits per pixel, else 0. */
DWORD colourCount(const BITMAPINFOHEADER &header);

/* Bytes between the header and the pixel bits: three masks for BI_BITFIELDS, otherwise
   the colour table. */
DWORD colourAreaSize(const BITMAPINFOHEADER &header);

/* Bytes that a conversion reads from the pixel bits, or 0 when the header does not describe
   a picture that can be converted safely (bad sizes, depth or compression). */
DWORD pixelAreaSize(const BITMAPINFOHEADER &header);

/* Rows padded to 32 bits, times the number of rows; 0 when absurd or overflowing. */
DWORD uncompressedImageSize(const BITMAPINFOHEADER &header);

/* A new movable block of size bytes, locked, owned by the caller; none when it cannot be had. */
PackedDib newPackedDib(DWORD size);

/* The bitmap resource of that name in module, locked, or none. */
PackedDib findBitmapResource(HMODULE module, LPCSTR name);

/* Frees a block read from a file; a resource is left to its module. */
void releasePackedDib(PackedDib &dib);

#endif
