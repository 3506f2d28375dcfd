#include "settings/table_disc.h"

#include "common/src/memory.h"
#include "common/src/open_file.h"
#include "settings/catalogue.h"

int fileOpens(const char *path)
{
    HFILE file = openForReading(path);
    if (file == HFILE_ERROR)
        return 0;
    _lclose(file);
    return 1;
}

int locateTableFile(const TableEntry *table, TableFile which, DiscSurvey *survey, char *found)
{
    const char *path = which == tableProgram ? table->exePath : table->bitmapPath;
    if (path == NULL || lstrlenA(path) >= (int)textBufferSize)
        return 0;
    char moved[textBufferSize];
    lstrcpyA(moved, path);
    if (!fileOpens(path)) {
        DiscSurvey own;
        if (survey == NULL) {
            own.taken = 0;
            survey = &own;
        }
        if (!survey->taken)
            surveyDiscDrives(survey);
        if (!pathOnDiscDrive(survey, moved) ||
            !moveToOtherDisc(survey, moved, labelToMatch(table->cdLabel)))
            return 0;
    }
    lstrcpyA(found, moved);
    return 1;
}
