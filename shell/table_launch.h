#ifndef PINBALL_TABLE_LAUNCH_H
#define PINBALL_TABLE_LAUNCH_H

/* Fills `buffer` (of `size` characters) with the shell's own directory and `fileName`.
   0 when it fits; 1 otherwise, the buffer then holding what could be made of it. */
int makeModulePath(char *buffer, const char *fileName, int size);

/* 1 when the executable of currentSelection is there, asking for its CD while it is missing
   from a removable or CD-ROM drive; 0 when it is not (the user was told, or cancelled). */
int checkTablePresent(void);

/* Starts the table program with "-nomovie"; 1 when it started, 0 (the user was told) when not. */
int runTable(const char *exePath);

#endif
