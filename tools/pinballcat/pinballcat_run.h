#ifndef PINBALLCAT_PINBALLCAT_RUN_H
#define PINBALLCAT_PINBALLCAT_RUN_H

/* Runs the command that `argv` names (argv[1], then its words) and returns the tool's exit
   status. */
int runPinballcat(int argc, char **argv);

#endif
