#ifndef PINBALL_TEST_OTHER_PALETTE_H
#define PINBALL_TEST_OTHER_PALETTE_H

#include <windows.h>

// Fills the system palette of a palette display with 236 colours of no background, as another
// program's palette would, through a DC of `window`.
void realiseOtherColours(HWND window);

#endif
