#include "shell/command_program.h"

#include "common/src/memory.h"
#include "common/src/open_file.h"

#include <windows.h>

namespace {

/* Looks `name` up as CreateProcess does: the application's folder, the current one, the system
   folders and PATH, with ".exe" appended when the name has no extension. */
int searchProgram(const char *name, char *program)
{
    DWORD length = SearchPathA(NULL, name, ".exe", textBufferSize, program, NULL);
    if (length == 0 || length >= textBufferSize)
        return 0;
    return fileExists(program);
}

int isBlank(char c)
{
    return c == ' ' || c == '\t';
}

/* Copies the first `length` characters of `text` into `name`; 0 when they do not fit. */
int takeName(char *name, const char *text, int length)
{
    if (length >= (int)textBufferSize)
        return 0;
    lstrcpynA(name, text, length + 1);
    return 1;
}

int readFileIdentity(const char *path, BY_HANDLE_FILE_INFORMATION *identity)
{
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int known = GetFileInformationByHandle(file, identity) != 0;
    CloseHandle(file);
    return known;
}

}

int findCommandProgram(const char *command, char *name, char *program)
{
    if (command[0] == '"') {
        const char *start = command + 1;
        int length = 0;
        while (start[length] && start[length] != '"')
            ++length;
        return takeName(name, start, length) && searchProgram(name, program);
    }
    /* Unquoted, the name grows word by word until it names a file: "C:\Program Files\x.exe". */
    for (int length = 0;; ++length) {
        if (command[length] && !isBlank(command[length]))
            continue;
        if (!takeName(name, command, length))
            return 0;
        if (length > 0 && searchProgram(name, program))
            return 1;
        if (!command[length])
            return 0;
    }
}

int sameFile(const char *path, const char *otherPath)
{
    BY_HANDLE_FILE_INFORMATION one;
    BY_HANDLE_FILE_INFORMATION other;
    if (!readFileIdentity(path, &one) || !readFileIdentity(otherPath, &other))
        return 0;
    return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}
