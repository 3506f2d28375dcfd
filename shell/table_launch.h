#ifndef PINBALL_TABLE_LAUNCH_H
#define PINBALL_TABLE_LAUNCH_H

#include "common/src/memory.h"

struct TableEntry;

/* Fills `buffer` (of `size` characters) with the shell's own directory and `fileName`.
   0 when it fits; 1 otherwise, the buffer then holding what could be made of it. */
int makeModulePath(char *buffer, const char *fileName, int size);

/* Where the table that passed the last check is started from: its own path, or the same path
   on the drive that holds its disc now. The catalogue keeps the path it had. */
extern char checkedExePath[textBufferSize];

/* 1 when the executable of `table` is there, in its own place or on its disc in another
   removable or CD-ROM drive (checkedExePath then says where), asking for its CD while no drive
   has it; 0 when it is not (the user was told, or cancelled), checkedExePath left as it was. */
int checkTablePresent(const TableEntry *table);

/* When `exePath` is missing from its removable or CD-ROM drive: the same path on the first other
   such drive, in letter order, that holds it on a disc labelled `label` (any disc when NULL):
   only the drive letter of `exePath` is changed. 1 when the path now names a file there. */
int findOnAnotherDisc(char *exePath, const char *label);

/* 1 when the executable opens for reading, as the shell tests it before accepting a table. */
int executablePresent(const char *exePath);

/* Put behind the path of every table program the shell starts. */
const char movieSwitch[] = " -nomovie";
/* A catalogue path in quotes, the switch and the terminator. */
const int tableCommandSize = (int)textBufferSize + 2 + (int)sizeof movieSwitch;

/* The command line that starts a table: its path, quoted when a blank would split it, and
   " -nomovie". 0 when the path is longer than any the catalogue holds. */
int buildTableCommand(char *command, const char *exePath);

/* Starts the table program with "-nomovie"; 1 when it started, 0 (the user was told) when not. */
int runTable(const char *exePath);

#endif
