#ifndef PINBALL_CATALOGUE_H
#define PINBALL_CATALOGUE_H

#include <windows.h>

/* One table of the catalogue: its registry description, then what the shell windows attach. */
struct TableEntry {
    char *name;
    char *bitmapPath;
    char *exePath;
    char *cdLabel;
    unsigned int driveType;
    HBITMAP pictureBitmap;
    HDC pictureDC;
    int position;
    int tableId;
    int frameX;
    int frameY;
    HWND frameWindow;
    HWND pictureWindow;
};

const int maxTables = 12;

extern TableEntry tableEntries[maxTables];
extern int tableCount;

/* Fills the catalogue from the "Table%d" values of the settings; called once, on an empty one. */
void loadCatalogue(void);

/* Where the root of `path` ends: past the first character and every "\" or ":" after it. */
char *driveRootEnd(char *path);
/* GetDriveTypeA for the root of `path`; the path is cut there for the call and restored. */
unsigned int probeDriveType(char *path);

#endif
