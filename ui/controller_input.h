#ifndef PINBALL_CONTROLLER_INPUT_H
#define PINBALL_CONTROLLER_INPUT_H

#include <windows.h>

/* A game controller drives the shell as the keyboard does, whatever window has the focus: the
   hat or the first stick steps through the tables as the arrows do, repeating while held,
   button 1 does what OK does and button 2 what Cancel does. Any button skips the logo movie,
   and while one of the shell's message boxes is open, buttons 1 and 2 press its OK and Cancel.
   The controller is read on a timer of the main window, whose WM_TIMER the message loops of
   the shell's boxes dispatch as well. With none attached it is only looked for every few
   seconds, so that a shell without one spends nothing on it while it flashes, but often while
   the system's input devices start, so that one plugged in before can skip the movie; one that
   is pulled out is let go and looked for again. */

const UINT_PTR controllerTimerId = 1;

/* Looks for a controller a second after the window or the movie shows, then on the timer of
   `window`. */
void startControllerPolling(HWND window);
/* The timer's WM_TIMER: looks for a controller, or reads the one found and acts on it. */
void pollController(HWND window);

#endif
