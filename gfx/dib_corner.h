#ifndef PINBALL_DIB_CORNER_H
#define PINBALL_DIB_CORNER_H

#include "gfx/packed_dib.h"

/* The top-left corner, at most width by height pixels, of an uncompressed picture: the
   picture's format, colour area and row order, its rows cut short. Bottom-up rows store the
   top of the picture last, so the corner then takes the picture's last rows. */
struct DibCorner {
    BITMAPINFOHEADER header;
    LONG firstRow;        // the picture's stored row that becomes the corner's first
    DWORD pictureStride;  // padded row lengths of the picture and of the corner
    DWORD stride;
    DWORD rowBytes;       // bytes of each picture row that the corner keeps
};
DibCorner uncompressedCorner(const BITMAPINFOHEADER &picture, LONG width, LONG height);

/* The top-left corner, at most width by height pixels, of a run-length picture in a new
   block: decoded, then encoded again with the picture's colour table. The pixels that the
   picture's data never writes are skipped in the corner's data too, so that a conversion
   leaves them as the whole picture's conversion does. None when no block can be had or the
   picture's stated parts do not lie inside it. */
PackedDib rleCorner(const PackedDib &picture, LONG width, LONG height);

#endif
