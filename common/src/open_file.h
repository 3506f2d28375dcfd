#ifndef PINBALL_OPEN_FILE_H
#define PINBALL_OPEN_FILE_H

#include <windows.h>

/* Opens a file for reading with the 16-bit-style calls: a name without a directory is
   searched for by OpenFile's rules, and paths too long for OpenFile are opened directly.
   HFILE_ERROR when it cannot be opened; the caller closes it with _lclose. */
HFILE openForReading(const char *path);

/* 1 when `path` names a file, 0 when nothing or a folder is there. */
int fileExists(const char *path);

#endif
