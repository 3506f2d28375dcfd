#ifndef PINBALL_TEST_CDROM_H
#define PINBALL_TEST_CDROM_H

#include <string>

// The folders behind drives E: and F:, the CD-ROM drives of the test prefix: what lies in one
// is on its disc, and an empty folder is a drive without a disc. Wine reads a volume's label
// once for the session of its server, so the labels stay as the prefix was made: the disc in
// E: has none, the one in F: carries secondDiscLabel.

const char secondDiscLabel[] = "Vantrel2 Disc 2";

// The folder of `drive` as a Windows path (through drive Z:), with a trailing backslash.
std::string discFolder(char drive = 'E');
// Writes a file of that name (folders in it are made) and content onto the disc in `drive`;
// false on failure.
bool putOnDisc(const std::string &name, const std::string &content, char drive = 'E');
// Puts a copy of the test table program under that name onto the disc in `drive`, so that
// what is started or checked there is a real program; false on failure.
bool putTableProgramOnDisc(const std::string &name, char drive = 'E');
// Takes the disc out: removes every file and folder from the drive, but its label.
void emptyDisc(char drive = 'E');

#endif
