#include "tests/support/dib_blocks.h"

#include "gfx/dib_file.h"

#include <gtest/gtest.h>

#include <string.h>

OwnedBitmap::~OwnedBitmap()
{
    if (handle != NULL)
        DeleteObject(handle);
}

GuardedDib::GuardedDib(const PackedDib &source)
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    DWORD page = system.dwPageSize;
    DWORD body = (source.size + page - 1) / page * page;
    pages = (BYTE *)VirtualAlloc(NULL, body + page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD old;
    VirtualProtect(pages + body, page, PAGE_NOACCESS, &old);
    BYTE *start = pages + body - source.size;
    memcpy(start, source.header, source.size);
    dib = {(BITMAPINFOHEADER *)start, source.size, NULL, 0};
}

GuardedDib::~GuardedDib()
{
    VirtualFree(pages, 0, MEM_RELEASE);
}

WholeDib::WholeDib(const std::string &path)
{
    OFSTRUCT opened;
    HFILE file = OpenFile(path.c_str(), &opened, OF_READ);
    if (file == HFILE_ERROR)
        return;
    PackedDib head = readDibHeader(file);
    if (head.header != NULL) {
        data.assign((const BYTE *)head.header, (const BYTE *)head.header + head.size);
        data.resize(head.size + head.header->biSizeImage);
        LONG bits = _hread(file, data.data() + head.size, head.header->biSizeImage);
        if (bits == (LONG)head.header->biSizeImage)
            dib = {(BITMAPINFOHEADER *)data.data(), (DWORD)data.size(), NULL, 0};
        releasePackedDib(head);
    }
    _lclose(file);
}

Bytes deviceCorner(HBITMAP bitmap, LONG width, LONG height)
{
    HDC screen = GetDC(NULL);
    HDC from = CreateCompatibleDC(screen), into = CreateCompatibleDC(screen);
    HBITMAP corner = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldFrom = SelectObject(from, bitmap), oldInto = SelectObject(into, corner);
    BitBlt(into, 0, 0, width, height, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(into, oldInto);
    BITMAP info = {};
    GetObjectA(corner, sizeof info, &info);
    Bytes bits(info.bmWidthBytes * info.bmHeight);
    EXPECT_EQ(GetBitmapBits(corner, (LONG)bits.size(), bits.data()), (LONG)bits.size());
    DeleteObject(corner);
    DeleteDC(from);
    DeleteDC(into);
    ReleaseDC(NULL, screen);
    return bits;
}
