#include "tests/support/files.h"

#include <windows.h>

bool writeWholeFile(const std::string &path, const void *data, size_t size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool whole = size == 0 || (WriteFile(file, data, (DWORD)size, &written, NULL) && written == size);
    CloseHandle(file);
    return whole;
}

std::string windowsPathOf(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}
