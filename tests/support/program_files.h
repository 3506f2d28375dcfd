#ifndef PINBALL_TEST_PROGRAM_FILES_H
#define PINBALL_TEST_PROGRAM_FILES_H

#include "tests/support/bitmap_files.h"

#include <string>

// The headers of programs of all kinds, a few hundred bytes each, for checks that only read
// the header: none of them runs.

// A DOS header whose new header begins at newHeader (0 for none), padded to 64 bytes.
Bytes dosHeader(DWORD newHeader);
// A DOS header followed by a PE header for the processor `machine` (IMAGE_FILE_MACHINE_*),
// with those Characteristics.
Bytes peProgram(WORD machine, WORD characteristics = IMAGE_FILE_EXECUTABLE_IMAGE);
// A DOS header followed by a new header of that two-letter signature ("NE", "LE").
Bytes newHeaderProgram(const char *signature);

// A file of that name in the folder of the test executables, deleted by the destructor.
struct NamedFile {
    std::string path;
    NamedFile(const std::string &name, const Bytes &contents);
    NamedFile(const NamedFile &) = delete;
    NamedFile &operator=(const NamedFile &) = delete;
    ~NamedFile();
};

#endif
