#include "tools/pinballcat/console.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int refuse(const char *format, ...)
{
    fputs("pinballcat: ", stderr);
    va_list arguments;
    va_start(arguments, format);
    vfprintf(stderr, format, arguments);
    va_end(arguments);
    fputc('\n', stderr);
    return statusRefused;
}

bool readWholeNumber(const char *word, int mostDigits, int lowest, int highest, int *number)
{
    size_t length = strlen(word);
    if (length == 0 || length > (size_t)mostDigits || strspn(word, "0123456789") != length)
        return false;
    int value = atoi(word);
    if (value < lowest || value > highest)
        return false;
    *number = value;
    return true;
}

std::string systemErrorText(LONG code)
{
    char text[256];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                                  (DWORD)code, 0, text, sizeof text, NULL);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                          text[length - 1] == '.' || text[length - 1] == ' '))
        --length;
    if (length == 0)
        return "error " + std::to_string(code);
    return std::string(text, length);
}
