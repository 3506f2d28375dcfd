#ifndef PINBALL_STARTUP_H
#define PINBALL_STARTUP_H

#include <windows.h>

/* The shell's version, written to the settings for later shells and table programs. */
const int thisShellVersion = 3;

/* Set in the environment of a shell started by a hand-over to a later one. */
extern const char handedOverVariable[];

/* One run of the shell from its entry point; returns the exit status. */
int runShell(HINSTANCE instance, const char *commandLine);

#endif
