#include "settings/string_table.h"

#include "shell/globals.h"

#include <windows.h>

namespace {

const int ringSize = 3;
const int stringBufferSize = 256;
/* LoadStringA keeps one byte less than this limit for the terminator. */
const int loadLimit = 255;

char stringBuffers[ringSize][stringBufferSize];
int nextBuffer = 0;

}

const char *loadString(unsigned short id)
{
    char *buffer = stringBuffers[nextBuffer];
    if (LoadStringA(appInstance, id, buffer, loadLimit) == 0)
        buffer[0] = '\0';
    nextBuffer = (nextBuffer + 1) % ringSize;
    return buffer;
}
