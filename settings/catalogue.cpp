#include "settings/catalogue.h"

TableEntry tableEntries[maxTables];
int tableCount = 0;
