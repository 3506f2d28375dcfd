#ifndef PINBALL_DISPLAY_DEPTH_H
#define PINBALL_DISPLAY_DEPTH_H

/* The one place that asks the display for its colour depth, so that a test can link a display
   of its own in place of this module. */

/* 1 and the bits per pixel of one plane of the screen; 0 when the screen cannot be asked. */
int readDisplayDepth(int *bitsPerPixel);

#endif
