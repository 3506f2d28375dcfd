#ifndef PINBALL_BACKGROUND_WINDOW_H
#define PINBALL_BACKGROUND_WINDOW_H

#include <windows.h>

/* The background picture, NULL while absent, and whether the background has the focus. */
extern HBITMAP backgroundBitmap;
extern HDC backgroundDC;
extern int backgroundHasFocus;

/* (Re)loads the background picture for `window` under the realised shell palette. */
void loadBackgroundPicture(HWND window);

/* Waits until a message is there to be read, flashing the selected frame every 25 ms meanwhile
   while the background has the focus. The flash keeps time in this wait rather than with a
   window timer, whose WM_TIMER would cost the thread two more round trips to the window system
   at every tick. */
void waitForMessage(void);

/* Draws the background and holds the keyboard selection. */
LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
