#include "tests/support/fixed_display_depth.h"

#include "shell/display_depth.h"

namespace {
int fixedDepth = 8;
}

void setDisplayDepth(int bitsPerPixel)
{
    fixedDepth = bitsPerPixel;
}

int readDisplayDepth(int *bitsPerPixel)
{
    if (fixedDepth == unknownDisplayDepth)
        return 0;
    *bitsPerPixel = fixedDepth;
    return 1;
}
