#ifndef PINBALL_DIB_FILE_H
#define PINBALL_DIB_FILE_H

#include "gfx/packed_dib.h"

/* Reads the top-left corner, at most width by height pixels, of the picture in a bitmap file
   into one movable block with a normalised 40-byte header; of an uncompressed picture only
   that part of it is read, run-length data is decoded (see rleCorner). A name that no file
   answers to is looked up as a bitmap resource of the running module, which is fixed art and
   comes whole. None for a file that is not a picture that can be converted safely; the file
   is always closed. */
PackedDib loadDibFile(LPCSTR name, LONG width, LONG height);

/* Reads the optional file header, the info header and the colour area from the file's
   current position into a new block, and leaves the file at the pixel bits. The header's
   biSizeImage then counts exactly the pixel bytes that the file holds for the picture, and
   its colour area is whole, black past where the file's bits cut the colour table short. */
PackedDib readDibHeader(HFILE file);

#endif
