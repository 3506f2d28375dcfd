#ifndef PINBALL_ELEVATED_START_H
#define PINBALL_ELEVATED_START_H

#include <windows.h>

/* A program that needs administrator rights (its manifest asks for them, or the player keeps
   "run as administrator" on it) cannot be started by WinExec from a program without them: the
   start fails with ERROR_ELEVATION_REQUIRED. The system's shell can start it, and asks the
   player first. */

/* ERROR_ELEVATION_REQUIRED, which the compiler's headers lack. */
const DWORD elevationRequiredError = 740;

enum ElevatedStart { elevatedStarted, elevatedDeclined, elevatedFailed };

/* Starts the program of `command` (its path, in quotes when it holds a blank, and its
   arguments) as WinExec would: with the same arguments, in this process's working folder,
   shown, and waiting as long for its window; through the system's shell, which asks the player
   to let it run with administrator rights. elevatedFailed with the reason in *error. */
ElevatedStart startAskingForRights(const char *command, DWORD *error);

#endif
