#include "tests/support/cdrom.h"

#include "tests/support/files.h"

#include <windows.h>

std::string discFolder()
{
    char unixPath[MAX_PATH] = "";
    GetEnvironmentVariableA("PINBALL_CDROM_DIR", unixPath, sizeof unixPath);
    return windowsPathOf(unixPath) + "\\";
}

bool putOnDisc(const std::string &name, const std::string &content)
{
    return writeWholeFile(discFolder() + name, content.data(), content.size());
}

void emptyDisc()
{
    std::string folder = discFolder();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
