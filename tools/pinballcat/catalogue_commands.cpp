#include "tools/pinballcat/catalogue_commands.h"

#include "common/src/drive_letter.h"
#include "common/src/memory.h"
#include "settings/settings_store.h"
#include "tools/pinballcat/catalogue_view.h"
#include "tools/pinballcat/compat_layers.h"
#include "tools/pinballcat/console.h"
#include "tools/pinballcat/registry_tree.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

/* Subkey names are registry key names, which hold at most 255 characters. */
const size_t longestSubkey = 200;

/* Room for paths longer than the shell reads, so that they are measured, not cut. */
const DWORD pathRoom = 2 * textBufferSize;

/* What `add` writes into a new table's subkey; NULL for a value it leaves out. */
struct NewTable {
    const char *name;
    char exePath[pathRoom];
    char picture[pathRoom];
    bool hasPicture;
    const char *cdLabel;
    bool hasId;
    int id;
};

bool fitsBuffer(const char *text)
{
    return strlen(text) < textBufferSize;
}

/* The shell quotes the path itself, and a quote can be in no file name. */
int checkExePath(const char *path)
{
    if (!path[0])
        return refuse("the executable path is empty");
    if (!fitsBuffer(path))
        return refuse("the executable path has %u characters; the shell reads at most %u",
                      (unsigned)strlen(path), (unsigned)textBufferSize - 1);
    if (strchr(path, '"'))
        return refuse("the executable path holds a quote: %s", path);
    return statusDone;
}

int checkName(const char *name, int allowedTable)
{
    if (!name[0])
        return refuse("a table needs a name");
    if (!fitsBuffer(name))
        return refuse("the name has %u characters; the shell reads at most %u",
                      (unsigned)strlen(name), (unsigned)textBufferSize - 1);
    int existing = findTable(name);
    if (existing >= 0 && existing != allowedTable)
        return refuse("there is already a table named \"%s\" (Table%d)", tableEntries[existing].name,
                      existing);
    return statusDone;
}

/* A number that is the whole word. */
bool parseNumber(const char *word, int *number)
{
    char *end = NULL;
    long value = strtol(word, &end, 0);
    if (!word[0] || *end)
        return false;
    *number = (int)value;
    return true;
}

/* The shell starts tables from wherever it runs, so a relative path is made full here. */
void makeFullPath(const char *path, char *full)
{
    DWORD length = GetFullPathNameA(path, pathRoom, full, NULL);
    if (length == 0 || length >= pathRoom)
        lstrcpynA(full, path, pathRoom);
}

int readNewTable(int count, char **words, NewTable *table)
{
    if (count < 2)
        return refuse("add needs a name and an executable: pinballcat add NAME EXE [--picture BMP] "
                      "[--id N] [--cd LABEL]");
    table->name = words[0];
    table->hasPicture = false;
    table->cdLabel = NULL;
    table->hasId = false;
    makeFullPath(words[1], table->exePath);
    for (int i = 2; i < count; i += 2) {
        if (i + 1 >= count)
            return refuse("%s needs a value", words[i]);
        const char *value = words[i + 1];
        if (strcmp(words[i], "--picture") == 0) {
            table->hasPicture = true;
            makeFullPath(value, table->picture);
        } else if (strcmp(words[i], "--cd") == 0) {
            table->cdLabel = value;
        } else if (strcmp(words[i], "--id") == 0) {
            table->hasId = parseNumber(value, &table->id);
            if (!table->hasId)
                return refuse("the id must be a number: %s", value);
        } else {
            return refuse("add does not know %s", words[i]);
        }
    }
    return statusDone;
}

int checkNewTable(const NewTable &table)
{
    int status = checkName(table.name, -1);
    if (status == statusDone)
        status = checkExePath(table.exePath);
    if (status == statusDone && table.hasPicture && !fitsBuffer(table.picture))
        status = refuse("the picture path is longer than the shell reads");
    if (status == statusDone && table.cdLabel && !fitsBuffer(table.cdLabel))
        status = refuse("the CD label is longer than the shell reads");
    if (status == statusDone && tableCount >= maxTables)
        status = refuse("the catalogue already holds %d tables, the most the shell shows", maxTables);
    return status;
}

/* A subkey named after the table that no key holds yet. */
std::string freeSubkey(const char *name)
{
    std::string base(name, strnlen(name, longestSubkey));
    for (char &c : base)
        if (c == '\\')
            c = '_';
    std::string subkey = base;
    for (int n = 2; keyExists(HKEY_CURRENT_USER, settingsPath(subkey)); ++n)
        subkey = base + " (" + std::to_string(n) + ")";
    return subkey;
}

/* Makes Table0, Table1, ... name `subkeys` in order, and removes every other "Table%d"
   value, saying which ones the shell had never read. */
void writeTableValues(const std::vector<std::string> &subkeys, const CatalogueView &view)
{
    for (const TableValue &value : view.unread) {
        printf("dropped Table%d = \"%s\", which the shell never read\n", value.number,
               value.subkey.c_str());
        deleteSetting(NULL, ("Table" + std::to_string(value.number)).c_str());
    }
    for (int i = (int)subkeys.size(); i < tableCount; ++i)
        deleteSetting(NULL, ("Table" + std::to_string(i)).c_str());
    for (size_t i = 0; i < subkeys.size(); ++i)
        writeSettingString(NULL, ("Table" + std::to_string(i)).c_str(), subkeys[i].c_str());
}

/* "F", "f:" or "F:\\" as the capital letter; 0 for any other word. */
char driveLetterWord(const char *word)
{
    if (word[0] && !word[1])
        return driveLetter(word[0]);
    char letter = pathDriveLetter(word);
    if (!letter)
        return 0;
    return !word[2] || (word[2] == '\\' && !word[3]) ? letter : 0;
}

bool onLetteredDrive(const char *path)
{
    return pathDriveLetter(path) != 0;
}

bool sameDrive(const char *path, const char *other)
{
    return onLetteredDrive(path) && pathDriveLetter(path) == pathDriveLetter(other);
}

std::string onDrive(const char *path, char letter)
{
    std::string moved = path;
    moved[0] = letter;
    return moved;
}

std::vector<std::string> listedSubkeys(const CatalogueView &view)
{
    return std::vector<std::string>(view.subkeys, view.subkeys + tableCount);
}

void printTable(int i)
{
    const TableEntry &table = tableEntries[i];
    printf("Table%d: %s\n", i, table.name);
    printf("    executable  %s  (%s)\n", table.exePath, driveTypeName(table.driveType));
    printf("    picture     %s\n", table.bitmapPath ? table.bitmapPath : "none");
    printf("    id          %d\n", table.tableId);
    printf("    CD label    %s\n", table.cdLabel);
    std::string layers, failure;
    if (!readCompatLayers(table.exePath, &layers, &failure))
        printf("    compat      %s\n", failure.c_str());
    else if (!layers.empty())
        printf("    compat      %s\n", layers.c_str());
}

/* Windows keeps compatibility settings per program, which other tables may start too. */
bool exeStillListed(int table)
{
    for (int i = 0; i < tableCount; ++i)
        if (i != table && lstrcmpiA(tableEntries[i].exePath, tableEntries[table].exePath) == 0)
            return true;
    return false;
}

/* Clears the settings of a program that no table starts any more. */
int reportCleared(const char *exePath)
{
    std::string kept, failure;
    switch (clearCompatLayers(exePath, &kept, &failure)) {
    case compatFailed:
        return refuse("%s", failure.c_str());
    case compatChanged:
        if (kept.empty())
            printf("cleared the compatibility settings of %s\n", exePath);
        else
            printf("cleared the compatibility settings of %s; kept: %s\n", exePath, kept.c_str());
        break;
    case compatUnchanged:
        break;
    }
    return statusDone;
}

/* Windows finds the settings by the program's full path: they go with the table, and stay for
   the old path too while another table still starts it. */
int reportMovedSettings(int table, const char *exePath)
{
    std::string moved, failure;
    switch (moveCompatLayers(tableEntries[table].exePath, exePath, exeStillListed(table), &moved,
                             &failure)) {
    case compatFailed:
        return refuse("%s", failure.c_str());
    case compatChanged:
        printf("    compatibility settings %s\n", moved.c_str());
        break;
    case compatUnchanged:
        break;
    }
    return statusDone;
}

}

int listCommand(int count, char **)
{
    if (count != 0)
        return refuse("list takes no arguments");
    CatalogueView view;
    readCatalogue(&view);
    for (int i = 0; i < tableCount; ++i)
        printTable(i);
    printf("%d table%s; %s.\n", tableCount, tableCount == 1 ? "" : "s",
           catalogueEndText(view).c_str());
    for (const TableValue &value : view.unread)
        printf("Not read by the shell: Table%d = \"%s\"\n", value.number, value.subkey.c_str());
    return statusDone;
}

int addCommand(int count, char **words)
{
    CatalogueView view;
    readCatalogue(&view);
    NewTable table;
    int status = readNewTable(count, words, &table);
    if (status == statusDone)
        status = checkNewTable(table);
    if (status != statusDone)
        return status;
    std::string subkey = freeSubkey(table.name);
    writeSettingString(subkey.c_str(), "Table Name", table.name);
    writeSettingString(subkey.c_str(), "Table Exe", table.exePath);
    if (table.hasPicture)
        writeSettingString(subkey.c_str(), "Table Bitmap", table.picture);
    if (table.hasId)
        writeSettingInt(subkey.c_str(), "Table Id", table.id);
    if (table.cdLabel)
        writeSettingString(subkey.c_str(), "Table CD", table.cdLabel);
    std::vector<std::string> subkeys = listedSubkeys(view);
    subkeys.push_back(subkey);
    writeTableValues(subkeys, view);
    printf("added Table%d: %s (subkey \"%s\")\n", tableCount, table.name, subkey.c_str());
    return statusDone;
}

int removeCommand(int count, char **words)
{
    if (count != 1)
        return refuse("remove needs the name of one table");
    CatalogueView view;
    int table = namedTable(words[0], &view);
    if (table < 0)
        return statusRefused;
    std::vector<std::string> subkeys = listedSubkeys(view);
    std::string removed = subkeys[table];
    subkeys.erase(subkeys.begin() + table);
    writeTableValues(subkeys, view);
    bool stillListed = false;
    for (const std::string &subkey : subkeys)
        stillListed = stillListed || lstrcmpiA(subkey.c_str(), removed.c_str()) == 0;
    if (!stillListed)
        deleteKeyTree(HKEY_CURRENT_USER, settingsPath(removed));
    char lastPlayed[textBufferSize];
    readSettingString(NULL, "Last Table Played", lastPlayed, "", textBufferSize);
    /* Restart mode would otherwise look for the removed table's executable and quietly end. */
    if (!stillListed && lstrcmpiA(lastPlayed, removed.c_str()) == 0) {
        deleteSetting(NULL, "Last Table Played");
        printf("cleared Last Table Played, which named it\n");
    }
    int status = statusDone;
    if (!exeStillListed(table))
        status = reportCleared(tableEntries[table].exePath);
    printf("removed %s (was Table%d)\n", tableEntries[table].name, table);
    return status;
}

int moveCommand(int count, char **words)
{
    if (count != 2)
        return refuse("move needs a table's name and its new position: pinballcat move NAME POSITION");
    CatalogueView view;
    int table = namedTable(words[0], &view);
    if (table < 0)
        return statusRefused;
    int position = 0;
    if (!parseNumber(words[1], &position) || position < 0 || position >= tableCount)
        return refuse("the position must be a number from 0 to %d: %s", tableCount - 1, words[1]);
    std::vector<std::string> subkeys = listedSubkeys(view);
    std::string moved = subkeys[table];
    subkeys.erase(subkeys.begin() + table);
    subkeys.insert(subkeys.begin() + position, moved);
    writeTableValues(subkeys, view);
    printf("moved %s from Table%d to Table%d\n", tableEntries[table].name, table, position);
    return statusDone;
}

int renameCommand(int count, char **words)
{
    if (count != 2)
        return refuse("rename needs the old and the new name: pinballcat rename OLD NEW");
    CatalogueView view;
    int table = namedTable(words[0], &view);
    if (table < 0)
        return statusRefused;
    int status = checkName(words[1], table);
    if (status != statusDone)
        return status;
    /* The subkey stays: "Last Table Played" and the table program itself name it. */
    writeSettingString(view.subkeys[table].c_str(), "Table Name", words[1]);
    printf("renamed Table%d from %s to %s\n", table, tableEntries[table].name, words[1]);
    return statusDone;
}

int driveCommand(int count, char **words)
{
    if (count != 2)
        return refuse("drive needs a table's name and a drive letter: pinballcat drive NAME LETTER");
    CatalogueView view;
    int table = namedTable(words[0], &view);
    if (table < 0)
        return statusRefused;
    char letter = driveLetterWord(words[1]);
    if (!letter)
        return refuse("the drive must be a letter from A to Z, as F or F: : %s", words[1]);
    const TableEntry &entry = tableEntries[table];
    if (!onLetteredDrive(entry.exePath))
        return refuse("the executable %s is on no lettered drive", entry.exePath);
    std::string exePath = onDrive(entry.exePath, letter);
    int status = checkExePath(exePath.c_str());
    if (status != statusDone)
        return status;
    const char *subkey = view.subkeys[table].c_str();
    writeSettingString(subkey, "Table Exe", exePath.c_str());
    printf("moved %s to drive %c: %s\n", entry.name, letter, exePath.c_str());
    /* A picture on the table's own drive goes with it; one elsewhere stays. */
    if (entry.bitmapPath && sameDrive(entry.bitmapPath, entry.exePath)) {
        std::string picture = onDrive(entry.bitmapPath, letter);
        writeSettingString(subkey, "Table Bitmap", picture.c_str());
        printf("    picture %s\n", picture.c_str());
    }
    return reportMovedSettings(table, exePath.c_str());
}
