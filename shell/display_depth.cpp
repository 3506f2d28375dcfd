#include "shell/display_depth.h"

#include <windows.h>

int readDisplayDepth(int *bitsPerPixel)
{
    HDC screen = GetDC(NULL);
    if (!screen)
        return 0;
    *bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(NULL, screen);
    return 1;
}
