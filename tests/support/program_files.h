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

// The Windows that the tests run on, found out here from the process itself: a 64-bit process,
// or a 32-bit one under WoW64, runs on a 64-bit Windows. Its name as pinballcat says it, and
// whether it starts 16-bit Windows and DOS programs, which only a 32-bit Windows does.
struct TestHost {
    std::string name;
    bool runs16Bit;
};
TestHost testHost();

// A file of that name in the folder of the test executables, deleted by the destructor.
struct NamedFile {
    std::string path;
    NamedFile(const std::string &name, const Bytes &contents);
    NamedFile(const NamedFile &) = delete;
    NamedFile &operator=(const NamedFile &) = delete;
    ~NamedFile();
};

#endif
