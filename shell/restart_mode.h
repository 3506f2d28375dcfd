#ifndef PINBALL_RESTART_MODE_H
#define PINBALL_RESTART_MODE_H

/* Reruns the table played last. 1 with *exitStatus set when the run ends; 0 when no last table
   is recorded and shell mode must run instead. */
int runRestartMode(int *exitStatus);

#endif
