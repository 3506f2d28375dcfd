#include "tests/support/bitmap_files.h"

Bytes &put16(Bytes &bytes, WORD value)
{
    bytes.push_back(value & 0xFF);
    bytes.push_back(value >> 8);
    return bytes;
}

Bytes &put32(Bytes &bytes, DWORD value)
{
    put16(bytes, value & 0xFFFF);
    return put16(bytes, value >> 16);
}

Bytes &putBytes(Bytes &bytes, const Bytes &more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
    return bytes;
}

Bytes patternBytes(size_t count, BYTE seed)
{
    Bytes bytes(count);
    for (size_t i = 0; i < count; i++)
        bytes[i] = (BYTE)(i * 7 + i / 13 + seed);
    return bytes;
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &part : parts)
        putBytes(all, part);
    return all;
}

Bytes fileHeader(DWORD offBits)
{
    Bytes b;
    put16(b, 0x4D42);
    put32(b, 0);
    put32(b, 0);
    return put32(b, offBits);
}

Bytes infoHeader(const Info &info, const std::vector<DWORD> &masks)
{
    Bytes b;
    put32(b, info.headerSize);
    put32(b, info.width);
    put32(b, info.height);
    put16(b, 1);
    put16(b, info.bitCount);
    put32(b, info.compression);
    put32(b, info.sizeImage);
    put32(b, info.pelsPerMeter);
    put32(b, info.pelsPerMeter);
    put32(b, info.clrUsed);
    put32(b, 0);
    for (DWORD mask : masks)
        put32(b, mask);
    b.resize(info.headerSize);
    return b;
}

TempFile::TempFile(const Bytes &contents)
{
    char directory[MAX_PATH], name[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, "pbt", 0, name);
    path = name;
    writeWholeFile(path, contents.data(), contents.size());
}

TempFile::~TempFile()
{
    DeleteFileA(path.c_str());
}

bool fileIsClosed(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}
