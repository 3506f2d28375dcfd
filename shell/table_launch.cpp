#include "shell/table_launch.h"

#include "common/src/memory.h"
#include "settings/catalogue.h"
#include "settings/string_table.h"
#include "settings/table_disc.h"
#include "shell/elevated_start.h"
#include "shell/globals.h"
#include "shell/program_start.h"

#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

/* The longest name of an 8.3 file. */
const int shortNameLength = 12;
const UINT errorBoxFlags = MB_TASKMODAL | MB_ICONHAND;
const UINT cdPromptFlags = MB_TASKMODAL | MB_ICONEXCLAMATION | MB_OKCANCEL;

/* Shows string `textId` formatted with the arguments in a box with no owner; the answer, or 0
   when no message buffer could be had. Texts that would not fit the buffer are cut. An argument
   that is a loadString text outlives the two loads here. */
int showMessage(unsigned short textId, unsigned short captionId, UINT flags, ...)
{
    char *text = static_cast<char *>(memoryalloc(textBufferSize));
    if (!text)
        return 0;
    va_list arguments;
    va_start(arguments, flags);
    vsnprintf(text, textBufferSize, loadString(textId), arguments);
    va_end(arguments);
    int answer = MessageBoxA(NULL, text, loadString(captionId), flags);
    memoryfree(text);
    return answer;
}

/* Appends `text` when it fits whole in the buffer of `size` characters. */
bool appendWhole(char *buffer, const char *text, int size)
{
    int used = lstrlenA(buffer);
    if (used + lstrlenA(text) >= size)
        return false;
    lstrcpyA(buffer + used, text);
    return true;
}

}

int buildTableCommand(char *command, const char *exePath)
{
    if (lstrlenA(exePath) >= (int)textBufferSize)
        return 0;
    bool quote = strchr(exePath, ' ') && exePath[0] != '"';
    snprintf(command, tableCommandSize, quote ? "\"%s\"%s" : "%s%s", exePath, movieSwitch);
    return 1;
}

int makeModulePath(char *buffer, const char *fileName, int size)
{
    int length = (int)GetModuleFileNameA(appInstance, buffer, (DWORD)size);
    if (length == 0 || length == size)
        return 1;
    int separator = 0;
    for (int i = length - 1; i > 0; --i) {
        if (buffer[i] == '\\' || buffer[i] == ':') {
            separator = i;
            buffer[i + 1] = '\0';
            break;
        }
    }
    if (size <= separator + shortNameLength + 1 || !appendWhole(buffer, fileName, size)) {
        appendWhole(buffer, "?", size);
        return 1;
    }
    return 0;
}

/* Each retry looks at the drives again: a disc may have come into any of them. The search and
   the choice between the prompt and the report share one look. */
int checkTablePresent(const TableEntry *table, char *startPath)
{
    for (;;) {
        DiscSurvey survey;
        survey.taken = 0;
        if (locateTableFile(table, tableProgram, &survey, startPath))
            return 1;
        if (!tableOnDisc(table, &survey)) {
            showMessage(IDS_TABLE_NOT_FOUND, IDS_ERROR_CAPTION, errorBoxFlags, table->exePath);
            return 0;
        }
        const char *label = labelToShow(table->cdLabel);
        if (showMessage(IDS_INSERT_CD, IDS_TITLE, cdPromptFlags, label) != IDOK)
            return 0;
    }
}

namespace {

void reportStartFailure(const char *exePath, DWORD reason)
{
    if (reason == ERROR_FILE_NOT_FOUND || reason == ERROR_PATH_NOT_FOUND)
        showMessage(IDS_TABLE_NOT_FOUND, IDS_ERROR_CAPTION, errorBoxFlags, exePath);
    else
        showMessage(IDS_RUN_FAILED, IDS_ERROR_CAPTION, errorBoxFlags, (int)reason);
}

/* The player chose not to let it run: nothing more is said. */
TableStart startAskingPlayer(const char *command, const char *exePath)
{
    DWORD error = 0;
    ElevatedStart start = startAskingForRights(command, &error);
    if (start == elevatedStarted)
        return tableStarted;
    if (start == elevatedDeclined)
        return tableStartDeclined;
    reportStartFailure(exePath, error);
    return tableNotStarted;
}

} // namespace

/* WinExec's answer for a program that needs administrator rights says nothing of it; the
   error it leaves behind does. */
TableStart runTable(const char *exePath)
{
    char command[tableCommandSize];
    UINT result = ERROR_PATH_NOT_FOUND;
    if (buildTableCommand(command, exePath)) {
        result = startProgram(command);
        if (result < 32 && GetLastError() == elevationRequiredError)
            return startAskingPlayer(command, exePath);
    }
    if (result >= 32)
        return tableStarted;
    reportStartFailure(exePath, result);
    return tableNotStarted;
}
