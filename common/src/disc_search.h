#ifndef PINBALL_DISC_SEARCH_H
#define PINBALL_DISC_SEARCH_H

#include <windows.h>

/* Finding a table's disc in whichever drive holds it: players mount a copy of the disc as an
   image, and it gets whatever drive letter is free. */

/* The removable and CD-ROM drives as looked at once: their letters in order and the labels
   of the volumes in them. Looking costs a call to the drive, so one survey serves every table
   of a window; a retry makes a new one, since a disc may have come or gone. */
struct DiscDrive {
    char letter;
    int labelKnown;
    char label[MAX_PATH + 1];
};

struct DiscSurvey {
    int count;
    DiscDrive drives[26];
};

/* Fills `survey` with the removable and CD-ROM drives of the system, A: to Z:. */
void surveyDiscDrives(DiscSurvey *survey);

/* The survey made when first asked for since it was last forgotten: a window's pictures all
   take the same one. */
const DiscSurvey *keptDiscSurvey(void);
void forgetDiscSurvey(void);

/* 1 when `path` names a removable or CD-ROM drive by its letter ("E:\..."). */
int pathOnDiscDrive(const DiscSurvey *survey, const char *path);

/* Looks for `path` with only its drive letter changed, on every other drive of `survey` in
   letter order, and leaves `path` naming the first that holds the file. With a `label`, the
   volume's label must be the same, compared without regard to case; with NULL the path alone
   decides. 1 when found; 0, with `path` as it was, when no drive has it. */
int moveToOtherDisc(const DiscSurvey *survey, char *path, const char *label);

#endif
