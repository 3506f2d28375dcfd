#ifndef PINBALL_MAIN_WINDOW_H
#define PINBALL_MAIN_WINDOW_H

#include <windows.h>

/* The shell's only top-level window: creates its controls, turns OK, Cancel, Enter and
   Escape into the end of the run, follows palette and display changes and comes forward
   when another shell asks. */
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
