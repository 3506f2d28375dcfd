#include "ui/window_scale.h"

#include "common/src/library_function.h"
#include "settings/settings_store.h"

const char windowScaleValue[] = "Window Scale";

namespace {

const int designDpi = 96;

typedef UINT(WINAPI *DpiForWindowFunction)(HWND);

/* The window's own DPI exists from Windows 10 on: it is looked up, so that the shell still
   starts on older systems, where the system's DPI stands for every monitor's. Before the
   window exists it is to stand on the primary monitor, whose DPI is the system's. */
int monitorDpi(HWND window, int dpiOfSystem)
{
    if (window == NULL)
        return dpiOfSystem;
    DpiForWindowFunction forWindow =
        libraryFunction<DpiForWindowFunction>(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    UINT dpi = forWindow != NULL ? forWindow(window) : 0;
    return dpi > 0 ? (int)dpi : dpiOfSystem;
}

} // namespace

/* Every Windows answers this one. */
int systemDpi(void)
{
    HDC screen = GetDC(NULL);
    if (screen == NULL)
        return designDpi;
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(NULL, screen);
    return dpi > 0 ? dpi : designDpi;
}

int scaleForDpi(int dpi)
{
    int scale = (dpi + designDpi / 2) / designDpi;
    if (scale < 1)
        return 1;
    return scale > largestScale ? largestScale : scale;
}

int fixesScale(int playerScale)
{
    return playerScale >= 1 && playerScale <= largestScale;
}

int wantedScale(int playerScale, int dpi)
{
    if (fixesScale(playerScale))
        return playerScale;
    return scaleForDpi(dpi);
}

int readPlayerScale(void)
{
    return readSettingInt(NULL, windowScaleValue, 0);
}

ScreenPlace screenPlaceOf(HWND window, int dpiOfSystem)
{
    ScreenPlace place;
    // No window yet: the primary monitor, where the window is to stand.
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (monitor != NULL && GetMonitorInfoA(monitor, &info)) {
        place.monitor = info.rcMonitor;
        place.workArea = info.rcWork;
    } else {
        place.monitor = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        place.workArea = place.monitor;
    }
    place.dpi = monitorDpi(window, dpiOfSystem);
    return place;
}
