#ifndef PINBALL_TABLE_DISC_H
#define PINBALL_TABLE_DISC_H

#include "common/src/disc_search.h"

struct TableEntry;

/* Where a table's files are taken from: the shell's window, its pictures, restart mode and the
   catalogue tool all ask here. */

enum TableFile { tableProgram, tablePicture };

/* 1 when the executable of `table` lies on a disc, which may be out: its path names by its
   letter a removable or CD-ROM drive, or a drive that does not exist (its disc may be mounted
   under another). Asked of the drives as they are, through `survey` as locateTableFile takes
   it, so that the search for a disc and the choice between asking for it and reporting the
   table missing give one answer. */
int tableOnDisc(const TableEntry *table, DiscSurvey *survey);

/* Where `which` file of `table` is to be taken from now: its recorded path while the file is
   there; else, when that path lies on a disc (a removable or CD-ROM drive, or a drive that no
   longer exists), the same path on the first other drive in letter order that holds it on a
   disc with the table's label (any disc for the default label). `survey` is the look at the
   drives that this answer shares with others, taken here when first needed; NULL looks now.
   1 with the path in `found` (of textBufferSize characters); 0 when the file is nowhere, or the
   table has no such file, `found` then left as it was. */
int locateTableFile(const TableEntry *table, TableFile which, DiscSurvey *survey, char *found);

#endif
