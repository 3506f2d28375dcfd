#ifndef PINBALL_TEST_DIB_BLOCKS_H
#define PINBALL_TEST_DIB_BLOCKS_H

#include "gfx/packed_dib.h"
#include "tests/support/bitmap_files.h"

#include <windows.h>

#include <string>

// A device bitmap deleted with its holder.
struct OwnedBitmap {
    HBITMAP handle;
    explicit OwnedBitmap(HBITMAP bitmap) : handle(bitmap) {}
    ~OwnedBitmap();
    OwnedBitmap(const OwnedBitmap &) = delete;
    OwnedBitmap &operator=(const OwnedBitmap &) = delete;
};

// A copy of the DIB that ends right at an inaccessible page: a read beyond it faults.
struct GuardedDib {
    BYTE *pages = nullptr;
    PackedDib dib = {};
    explicit GuardedDib(const PackedDib &source);
    ~GuardedDib();
    GuardedDib(const GuardedDib &) = delete;
    GuardedDib &operator=(const GuardedDib &) = delete;
};

// The whole picture of a file in one block, as a conversion of all of it needs; dib.header is
// NULL when the file's header is refused or its bits cannot be read.
struct WholeDib {
    Bytes data;
    PackedDib dib = {};
    explicit WholeDib(const std::string &path);
};

// The device pixels of the top-left width by height of a bitmap, row after row.
Bytes deviceCorner(HBITMAP bitmap, LONG width, LONG height);

#endif
