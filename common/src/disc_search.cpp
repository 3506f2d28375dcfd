#include "common/src/disc_search.h"

#include "common/src/drive_letter.h"
#include "common/src/open_file.h"

namespace {

bool labelMatches(const DiscDrive &drive, const char *label)
{
    return label == NULL || (drive.labelKnown && lstrcmpiA(drive.label, label) == 0);
}

} // namespace

void surveyDiscDrives(DiscSurvey *survey)
{
    survey->taken = 1;
    survey->count = 0;
    survey->present = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(survey->present & (1u << i)))
            continue;
        char root[] = {(char)('A' + i), ':', '\\', '\0'};
        UINT type = GetDriveTypeA(root);
        if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM)
            continue;
        DiscDrive &drive = survey->drives[survey->count++];
        drive.letter = root[0];
        drive.label[0] = '\0';
        drive.labelKnown = GetVolumeInformationA(root, drive.label, sizeof drive.label, NULL,
                                                 NULL, NULL, NULL, 0) != 0;
    }
}

int pathOnDiscDrive(const DiscSurvey *survey, const char *path)
{
    char letter = pathDriveLetter(path);
    if (!letter)
        return 0;
    if (!(survey->present & (1u << (letter - 'A'))))
        return 1;
    for (int i = 0; i < survey->count; ++i) {
        if (survey->drives[i].letter == letter)
            return 1;
    }
    return 0;
}

int moveToOtherDisc(const DiscSurvey *survey, char *path, const char *label)
{
    char letter = pathDriveLetter(path);
    if (!letter)
        return 0;
    char recorded = path[0];
    for (int i = 0; i < survey->count; ++i) {
        const DiscDrive &drive = survey->drives[i];
        if (drive.letter == letter || !labelMatches(drive, label))
            continue;
        path[0] = drive.letter;
        if (fileExists(path))
            return 1;
    }
    path[0] = recorded;
    return 0;
}
