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

#endif
