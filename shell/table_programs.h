#ifndef PINBALL_TABLE_PROGRAMS_H
#define PINBALL_TABLE_PROGRAMS_H

#include <windows.h>

/* The two things the shell does to table programs: notify a running one and close the one
   that started the shell. */

extern UINT tableMessage;

enum TableNotification { sendTableNotification, postTableNotification };

/* Sends or posts tableMessage to a table program's window; 1 when one was found. */
int notifyTableProgram(TableNotification mode);

/* Asks callerWindow's program to end and waits until its process has ended (its window goes
   with it), at most callerCloseTimeoutMs in all; does not wait for a caller whose window was
   already hung (not taking its messages) when it was asked. */
void closeCaller(void);

const unsigned int callerCloseTimeoutMs = 30000;

#endif
