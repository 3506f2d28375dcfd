#include "tools/tableprog/table_log.h"

#include <windows.h>

#include <stdarg.h>

namespace {

/* wvsprintfA writes at most 1024 characters; two more for the line end. */
const int logLineSize = 1024 + 2;

}

void logEvent(const char *format, ...)
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("PINBALL_TABLE_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    char line[logLineSize];
    va_list arguments;
    va_start(arguments, format);
    int used = wvsprintfA(line, format, arguments);
    va_end(arguments);
    if (used < 0)
        used = 0;
    line[used++] = '\r';
    line[used++] = '\n';
    /* Opened for each line so that every line is on disk at once, also when several table
       programs share the file. */
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)used, &written, NULL);
    CloseHandle(file);
}
