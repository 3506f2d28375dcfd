#include "tools/tableprog/environment.h"

#include <stdlib.h>

DWORD environmentMs(const char *name)
{
    char text[16];
    DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return 0;
    return (DWORD)strtoul(text, NULL, 10);
}
