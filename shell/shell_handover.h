#ifndef PINBALL_SHELL_HANDOVER_H
#define PINBALL_SHELL_HANDOVER_H

#include <windows.h>

/* The message by which a starting shell asks the running one to come to the front. */
extern UINT shellMessage;

/* Registers shellMessage; when another shell's main window exists, sends it shellMessage and
   returns 1, else returns 0. */
int handOverToRunningShell(void);

#endif
