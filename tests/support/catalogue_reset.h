#ifndef PINBALL_TEST_CATALOGUE_RESET_H
#define PINBALL_TEST_CATALOGUE_RESET_H

#include "common/src/memory.h"
#include "settings/catalogue.h"

#include <string.h>

// Gives back the texts of the counted records and empties the catalogue, so that each test
// loads it afresh as a new process would.
inline void resetCatalogue()
{
    for (int i = 0; i < tableCount; ++i) {
        char *texts[] = {tableEntries[i].name, tableEntries[i].bitmapPath, tableEntries[i].exePath,
                         tableEntries[i].cdLabel};
        for (char *text : texts)
            if (text)
                memoryfree(text);
    }
    memset(tableEntries, 0, sizeof tableEntries);
    tableCount = 0;
}

#endif
