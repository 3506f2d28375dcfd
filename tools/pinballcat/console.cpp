#include "tools/pinballcat/console.h"

#include <stdarg.h>
#include <stdio.h>

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
