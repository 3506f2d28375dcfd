#ifndef PINBALL_DIB_FILE_H
#define PINBALL_DIB_FILE_H

#include "gfx/packed_dib.h"

/* Reads a bitmap file into one movable block with a normalised 40-byte header. A name that
   no file answers to is looked up as a bitmap resource of the running module. None for a
   file that is not a picture that can be converted safely; the file is always closed. */
PackedDib loadDibFile(LPCSTR name);

/* Reads the optional file header, the info header and the colour area from the file's
   current position into a new block, and leaves the file at the pixel bits. The header's
   biSizeImage then counts exactly the pixel bytes that the file holds for the picture. */
PackedDib readDibHeader(HFILE file);

#endif
