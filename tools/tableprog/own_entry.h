#ifndef TABLEPROG_OWN_ENTRY_H
#define TABLEPROG_OWN_ENTRY_H

#include "common/src/memory.h"

/* This program's table in the shell's catalogue, found by its executable path. */
struct OwnEntry {
    int found;
    char subkey[textBufferSize];
    char name[textBufferSize];
    int tableId;
};

extern OwnEntry ownEntry;

/* Looks for the catalogue subkey whose "Table Exe" is this program; without one the name is
   the executable's file name. */
void findOwnEntry(void);

/* Full path of this program's executable. */
void ownModulePath(char *path, int size);

#endif
