#ifndef PINBALL_SHELL_STATE_H
#define PINBALL_SHELL_STATE_H

#include "common/src/memory.h"

#include <windows.h>

struct TableEntry;

/* The shell's windows, NULL while they do not exist, and the selection they show. */
extern HWND mainWindow;
extern HWND nameLabel;
extern HWND okButton;
extern HWND cancelButton;
extern HWND backgroundWindow;

extern TableEntry *currentSelection;
/* The table whose executable was found when the user chose it, started after the main loop
   from the path that its check answered: its own, or the same path on its disc in another
   drive. `table` is NULL while none was. The selection may have moved on since. */
struct ConfirmedTable {
    TableEntry *table;
    char startPath[textBufferSize];
};
extern ConfirmedTable confirmedTable;

#endif
