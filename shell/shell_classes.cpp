#include "shell/shell_classes.h"

#include "shell/globals.h"
#include "shell/names.h"
#include "ui/background_window.h"
#include "ui/main_window.h"
#include "ui/picture_windows.h"
#include "ui/window_classes.h"

unsigned int registeredClasses = 0;

namespace {

struct ShellClass {
    unsigned int bit;
    const char *name;
    WNDPROC procedure;
    UINT style;
    int windowExtraBytes;
    int brush;
    const char *icon;
};

/* Frames and pictures keep the address of their table in their extra bytes, as wide as a
   pointer. A frame has a DC of its own, which the flash paints into at every tick. */
const int tableAddressBytes = sizeof(TableEntry *);
const ShellClass shellClasses[] = {
    {1, shellClassName, MainWndProc, 0, 0, LTGRAY_BRUSH, "ICON_1"},
    {2, backgroundClassName, BackgroundWndProc, 0, 0, BLACK_BRUSH, NULL},
    {4, pictureFrameClassName, PictureFrameWndProc, CS_OWNDC, tableAddressBytes, DKGRAY_BRUSH, NULL},
    {8, pictureClassName, PictureWndProc, CS_DBLCLKS, tableAddressBytes, GRAY_BRUSH, NULL},
};

ATOM registerShellClass(const ShellClass &shellClass, HCURSOR arrow)
{
    WNDCLASSA windowClass = {};
    windowClass.style = shellClass.style;
    windowClass.lpfnWndProc = shellClass.procedure;
    windowClass.cbWndExtra = shellClass.windowExtraBytes;
    windowClass.hInstance = appInstance;
    windowClass.hIcon = shellClass.icon ? LoadIconA(appInstance, shellClass.icon) : NULL;
    windowClass.hCursor = arrow;
    windowClass.hbrBackground = (HBRUSH)GetStockObject(shellClass.brush);
    windowClass.lpszClassName = shellClass.name;
    return RegisterClassA(&windowClass);
}

} // namespace

int registerShellClasses(void)
{
    // One shared cursor for all four: asked for once.
    HCURSOR arrow = LoadCursorA(NULL, IDC_ARROW);
    for (const ShellClass &shellClass : shellClasses) {
        if (!registerShellClass(shellClass, arrow)) {
            unregisterShellClasses();
            return 0;
        }
        registeredClasses |= shellClass.bit;
    }
    return 1;
}

void unregisterShellClasses(void)
{
    for (const ShellClass &shellClass : shellClasses) {
        if (!(registeredClasses & shellClass.bit))
            continue;
        UnregisterClassA(shellClass.name, appInstance);
        registeredClasses &= ~shellClass.bit;
    }
}
