#ifndef PINBALL_FRAME_FLASH_H
#define PINBALL_FRAME_FLASH_H

#include <windows.h>

struct TableEntry;

/* The colour of the ring around each picture: black, grey while selected, and while selected
   with the focus on the background a new random colour every 25 ms. The ring's pixels change
   only through the two painting functions here, which lets a flash skip a paint that would
   change nothing. */

/* Waits until a message is there to be read, flashing the selected frame meanwhile while the
   background has the focus. The flash keeps time in this wait rather than with a window timer,
   whose WM_TIMER would cost the thread two more round trips to the window system at every
   tick. Each flash comes 25 ms after the one before it or later, by the clock it reads. Gives
   up after `limitMs` by that clock (INFINITE: never). */
void waitForMessageWhileFlashing(DWORD limitMs);

/* Paints the ring of `entry`'s frame in its colour now, a new one while it flashes. Drawing
   straight into the frame's own DC spares the update region and the WM_PAINT, round trips to
   the window system at every tick, and the making ready of a DC from the cache. A table
   without a frame has nothing painted: the DC of no window is the whole screen's. */
void flashFrame(const TableEntry *entry);

/* The frame's WM_PAINT: fills `area` of `frame` through its paint DC in `entry`'s colour. */
void paintFrameArea(HWND frame, HDC dc, const RECT *area, const TableEntry *entry);

#endif
