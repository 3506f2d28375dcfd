#ifndef PINBALL_STRING_TABLE_H
#define PINBALL_STRING_TABLE_H

#include "resources/resource.h"

/* The text of a string resource of appInstance, or "" when there is none.
   The text stays valid until three further calls have been made. */
const char *loadString(unsigned short id);

#endif
