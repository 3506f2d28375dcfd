#ifndef PINBALLCAT_ADMINISTRATOR_RIGHTS_H
#define PINBALLCAT_ADMINISTRATOR_RIGHTS_H

#include <string>

/* A table program that needs administrator rights starts only once the player allows it:
   Windows asks each time. For the program started from `startPath`: why it will ask, as a
   clause of check's line; "" when it will not. */
std::string administratorRightsText(const char *startPath);

#endif
