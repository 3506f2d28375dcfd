#ifndef PINBALL_TEST_CDROM_H
#define PINBALL_TEST_CDROM_H

#include <string>

// The folder behind drive E:, the CD-ROM drive of the test prefix: what lies in it is on the
// disc, and an empty folder is a drive without a disc.

// The folder as a Windows path (through drive Z:), with a trailing backslash.
std::string discFolder();
// Writes a file of that name and content onto the disc; false on failure.
bool putOnDisc(const std::string &name, const std::string &content);
// Removes every file from the disc.
void emptyDisc();

#endif
