#include "tools/pinballcat/catalogue_check.h"

#include "common/src/drive_letter.h"
#include "common/src/memory.h"
#include "gfx/bitmaps.h"
#include "gfx/dib_file.h"
#include "settings/catalogue.h"
#include "settings/settings_store.h"
#include "settings/table_disc.h"
#include "tools/pinballcat/administrator_rights.h"
#include "tools/pinballcat/catalogue_view.h"
#include "tools/pinballcat/compat_layers.h"
#include "tools/pinballcat/console.h"
#include "tools/pinballcat/program_header.h"
#include "tools/pinballcat/registry_tree.h"

#include <windows.h>
#include <stdio.h>

namespace {

/* The mark at the start of each line: fine, waiting for its disc, broken. */
const char markOk[] = "ok  ";
const char markCd[] = "CD  ";
const char markBroken[] = "FAIL";

const char *refusalText(PictureRefusal refusal)
{
    switch (refusal) {
    case pictureLoaded: return "loads";
    case pictureMissing: return "is missing";
    case pictureHeaderCut: return "is refused: the file ends inside its headers";
    case pictureHeaderUnknown: return "is refused: not a bitmap (no known header)";
    case pictureColoursOutside: return "is refused: its colour table runs past the file or into the bits";
    case pictureBitsOutside: return "is refused: its pixel bits are placed outside the file";
    case pictureFormatRefused: return "is refused: a size, depth or compression the shell does not convert";
    case picturePixelsCut: return "is refused: the file ends before its pixel bits do";
    case pictureRunLengthBroken: return "is refused: broken run-length data";
    case pictureNoMemory: return "could not be read: out of memory";
    case pictureReadFailed: return "could not be read";
    case pictureNotConverted: return "could not be made a device bitmap";
    }
    return "is refused";
}

const char *placeholderText(const TableEntry &table)
{
    return tableOnDisc(&table, NULL) ? "the on-CD placeholder" : "the no-picture placeholder";
}

/* The root of the drive that `path` names, as "F:\\"; a path with no drive letter whole. */
std::string driveRoot(const char *path)
{
    char letter = pathDriveLetter(path);
    return letter ? std::string(1, letter) + ":\\" : std::string(path);
}

/* What the shell will do about the executable; the mark of the line. The header is read from
   the file that the shell would start. */
const char *checkExecutable(const TableEntry &table, std::string *text)
{
    char found[textBufferSize];
    DiscSurvey survey;
    survey.taken = 0;
    if (!locateTableFile(&table, tableProgram, &survey, found)) {
        if (!tableOnDisc(&table, &survey)) {
            *text = std::string("executable missing: ") + table.exePath;
            return markBroken;
        }
        *text = std::string("executable not there now: the shell asks for the CD labelled \"") +
                table.cdLabel + "\" in drive " + driveRoot(table.exePath);
        return markCd;
    }
    std::string why;
    if (!programRuns(found, hostArchitecture(), &why)) {
        *text = std::string("executable ") + found + " " + why;
        return markBroken;
    }
    if (lstrcmpA(found, table.exePath) == 0)
        *text = "executable found";
    else
        *text = std::string("executable found on the disc in drive ") + driveRoot(found) +
                ", which the shell starts it from: " + found + compatLeftBehindText(table, found);
    *text += administratorRightsText(found);
    return markOk;
}

/* Whether the picture loads through the shell's own loader, from where the shell takes it, or
   which placeholder shows. */
const char *checkPicture(const TableEntry &table, std::string *text)
{
    if (!table.bitmapPath) {
        *text = std::string("no picture set, shows ") + placeholderText(table);
        return markOk;
    }
    char found[textBufferSize];
    const char *path = locateTableFile(&table, tablePicture, NULL, found) ? found : table.bitmapPath;
    HBITMAP picture = loadPictureBitmap(NULL, path, 1);
    if (picture) {
        DeleteObject(picture);
        if (lstrcmpA(path, table.bitmapPath) == 0)
            *text = "picture loads";
        else
            *text = std::string("picture loads from the disc in drive ") + driveRoot(path);
        return markOk;
    }
    *text = std::string("picture ") + path + " " + refusalText(lastPictureRefusal) +
            ", shows " + placeholderText(table);
    return markBroken;
}

const char *worse(const char *mark, const char *other)
{
    if (mark == markBroken || other == markBroken)
        return markBroken;
    return mark == markCd || other == markCd ? markCd : markOk;
}

/* What restart mode will do with the table program's record; the mark of the line. */
const char *checkLastPlayed(const CatalogueView &view, std::string *text)
{
    char lastPlayed[textBufferSize];
    readSettingString(NULL, "Last Table Played", lastPlayed, "", textBufferSize);
    if (!lastPlayed[0]) {
        *text = "none recorded yet: restart shows the shell instead";
        return markOk;
    }
    *text = std::string("\"") + lastPlayed + "\"";
    for (int i = 0; i < tableCount; ++i)
        if (lstrcmpiA(view.subkeys[i].c_str(), lastPlayed) == 0) {
            *text += std::string(", Table") + std::to_string(i) + " " + tableEntries[i].name;
            return markOk;
        }
    if (!keyExists(HKEY_CURRENT_USER, settingsPath(lastPlayed))) {
        *text += ", which is no subkey: restart does nothing";
        return markBroken;
    }
    char exePath[textBufferSize];
    readSettingString(lastPlayed, "Table Exe", exePath, "", textBufferSize);
    if (!exePath[0]) {
        *text += ", which has no Table Exe: restart does nothing";
        return markBroken;
    }
    *text += std::string(", not in the list: restart runs ") + exePath;
    return markOk;
}

}

int checkCommand(int count, char **)
{
    if (count != 0)
        return refuse("check takes no arguments");
    CatalogueView view;
    readCatalogue(&view);
    bool broken = false;
    for (int i = 0; i < tableCount; ++i) {
        std::string exe, picture;
        const char *mark = worse(checkExecutable(tableEntries[i], &exe),
                                 checkPicture(tableEntries[i], &picture));
        broken = broken || mark == markBroken;
        printf("%s  Table%d %s: %s; %s\n", mark, i, tableEntries[i].name, exe.c_str(),
               picture.c_str());
    }
    for (const TableValue &value : view.unread)
        printf("%s  Table%d \"%s\": never read by the shell, as %s\n", markBroken, value.number,
               value.subkey.c_str(), catalogueEndText(view).c_str());
    broken = broken || !view.unread.empty();
    std::string last;
    const char *mark = checkLastPlayed(view, &last);
    broken = broken || mark == markBroken;
    printf("%s  Last Table Played: %s\n", mark, last.c_str());
    return broken ? statusProblem : statusDone;
}
