#ifndef PINBALL_TEST_STEPPED_CLOCK_H
#define PINBALL_TEST_STEPPED_CLOCK_H

#include <windows.h>

// A tick clock that stands still until the test moves it, linked in place of the shell's.

void setSteppedClock(DWORD now);
void advanceSteppedClock(DWORD ms);

#endif
