#ifndef PINBALLCAT_PROGRAM_HEADER_H
#define PINBALLCAT_PROGRAM_HEADER_H

#include <windows.h>

#include <string>

/* Tables come from CDs of the 1990s: some are 16-bit or DOS programs, which 64-bit Windows
   cannot start, and a few were built for other processors. Their header tells. */

/* The processor of the Windows that runs now (a wProcessorArchitecture value): the native one,
   also when this tool runs as a 32-bit program on 64-bit Windows. */
WORD hostArchitecture();

/* Whether Windows on `architecture` can start the program at `path`; when it cannot, `why`
   says what the file is and what the player can do, as a sentence that follows the path.
   A file that cannot be read is left to the start itself and counts as runnable. */
bool programRuns(const char *path, WORD architecture, std::string *why);

#endif
