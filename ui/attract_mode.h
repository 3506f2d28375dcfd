#ifndef PINBALL_ATTRACT_MODE_H
#define PINBALL_ATTRACT_MODE_H

#include <windows.h>

/* While nobody plays, the shell shows its tables by itself: once the window has had no input
   for the player's idle time, the selection moves on to the next table every few seconds,
   round the catalogue, the label and the flashing frame following it. The first input of any
   kind ends it and does nothing else: the selection and the focus are as they were before it
   began. It never starts a table nor ends the run, and runs only while the window takes
   input (shown, no box open). It keeps time by the tick clock, in the main loop's own wait:
   no timer of its own fires while the player uses the window. */

/* Reads the player's settings and starts counting the idle time; at the start of a run. */
void startAttractMode(void);
/* Ends it, when it runs, without showing anything again; at the end of a run. */
void stopAttractMode(void);

/* Before the main loop waits: begins or steps attract mode when that is due; the time until
   it next has something to do, INFINITE while there is nothing to wait for. */
DWORD runAttractMode(void);

/* A message taken from the main loop's queue. Input counts as the player's; 1 when it ended
   attract mode, or is the rest of the key press or the click that ended it, and must go no
   further. */
int attractModeTakesMessage(const MSG *message);
/* A game controller was pressed or moved: as attractModeTakesMessage. */
int attractModeTakesControllerInput(void);

/* The idle time is counted again from now: the window takes input again, shown or enabled
   after a box. */
void restartIdleCount(void);

#endif
