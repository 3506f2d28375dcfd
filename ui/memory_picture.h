#ifndef PINBALL_MEMORY_PICTURE_H
#define PINBALL_MEMORY_PICTURE_H

#include <windows.h>

/* A picture that a window draws: a device bitmap selected into a memory DC. */

/* A memory DC compatible with `like` holding `bitmap`; NULL when none could be made. */
HDC selectIntoMemoryDC(HBITMAP bitmap, HDC like);

/* Deletes the DC before the bitmap it holds; both are NULL afterwards. */
void releaseMemoryPicture(HDC *pictureDC, HBITMAP *bitmap);

/* Makes the picture `scale` times its size, each pixel a block of scale by scale pixels of its
   colour; at scale 1, or when the larger copy cannot be made, the picture stays as it was. */
void enlargeMemoryPicture(HDC *pictureDC, HBITMAP *bitmap, int scale);

/* Draws the top-left designWidth by designHeight pixels of the picture over width by height
   pixels of dc. Where the bitmap is smaller than that, the area it does not reach is filled
   with black instead of being read from outside the bitmap. */
void paintMemoryPicture(HDC dc, int width, int height, HDC pictureDC, HBITMAP bitmap,
                        int designWidth, int designHeight);

#endif
