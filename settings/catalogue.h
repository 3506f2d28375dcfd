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

/* Why loading stopped where it did: the "Table%d" value is missing or empty, its subkey has no
   "Table Name" or no "Table Exe" (or one too long to read), the catalogue is full, or memory
   ran out. */
enum CatalogueEnd { endAtMissingValue, endAtMissingName, endAtMissingExe, endWhenFull, endOutOfMemory };
extern CatalogueEnd catalogueEnd;

/* Fills the catalogue from the "Table%d" values of the settings; called once, on an empty one. */
void loadCatalogue(void);

/* The "Table CD" of a table that names none. It is data, compared with what catalogues hold, so
   it is the same in every language; the player is shown string IDS_UNKNOWN_CD in its place. */
extern const char unknownCdLabel[];

/* The label that a table's disc must carry to be taken from another drive: its "Table CD", or
   NULL for the default label, with which the path alone decides. */
const char *labelToMatch(const char *cdLabel);
/* The label to ask the player for: the table's "Table CD", or for the default label its text in
   the player's language (a loadString text). */
const char *labelToShow(const char *cdLabel);

/* Where the root of `path` ends: past the first character and every "\" or ":" after it. */
char *driveRootEnd(char *path);
/* GetDriveTypeA for the root of `path`; the path is cut there for the call and restored. */
unsigned int probeDriveType(char *path);

#endif
