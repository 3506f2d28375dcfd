#include "shell/command_line.h"

#include "shell/globals.h"

#include <stdio.h>
#include <string.h>

namespace {

const char *afterWord(const char *commandLine, const char *word)
{
    const char *found = strstr(commandLine, word);
    return found ? found + strlen(word) : NULL;
}

}

int hasWord(const char *commandLine, const char *word)
{
    return strstr(commandLine, word) != NULL;
}

int readHexAfterWord(const char *commandLine, const char *word, unsigned long *value)
{
    const char *number = afterWord(commandLine, word);
    return number && sscanf(number, "%lX", value) == 1;
}

int readDecimalAfterWord(const char *commandLine, const char *word, int *value)
{
    const char *number = afterWord(commandLine, word);
    return number && sscanf(number, "%d", value) == 1;
}

unsigned long confirmValue(unsigned long selectValue)
{
    /* unsigned long has 32 bits on Windows, so each product keeps the low 32 bits. */
    unsigned long power = 1;
    for (int factor = 0; factor < 7; ++factor)
        power *= selectValue;
    return power;
}

CallerWords readCallerWords(const char *commandLine)
{
    if (!hasWord(commandLine, "select="))
        return noCaller;
    playLogoMovie = 0;
    if (!hasWord(commandLine, "confirm="))
        return callerWithoutConfirm;
    unsigned long select = 0;
    unsigned long confirm = 0;
    int haveSelect = readHexAfterWord(commandLine, "select=", &select);
    if (haveSelect)
        callerWindow = (HWND)(ULONG_PTR)select;
    if (!haveSelect || !readHexAfterWord(commandLine, "confirm=", &confirm) ||
        confirm != confirmValue(select))
        return callerMismatch;
    int tableId = 0;
    if (readDecimalAfterWord(commandLine, "tid=", &tableId))
        preselectTableId = (short)(unsigned short)tableId;
    return callerAccepted;
}
