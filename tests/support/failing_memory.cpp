#include "tests/support/failing_memory.h"

#include "common/src/memory.h"

#include <stdio.h>
#include <stdlib.h>

const unsigned char nearBlockTag = 0x5A;
const unsigned char farBlockTag = 0xA5;

namespace {
int allocationsLeft = -1;
int liveBlocks = 0;
}

void failAllocationsAfter(int count)
{
    allocationsLeft = count;
}

int blocksInUse()
{
    return liveBlocks;
}

void *memoryalloc(unsigned long size)
{
    if (allocationsLeft == 0)
        return NULL;
    if (allocationsLeft > 0)
        --allocationsLeft;
    ++liveBlocks;
    return malloc(size ? size : 1);
}

void memoryfree(void *block)
{
    if (!block)
        reportAssertion("freeing NULL", "failing_memory", 0);
    --liveBlocks;
    free(block);
}

void reportAssertion(const char *expression, const char *file, long line)
{
    fprintf(stderr, "%s in %s, at line %ld\n", expression, file, line);
    abort();
}
