#include "common/src/memory.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

const unsigned char nearBlockTag = 0x5A;
const unsigned char farBlockTag = 0xA5;

namespace {

/* Requests from this size on are tagged as far blocks. */
const unsigned long farBlockThreshold = 65500;
const int assertionExitStatus = -1234;
const char moduleName[] = "common\\src\\memory";

/* The report names the lines of the checks as they have always been reported. */
const long nullCheckLine = 164;
const long nearCheckLine = 180;
const long farCheckLine = 189;
const long tagCheckLine = 194;

const unsigned char fixedHeaderBytes[3] = {0xAA, 0x55, 0xAA};

bool fixedBytesIntact(const unsigned char *header)
{
    return header[1] == fixedHeaderBytes[0] && header[2] == fixedHeaderBytes[1] &&
           header[3] == fixedHeaderBytes[2];
}

}

void *memoryalloc(unsigned long size)
{
    unsigned char tag = size < farBlockThreshold ? nearBlockTag : farBlockTag;
    if (size > 0xFFFFFFFFul - 4)
        return NULL;
    unsigned char *block = static_cast<unsigned char *>(malloc(size + 4));
    if (!block)
        return NULL;
    block[0] = tag;
    block[1] = fixedHeaderBytes[0];
    block[2] = fixedHeaderBytes[1];
    block[3] = fixedHeaderBytes[2];
    return block + 4;
}

void memoryfree(void *block)
{
    if (!block)
        reportAssertion("0&&\"freeing NULL!\"", moduleName, nullCheckLine);
    unsigned char *header = static_cast<unsigned char *>(block) - 4;
    if (header[0] == nearBlockTag) {
        if (!fixedBytesIntact(header))
            reportAssertion("0 && \"corrupted memory header on free\"", moduleName, nearCheckLine);
    } else if (header[0] == farBlockTag) {
        if (!fixedBytesIntact(header))
            reportAssertion("0 && \"corrupted memory header on farfree\"", moduleName, farCheckLine);
    } else {
        reportAssertion("0 && \"corrupted memory header on memoryfree\"", moduleName, tagCheckLine);
    }
    free(header);
}

void reportAssertion(const char *expression, const char *file, long line)
{
    char text[1000];
    snprintf(text, sizeof text, "%s in file %s, at line %ld", expression, file, line);
    MessageBoxA(NULL, text, "Assertion Failed", MB_OK | MB_TASKMODAL);
    exit(assertionExitStatus);
}
