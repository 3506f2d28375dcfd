#include "tools/tableprog/own_entry.h"

#include "settings/settings_store.h"

#include <windows.h>

OwnEntry ownEntry;

namespace {

/* The catalogue value "Table<index>" names a subkey (left in ownEntry.subkey) whose executable
   is `path` (1) or another one (0); -1 when the list ends there. */
int entryNamesProgram(int index, const char *path)
{
    char valueName[16];
    wsprintfA(valueName, "Table%d", index);
    readSettingString(NULL, valueName, ownEntry.subkey, "", textBufferSize);
    if (!ownEntry.subkey[0])
        return -1;
    char exePath[textBufferSize];
    readSettingString(ownEntry.subkey, "Table Exe", exePath, "", textBufferSize);
    return lstrcmpiA(exePath, path) == 0;
}

void useFileName(const char *path)
{
    const char *name = path;
    for (const char *c = path; *c; ++c)
        if (*c == '\\' || *c == '/' || *c == ':')
            name = c + 1;
    lstrcpynA(ownEntry.name, name, textBufferSize);
}

}

void ownModulePath(char *path, int size)
{
    DWORD length = GetModuleFileNameA(NULL, path, size);
    if (length == 0 || length >= (DWORD)size)
        path[0] = '\0';
}

void findOwnEntry(void)
{
    char path[textBufferSize];
    ownModulePath(path, (int)textBufferSize);
    useFileName(path);
    ownEntry.found = 0;
    ownEntry.tableId = -1;
    for (int index = 0;; ++index) {
        int match = entryNamesProgram(index, path);
        if (match < 0)
            break;
        if (match) {
            ownEntry.found = 1;
            break;
        }
    }
    if (!ownEntry.found) {
        ownEntry.subkey[0] = '\0';
        return;
    }
    char name[textBufferSize];
    readSettingString(ownEntry.subkey, "Table Name", name, "", textBufferSize);
    if (name[0])
        lstrcpyA(ownEntry.name, name);
    ownEntry.tableId = readSettingInt(ownEntry.subkey, "Table Id", -1);
}
