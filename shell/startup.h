#ifndef PINBALL_STARTUP_H
#define PINBALL_STARTUP_H

#include <windows.h>

/* The shell's version, written to the settings for later shells and table programs. */
const int thisShellVersion = 3;

/* One run of the shell from its entry point; returns the exit status. */
int runShell(HINSTANCE instance, const char *commandLine);

#endif
