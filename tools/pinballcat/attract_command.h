#ifndef PINBALLCAT_ATTRACT_COMMAND_H
#define PINBALLCAT_ATTRACT_COMMAND_H

/* `attract` shows the player's idle time before the shell shows its tables by itself;
   `attract SECONDS [--keep-awake]` and `attract off` set it. */
int attractCommand(int count, char **words);

#endif
