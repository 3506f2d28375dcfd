#ifndef PINBALL_PROGRAM_START_H
#define PINBALL_PROGRAM_START_H

#include <windows.h>
#include <shellapi.h>

/* The two system calls by which the shell starts a table program, apart from everything
   else, so that a test can link a version of its own in place of this module and have a start
   fail as Windows would fail it. */

/* WinExec of `command`, shown: the table program's window is there when it returns (the
   protocol's timing rests on that). Below 32 it failed, with the reason that its start of the
   process left in GetLastError. */
UINT startProgram(const char *command);

/* ShellExecuteExA of `info`, through the system's shell library, loaded only now. FALSE when
   nothing started, with the reason in GetLastError. */
BOOL startProgramThroughShell(SHELLEXECUTEINFOA *info);

#endif
