#ifndef PINBALL_SHELL_WINDOWS_H
#define PINBALL_SHELL_WINDOWS_H

#include <windows.h>

struct TableEntry;

/* Operations on the shell window as a whole: the selection, showing and taking down. */

/* Makes `entry` the selection: both frames repaint, the label names it, OK is enabled. */
void selectTable(TableEntry *entry);

/* No table selected, as before the first choice: the label empty and OK disabled. */
void clearSelection(void);

/* Moves the selection `step` tables on in catalogue order, stopping at both ends, as the arrows
   do on the pictures; nothing while no table is selected. */
void stepSelection(int step);
/* The same step from a controller or a cabinet button, whatever has the focus: away from the
   pictures it first gives them the focus, as a click on one does, which selects the first
   table when none was. */
void stepSelectionFromAnywhere(int step);

/* Shows the main window and preselects the tables whose id is preselectTableId (the last
   of them wins). */
void showShellWindow(void);

/* Destroys every child window and forgets the main window; destroys it too when destroyMain. */
void destroyShellWindows(int destroyMain);

/* Invalidates all of `window`, to be erased, when there is one: a table whose frame or picture
   could not be made has none, and InvalidateRect of no window would repaint every window on
   the screen. */
void invalidateTableWindow(HWND window);

/* Gives a push button the style BS_PUSHBUTTON or BS_DEFPUSHBUTTON, redrawn at once. */
void setButtonStyle(HWND button, DWORD style);
/* Takes the default style from both buttons. */
void clearDefaultButtons(void);

/* Ends the run with the selected table confirmed when its executable is there. */
void launchIfPresent(void);

/* What OK does: checks and starts the selected table; nothing while none is. */
void chooseSelectedTable(void);

/* The shell's window takes input: shown, and not disabled by one of its boxes. Hidden, a launch
   has begun (or the shell waits for its caller), and a second press would start a second table. */
int shellTakesInput(void);

/* Ends the shell's run; the main window hides itself and stops the main loop. */
void endShellRun(void);

#endif
