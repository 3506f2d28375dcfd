#ifndef PINBALL_SHELL_BOXES_H
#define PINBALL_SHELL_BOXES_H

#include <windows.h>

/* The shell's message boxes as a player without a mouse answers them, from a game controller
   or a cabinet's buttons: the box's own buttons pressed as a click would. */

/* The message box that this thread shows now, NULL when none is open. */
HWND openMessageBox(void);
/* Presses button `id` (IDOK, IDCANCEL) of `box` as a click would, when the box has one. */
void pressBoxButton(HWND box, int id);

#endif
