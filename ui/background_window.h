#ifndef PINBALL_BACKGROUND_WINDOW_H
#define PINBALL_BACKGROUND_WINDOW_H

#include <windows.h>

/* The background picture, NULL while absent, and whether the background has the focus. */
extern HBITMAP backgroundBitmap;
extern HDC backgroundDC;
extern int backgroundHasFocus;

/* (Re)loads the background picture for `window` under the realised shell palette. */
void loadBackgroundPicture(HWND window);

/* Draws the background and holds the keyboard selection. */
LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
