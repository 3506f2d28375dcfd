#include "ui/shell_font.h"

HFONT shellFont = NULL;

namespace {

const int designDpi = 96;

} // namespace

void makeShellFont(int scale, int systemDpi)
{
    releaseShellFont();
    if (scale <= 1)
        return;
    LOGFONTA system;
    if (GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system) != sizeof system)
        return;
    if (systemDpi <= 0)
        systemDpi = designDpi;
    // The system's font already grows with the system's DPI: its design height is taken back
    // to 96 dpi before it is multiplied.
    system.lfHeight = system.lfHeight * designDpi * scale / systemDpi;
    system.lfWidth = system.lfWidth * designDpi * scale / systemDpi;
    shellFont = CreateFontIndirectA(&system);
}

void releaseShellFont(void)
{
    if (shellFont == NULL)
        return;
    DeleteObject(shellFont);
    shellFont = NULL;
}

void applyShellFont(HWND window)
{
    if (window != NULL)
        SendMessageA(window, WM_SETFONT, (WPARAM)shellFont, TRUE);
}

HFONT selectShellFont(HDC dc)
{
    if (shellFont == NULL)
        return NULL;
    return (HFONT)SelectObject(dc, shellFont);
}
