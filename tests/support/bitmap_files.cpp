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
