#ifndef PINBALL_SHELL_MODE_H
#define PINBALL_SHELL_MODE_H

/* The run in which the user chooses a table; returns the exit status. */
int runShellMode(void);

#endif
