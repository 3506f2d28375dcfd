#ifndef PINBALL_OPEN_FILE_H
#define PINBALL_OPEN_FILE_H

#include <windows.h>

/* Opens a file for reading with the 16-bit-style calls: a name without a directory is
   searched for by OpenFile's rules, and paths too long for OpenFile are opened directly.
   HFILE_ERROR when it cannot be opened; the caller closes it with _lclose. */
HFILE openForReading(const char *path);

/* 1 when `path` names a file that opens for reading, by the rules of openForReading; 0 when
   nothing, a folder or an unreadable file is there. The one test of every file the shell takes:
   a table's files wherever they lie, the logo movie, a program to run. */
int fileExists(const char *path);

#endif
