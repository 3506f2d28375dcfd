#ifndef TABLEPROG_OWN_ENTRY_H
#define TABLEPROG_OWN_ENTRY_H

const int ownTextSize = 500;

/* This program's table in the shell's catalogue, found by its executable path. */
struct OwnEntry {
    int found;
    char subkey[ownTextSize];
    char name[ownTextSize];
    int tableId;
};

extern OwnEntry ownEntry;

/* Looks for the catalogue subkey whose "Table Exe" is this program; without one the name is
   the executable's file name. */
void findOwnEntry(void);

/* Full path of this program's executable. */
void ownModulePath(char *path, int size);

#endif
