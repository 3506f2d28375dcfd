#ifndef PINBALLCAT_SCALE_COMMAND_H
#define PINBALLCAT_SCALE_COMMAND_H

/* `scale`: shows the window's scale; `scale N` fixes it at N (1 to 8), `scale auto` gives it
   back to the DPI of the screen. */
int scaleCommand(int count, char **words);

#endif
