#include "settings/catalogue.h"

#include "common/src/drive_letter.h"
#include "common/src/memory.h"
#include "settings/settings_store.h"
#include "settings/string_table.h"

#include <stdio.h>
#include <string.h>

TableEntry tableEntries[maxTables];
int tableCount = 0;
CatalogueEnd catalogueEnd = endAtMissingValue;
const char unknownCdLabel[] = "Unrecognized CD";

namespace {

char *takeText(void)
{
    return static_cast<char *>(memoryalloc(textBufferSize));
}

void releaseText(char **text)
{
    if (*text) {
        memoryfree(*text);
        *text = NULL;
    }
}

/* Takes a text buffer into `*field` and reads the value of the open key `table` into it; false
   when none could be had. */
bool takeSetting(char **field, HKEY table, const char *valueName, const char *defaultText)
{
    *field = takeText();
    if (!*field)
        return false;
    readKeyString(table, valueName, *field, defaultText, textBufferSize);
    return true;
}

/* Gives back what a record that will not be counted took. */
void discardRecord(TableEntry *record)
{
    releaseText(&record->name);
    releaseText(&record->exePath);
    releaseText(&record->bitmapPath);
    releaseText(&record->cdLabel);
}

/* Ends the list at a record that will not be counted. */
bool endList(TableEntry *record, CatalogueEnd reason)
{
    discardRecord(record);
    catalogueEnd = reason;
    return false;
}

/* Tables mostly lie on one drive, and each probe is slow: a root already probed for a counted
   table takes that table's answer. */
unsigned int tableDriveType(char *path)
{
    size_t rootLength = (size_t)(driveRootEnd(path) - path);
    for (int i = 0; i < tableCount; ++i) {
        char *other = tableEntries[i].exePath;
        if ((size_t)(driveRootEnd(other) - other) == rootLength &&
            memcmp(other, path, rootLength) == 0)
            return tableEntries[i].driveType;
    }
    return probeDriveType(path);
}

/* Reads the table of the open key `table` into `record`, taking over `*tableName` (which already
   holds the table's name) and handing back a fresh table-name buffer. False ends the list: the
   record then holds nothing, and *tableName is a buffer of the caller's still. */
bool loadRecord(TableEntry *record, HKEY table, char **tableName)
{
    record->name = *tableName;
    *tableName = takeText();
    if (!*tableName) {
        *tableName = record->name;
        record->name = NULL;
        catalogueEnd = endOutOfMemory;
        return false;
    }
    if (!takeSetting(&record->exePath, table, "Table Exe", ""))
        return endList(record, endOutOfMemory);
    if (!record->exePath[0])
        return endList(record, endAtMissingExe);
    if (!takeSetting(&record->bitmapPath, table, "Table Bitmap", ""))
        return endList(record, endOutOfMemory);
    if (!record->bitmapPath[0])
        releaseText(&record->bitmapPath);
    record->tableId = readKeyInt(table, "Table Id", -1);
    record->driveType = tableDriveType(record->exePath);
    if (!takeSetting(&record->cdLabel, table, "Table CD", unknownCdLabel))
        return endList(record, endOutOfMemory);
    record->pictureBitmap = NULL;
    record->pictureDC = NULL;
    record->position = 0;
    record->frameX = 0;
    record->frameY = 0;
    record->frameWindow = NULL;
    record->pictureWindow = NULL;
    return true;
}

/* Reads the next table from the open key `table`; false ends the list. */
bool loadTable(HKEY table, char **tableName)
{
    readKeyString(table, "Table Name", *tableName, "", textBufferSize);
    if (!(*tableName)[0]) {
        catalogueEnd = endAtMissingName;
        return false;
    }
    return loadRecord(&tableEntries[tableCount], table, tableName);
}

}

/* Each key is opened once for all the values read from it. */
void loadCatalogue(void)
{
    catalogueEnd = endOutOfMemory;
    char *subkey = takeText();
    if (!subkey)
        return;
    char *tableName = takeText();
    if (!tableName) {
        memoryfree(subkey);
        return;
    }
    catalogueEnd = endWhenFull;
    HKEY base = openSettings(NULL);
    while (tableCount < maxTables) {
        char valueName[16];
        snprintf(valueName, sizeof valueName, "Table%d", tableCount);
        readKeyString(base, valueName, subkey, "", textBufferSize);
        if (!subkey[0]) {
            catalogueEnd = endAtMissingValue;
            break;
        }
        HKEY table = openSettings(subkey);
        bool counted = loadTable(table, &tableName);
        closeSettings(table);
        if (!counted)
            break;
        ++tableCount;
    }
    closeSettings(base);
    memoryfree(tableName);
    memoryfree(subkey);
}

/* Labels are compared without regard to case everywhere, as Windows shows them. */
const char *labelToMatch(const char *cdLabel)
{
    return lstrcmpiA(cdLabel, unknownCdLabel) == 0 ? NULL : cdLabel;
}

const char *labelToShow(const char *cdLabel)
{
    return labelToMatch(cdLabel) ? cdLabel : loadString(IDS_UNKNOWN_CD);
}

char *driveRootEnd(char *path)
{
    /* The first character is a drive letter or the start of a root; it is never looked at. */
    if (!path[0])
        return path;
    char *end = path + 1;
    while (*end == '\\' || *end == ':')
        ++end;
    return end;
}

unsigned int probeDriveType(char *path)
{
    char *end = driveRootEnd(path);
    char kept = *end;
    *end = '\0';
    unsigned int type = GetDriveTypeA(path);
    *end = kept;
    return type;
}
