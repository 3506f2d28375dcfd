#ifndef TABLEPROG_ENVIRONMENT_H
#define TABLEPROG_ENVIRONMENT_H

#include <windows.h>

/* A number of milliseconds from the environment variable `name`; 0 when it is not set. The
   tests make the program slow or hung this way. */
DWORD environmentMs(const char *name);

#endif
