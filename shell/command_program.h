#ifndef PINBALL_COMMAND_PROGRAM_H
#define PINBALL_COMMAND_PROGRAM_H

/* Which program a WinExec command line would start, and whether two paths name one file. */

/* 1 and the full path of the program that WinExec would start for `command` in `program`;
   0 when it would start none. `name` holds the names tried. Both buffers hold textBufferSize
   characters. */
int findCommandProgram(const char *command, char *name, char *program);

/* 1 when both paths open the same file (same volume and file index), however spelt: through a
   short name, another case, a relative path or a hard link. 0 when not, or when either cannot
   be opened. */
int sameFile(const char *path, const char *otherPath);

#endif
