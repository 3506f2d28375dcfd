#include "tools/pinballcat/catalogue_view.h"

#include "common/src/memory.h"
#include "settings/settings_store.h"
#include "tools/pinballcat/console.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

namespace {

/* The number of a value named "Table<digits>", or -1 for any other name. */
int tableValueNumber(const char *name)
{
    /* Only the names that "Table%d" makes: no sign, no leading zero. */
    if (strncmp(name, "Table", 5) != 0 || !name[5] || strlen(name) > 9 || (name[5] == '0' && name[6]))
        return -1;
    for (const char *c = name + 5; *c; ++c)
        if (*c < '0' || *c > '9')
            return -1;
    return atoi(name + 5);
}

/* Every "Table%d" value from number `first` on, in the order of their numbers. */
std::vector<TableValue> tableValuesFrom(int first)
{
    std::vector<TableValue> found;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsBasePath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return found;
    char name[256];
    char data[textBufferSize];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        LONG result = RegEnumValueA(key, i, name, &nameSize, NULL, &type, (BYTE *)data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        int number = tableValueNumber(name);
        if (number < first)
            continue;
        data[result == ERROR_SUCCESS && type == REG_SZ ? dataSize : 0] = '\0';
        size_t at = 0;
        while (at < found.size() && found[at].number < number)
            ++at;
        found.insert(found.begin() + at, TableValue{number, data});
    }
    RegCloseKey(key);
    return found;
}

}

void readCatalogue(CatalogueView *view)
{
    loadCatalogue();
    for (int i = 0; i < tableCount; ++i) {
        char valueName[16];
        wsprintfA(valueName, "Table%d", i);
        char subkey[textBufferSize];
        readSettingString(NULL, valueName, subkey, "", textBufferSize);
        view->subkeys[i] = subkey;
    }
    view->unread = tableValuesFrom(tableCount);
}

int findTable(const char *name)
{
    for (int i = 0; i < tableCount; ++i)
        if (lstrcmpiA(tableEntries[i].name, name) == 0)
            return i;
    return -1;
}

int namedTable(const char *name, CatalogueView *view)
{
    readCatalogue(view);
    int table = findTable(name);
    if (table < 0)
        refuse("no table is named \"%s\" (see pinballcat list)", name);
    return table;
}

std::string catalogueEndText(const CatalogueView &view)
{
    std::string table = "Table" + std::to_string(tableCount);
    std::string subkey = view.unread.empty() ? "" : view.unread.front().subkey;
    switch (catalogueEnd) {
    case endAtMissingValue:
        return "the list ends at " + table + ", which is missing or empty";
    case endAtMissingName:
        return "the list ends at " + table + ": subkey \"" + subkey +
               "\" has no Table Name (or one of 500 characters or more)";
    case endAtMissingExe:
        return "the list ends at " + table + ": subkey \"" + subkey +
               "\" has no Table Exe (or one of 500 characters or more)";
    case endWhenFull:
        return "the list is full: the shell reads twelve tables";
    case endOutOfMemory:
        break;
    }
    return "the list ends at " + table + ": out of memory";
}

const char *driveTypeName(unsigned int driveType)
{
    switch (driveType) {
    case DRIVE_NO_ROOT_DIR: return "no such drive";
    case DRIVE_REMOVABLE: return "removable drive";
    case DRIVE_FIXED: return "fixed drive";
    case DRIVE_REMOTE: return "network drive";
    case DRIVE_CDROM: return "CD-ROM drive";
    case DRIVE_RAMDISK: return "RAM disk";
    }
    return "unknown drive";
}

std::string settingsPath(const std::string &subkey)
{
    std::string path = settingsBasePath;
    return subkey.empty() ? path : path + "\\" + subkey;
}
