#ifndef PINBALLCAT_CATALOGUE_VIEW_H
#define PINBALLCAT_CATALOGUE_VIEW_H

#include "settings/catalogue.h"

#include <string>
#include <vector>

/* A "Table%d" value of the settings: its number and the subkey it names. */
struct TableValue {
    int number;
    std::string subkey;
};

/* The catalogue as the shell reads it (tableEntries, tableCount and catalogueEnd, filled by
   the shell's own loadCatalogue), the subkey of each table, and the "Table%d" values that the
   shell never reads because the list ended before them. */
struct CatalogueView {
    std::string subkeys[maxTables];
    std::vector<TableValue> unread;
};

/* Loads the catalogue once per run of the tool. */
void readCatalogue(CatalogueView *view);

/* The table whose name is `name` (compared without regard to case), or -1. */
int findTable(const char *name);

/* Loads the catalogue and finds the table named `name`; -1 after refusing. */
int namedTable(const char *name, CatalogueView *view);

/* Why the list ends where it does, in a sentence. */
std::string catalogueEndText(const CatalogueView &view);

/* A name for a GetDriveTypeA answer. */
const char *driveTypeName(unsigned int driveType);

/* The registry path of the settings key, or of one of its subkeys, below HKEY_CURRENT_USER. */
std::string settingsPath(const std::string &subkey);

#endif
