#include "shell/restart_mode.h"

#include "common/src/memory.h"
#include "settings/catalogue.h"
#include "settings/settings_store.h"
#include "settings/table_disc.h"
#include "shell/table_launch.h"

#include <windows.h>

namespace {

/* How often a waiting queue is looked at again when nothing new arrives. */
const DWORD queuePollMs = 20;

/* Ends restart mode: the buffers and the settings store are given back. */
StepOutcome endRestart(char *exePath, char *tableKey)
{
    if (tableKey)
        memoryfree(tableKey);
    if (exePath)
        memoryfree(exePath);
    releaseSettings();
    return runEnds;
}

/* Where the table is started from, asked as the window asks: its recorded path while the file
   is there, else its disc in another drive than the one the path names. Without memory for the
   label it is started where it was. */
void locateLastTable(const char *tableKey, char *exePath)
{
    char *label = static_cast<char *>(memoryalloc(textBufferSize));
    if (!label)
        return;
    readSettingString(tableKey, "Table CD", label, unknownCdLabel, textBufferSize);
    TableEntry table = {};
    table.exePath = exePath;
    table.cdLabel = label;
    locateTableFile(&table, tableProgram, NULL, exePath);
    memoryfree(label);
}

}

StepOutcome runRestartMode(void)
{
    char *exePath = static_cast<char *>(memoryalloc(textBufferSize));
    if (!exePath)
        return endRestart(NULL, NULL);
    char *tableKey = static_cast<char *>(memoryalloc(textBufferSize));
    if (!tableKey)
        return endRestart(exePath, NULL);
    readSettingString(NULL, "Last Table Played", tableKey, "", textBufferSize);
    if (!tableKey[0]) {
        memoryfree(tableKey);
        memoryfree(exePath);
        return runGoesOn;
    }
    readSettingString(tableKey, "Table Exe", exePath, "", textBufferSize);
    if (exePath[0])
        locateLastTable(tableKey, exePath);
    if (exePath[0] && runTable(exePath) == tableStarted)
        waitWhileMessageQueued(restartWaitMs);
    return endRestart(exePath, tableKey);
}

void waitWhileMessageQueued(unsigned int limitMs)
{
    /* The system's millisecond count: the multimedia timer would load its library for this. */
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        if (!PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE))
            return;
        DWORD now = GetTickCount();
        if ((LONG)now < (LONG)start || now - start >= limitMs)
            return;
        /* Sleep until something new arrives or the next look is due, instead of spinning. */
        DWORD left = limitMs - (now - start);
        MsgWaitForMultipleObjects(0, NULL, FALSE, left < queuePollMs ? left : queuePollMs,
                                  QS_ALLINPUT);
    }
}
