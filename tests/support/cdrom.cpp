#include "tests/support/cdrom.h"

#include <windows.h>

std::string discFolder()
{
    char unixPath[MAX_PATH] = "";
    GetEnvironmentVariableA("PINBALL_CDROM_DIR", unixPath, sizeof unixPath);
    std::string folder = std::string("Z:") + unixPath + "\\";
    for (char &c : folder)
        if (c == '/')
            c = '\\';
    return folder;
}

bool putOnDisc(const std::string &name, const std::string &content)
{
    HANDLE file = CreateFileA((discFolder() + name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, content.data(), (DWORD)content.size(), &written, NULL) &&
              written == content.size();
    CloseHandle(file);
    return ok;
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
