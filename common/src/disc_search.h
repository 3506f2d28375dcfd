#ifndef PINBALL_DISC_SEARCH_H
#define PINBALL_DISC_SEARCH_H

#include <windows.h>

/* Finding a table's disc in whichever drive holds it: players mount a copy of the disc as an
   image, and it gets whatever drive letter is free, while the drive that the table was
   installed from is often gone. */

/* A volume label has at most 32 characters, but GetVolumeInformationA answers in bytes of the
   code page: two a character in a double-byte one, more in UTF-8. MAX_PATH + 1 bytes hold the
   largest answer it gives; a label cut short would match no table's. */
const int volumeLabelSize = MAX_PATH + 1;

/* The removable and CD-ROM drives as looked at once: their letters in order and the labels
   of the volumes in them, and which drive letters exist at all. Looking costs a call to each
   drive, so one survey serves every table of a window; a retry makes a new one, since a disc
   may have come or gone. The survey is taken when a search first needs it: one that is not
   yet taken has `taken` 0. It lives where it is used, never in the program's file. */
struct DiscDrive {
    char letter;
    char labelKnown;
    char label[volumeLabelSize];
};

struct DiscSurvey {
    int taken;
    DWORD present;
    int count;
    DiscDrive drives[26];
};

/* Fills `survey` with the removable and CD-ROM drives of the system, A: to Z:. */
void surveyDiscDrives(DiscSurvey *survey);

/* 1 when `path` names by its letter ("E:\...") a removable or CD-ROM drive, or a drive that
   does not exist (the disc it held now turns up under another letter). */
int pathOnDiscDrive(const DiscSurvey *survey, const char *path);

/* Looks for `path` with only its drive letter changed, on every other drive of `survey` in
   letter order, and leaves `path` naming the first that holds the file. With a `label`, the
   volume's label must be the same, compared without regard to case; with NULL the path alone
   decides. 1 when found; 0, with `path` as it was, when no drive has it. */
int moveToOtherDisc(const DiscSurvey *survey, char *path, const char *label);

#endif
