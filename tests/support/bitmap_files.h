#ifndef PINBALL_TEST_BITMAP_FILES_H
#define PINBALL_TEST_BITMAP_FILES_H

#include "tests/support/files.h"

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

typedef std::vector<BYTE> Bytes;

// Little-endian fields appended to a byte string, for building bitmap files in tests.
Bytes &put16(Bytes &bytes, WORD value);
Bytes &put32(Bytes &bytes, DWORD value);
Bytes &putBytes(Bytes &bytes, const Bytes &more);
// count bytes of a pattern that differs from row to row and from byte to byte.
Bytes patternBytes(size_t count, BYTE seed);

Bytes concat(std::initializer_list<Bytes> parts);

// The fields of an info header that tests choose.
struct Info {
    LONG width, height;
    WORD bitCount;
    DWORD compression = BI_RGB;
    DWORD sizeImage = 0;
    DWORD clrUsed = 0;
    DWORD headerSize = 40;
    LONG pelsPerMeter = 2835;
};

// A file header whose bits lie at offBits, 0 for right after the colours.
Bytes fileHeader(DWORD offBits);
// An info header of headerSize bytes; from 52 bytes on it carries the masks given.
Bytes infoHeader(const Info &info, const std::vector<DWORD> &masks = {});

// A file in the temporary directory holding the given bytes, deleted by the destructor.
struct TempFile {
    std::string path;
    explicit TempFile(const Bytes &contents);
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    ~TempFile();
};

// True when no handle to the file is open any more: it can be opened without sharing.
bool fileIsClosed(const std::string &path);

#endif
