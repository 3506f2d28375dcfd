#ifndef PINBALL_SHELL_STATE_H
#define PINBALL_SHELL_STATE_H

#include <windows.h>

struct TableEntry;

/* The shell's windows, NULL while they do not exist, and the selection they show. */
extern HWND mainWindow;
extern HWND nameLabel;
extern HWND okButton;
extern HWND cancelButton;
extern HWND backgroundWindow;

extern TableEntry *currentSelection;
/* Set once the chosen table's executable was found; read after the main loop. */
extern int launchConfirmed;

#endif
