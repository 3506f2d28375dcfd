#ifndef PINBALL_TICK_CLOCK_H
#define PINBALL_TICK_CLOCK_H

#include <windows.h>

/* The one place that the flash and a held controller's repeat read the time, so that a test
   can link a clock of its own in place of this module: Wine's tick count advances every
   millisecond, Windows' in steps of 15.6 ms, and the flash must keep its pace on both. */

/* Milliseconds since the system started, as GetTickCount counts them. */
DWORD readTickClock(void);

#endif
