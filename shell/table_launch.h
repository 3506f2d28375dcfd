#ifndef PINBALL_TABLE_LAUNCH_H
#define PINBALL_TABLE_LAUNCH_H

#include "common/src/memory.h"

struct TableEntry;

/* Fills `buffer` (of `size` characters) with the shell's own directory and `fileName`.
   0 when it fits; 1 otherwise, the buffer then holding what could be made of it. */
int makeModulePath(char *buffer, const char *fileName, int size);

/* 1 when the executable of `table` is there, in its own place or on its disc in another
   drive, asking for its CD while no drive has it; `startPath` (of textBufferSize characters)
   then says where it is started from. 0 when it is not (the user was told, or cancelled),
   `startPath` left as it was. */
int checkTablePresent(const TableEntry *table, char *startPath);

/* Put behind the path of every table program the shell starts. */
const char movieSwitch[] = " -nomovie";
/* A catalogue path in quotes, the switch and the terminator. */
const int tableCommandSize = (int)textBufferSize + 2 + (int)sizeof movieSwitch;

/* The command line that starts a table: its path, quoted when a blank would split it, and
   " -nomovie". 0 when the path is longer than any the catalogue holds. */
int buildTableCommand(char *command, const char *exePath);

enum TableStart { tableNotStarted = 0, tableStarted = 1, tableStartDeclined = 2 };

/* Starts the table program with "-nomovie". tableNotStarted when it did not start (the user
   was told); a program that needs administrator rights is started through the system's shell,
   which asks the player: tableStartDeclined when the player said no. */
TableStart runTable(const char *exePath);

#endif
