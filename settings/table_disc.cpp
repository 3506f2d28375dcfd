#include "settings/table_disc.h"

#include "common/src/memory.h"
#include "common/src/open_file.h"
#include "settings/catalogue.h"

namespace {

/* The survey to ask: the caller's, taken now when it is not yet, or `own` when it has none. */
DiscSurvey *takenSurvey(DiscSurvey *survey, DiscSurvey *own)
{
    if (survey == NULL) {
        own->taken = 0;
        survey = own;
    }
    if (!survey->taken)
        surveyDiscDrives(survey);
    return survey;
}

}

int tableOnDisc(const TableEntry *table, DiscSurvey *survey)
{
    DiscSurvey own;
    return table->exePath != NULL && pathOnDiscDrive(takenSurvey(survey, &own), table->exePath);
}

int locateTableFile(const TableEntry *table, TableFile which, DiscSurvey *survey, char *found)
{
    const char *path = which == tableProgram ? table->exePath : table->bitmapPath;
    if (path == NULL || lstrlenA(path) >= (int)textBufferSize)
        return 0;
    char moved[textBufferSize];
    lstrcpyA(moved, path);
    if (!fileExists(path)) {
        DiscSurvey own;
        survey = takenSurvey(survey, &own);
        if (!pathOnDiscDrive(survey, moved) ||
            !moveToOtherDisc(survey, moved, labelToMatch(table->cdLabel)))
            return 0;
    }
    lstrcpyA(found, moved);
    return 1;
}
