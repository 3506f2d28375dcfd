#ifndef PINBALL_TABLE_PROGRAMS_H
#define PINBALL_TABLE_PROGRAMS_H

#include <windows.h>

/* The two things the shell does to table programs: notify a running one and close the one
   that started the shell. */

extern UINT tableMessage;

enum TableNotification { sendTableNotification, postTableNotification };

/* Sends or posts tableMessage to a table program's window; 1 when one was found. */
int notifyTableProgram(TableNotification mode);

/* Asks callerWindow's program to end and waits for its window to go: at most
   callerCloseTimeoutMs when it answered, unansweredCallerTimeoutMs when it did not. */
void closeCaller(void);

const unsigned int callerCloseTimeoutMs = 30000;
const unsigned int unansweredCallerTimeoutMs = 5000;

#endif
