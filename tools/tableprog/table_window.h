#ifndef TABLEPROG_TABLE_WINDOW_H
#define TABLEPROG_TABLE_WINDOW_H

#include <windows.h>

extern HWND tableWindow;

/* Registers the table-program class and creates the window, hidden; NULL on failure. */
HWND createTableWindow(HINSTANCE instance);

/* Keys that work wherever the focus is (F2, F3, Escape); 1 when the key was used. */
int handleTableKey(WPARAM key);

#endif
