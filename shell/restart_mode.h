#ifndef PINBALL_RESTART_MODE_H
#define PINBALL_RESTART_MODE_H

#include "shell/step_outcome.h"

/* How long restart mode lets a started table have the queue's attention. */
const unsigned int restartWaitMs = 5000;

/* Runs the table played last again without showing the shell. runEnds when the process is to
   end, with status 0; runGoesOn when no table is recorded and shell mode must run. */
StepOutcome runRestartMode(void);

/* Returns once the thread's queue holds no message, or after limitMs; removes no message. */
void waitWhileMessageQueued(unsigned int limitMs);

#endif
