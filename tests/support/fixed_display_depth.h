#ifndef PINBALL_TEST_FIXED_DISPLAY_DEPTH_H
#define PINBALL_TEST_FIXED_DISPLAY_DEPTH_H

// A test build of the display-depth query, linked instead of the real one: the display has the
// depth set here (8 bits per pixel until a test sets another), since the test display offers
// none below 8.
const int unknownDisplayDepth = -1;
// Sets the depth that the shell reads; unknownDisplayDepth for a screen that cannot be asked.
void setDisplayDepth(int bitsPerPixel);

#endif
