#include "tests/support/cdrom.h"

#include "tests/support/files.h"
#include "tests/support/table_program.h"

#include <windows.h>

namespace {

void removeContents(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == ".." || name == ".windows-label")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            removeContents(folder + name + "\\");
            RemoveDirectoryA((folder + name).c_str());
        } else {
            DeleteFileA((folder + name).c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

std::string discFolder(char drive)
{
    char unixPath[MAX_PATH] = "";
    GetEnvironmentVariableA(drive == 'F' ? "PINBALL_SECOND_CDROM_DIR" : "PINBALL_CDROM_DIR",
                            unixPath, sizeof unixPath);
    return windowsPathOf(unixPath) + "\\";
}

bool putOnDisc(const std::string &name, const std::string &content, char drive)
{
    std::string folder = discFolder(drive);
    for (size_t slash = name.find('\\'); slash != std::string::npos;
         slash = name.find('\\', slash + 1))
        CreateDirectoryA((folder + name.substr(0, slash)).c_str(), NULL);
    return writeWholeFile(folder + name, content.data(), content.size());
}

bool putTableProgramOnDisc(const std::string &name, char drive)
{
    // The folders are made by writing the file first; the program then replaces it.
    return putOnDisc(name, "", drive) &&
           CopyFileA(tableProgramPath().c_str(), (discFolder(drive) + name).c_str(), FALSE);
}

void emptyDisc(char drive)
{
    removeContents(discFolder(drive));
}
