#include "ui/window_scale.h"

#include "common/src/library_function.h"
#include "settings/settings_store.h"

const char windowScaleValue[] = "Window Scale";

namespace {

const int designDpi = 96;

typedef UINT(WINAPI *DpiForWindowFunction)(HWND);
typedef HRESULT(WINAPI *DpiForMonitorFunction)(HMONITOR, int, UINT *, UINT *);
const int effectiveDpi = 0;

/* The per-monitor functions exist from Windows 8.1 (the monitor's) and 10 (the window's)
   on: they are looked up, so that the shell still starts on older systems. */
int monitorDpi(HWND window, HMONITOR monitor)
{
    if (window != NULL) {
        DpiForWindowFunction forWindow =
            libraryFunction<DpiForWindowFunction>(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
        UINT dpi = forWindow != NULL ? forWindow(window) : 0;
        if (dpi > 0)
            return (int)dpi;
    }
    HMODULE shcore = LoadLibraryA("shcore.dll");
    if (shcore != NULL) {
        DpiForMonitorFunction forMonitor = libraryFunction<DpiForMonitorFunction>(shcore, "GetDpiForMonitor");
        UINT x = 0, y = 0;
        bool answered = forMonitor != NULL && forMonitor(monitor, effectiveDpi, &x, &y) == S_OK && x > 0;
        FreeLibrary(shcore);
        if (answered)
            return (int)x;
    }
    return systemDpi();
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

int wantedScale(int playerScale, int dpi)
{
    if (playerScale >= 1 && playerScale <= largestScale)
        return playerScale;
    return scaleForDpi(dpi);
}

int readPlayerScale(void)
{
    return readSettingInt(NULL, windowScaleValue, 0);
}

ScreenPlace screenPlaceOf(HWND window)
{
    ScreenPlace place;
    HMONITOR monitor = window != NULL ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                      : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (monitor != NULL && GetMonitorInfoA(monitor, &info)) {
        place.monitor = info.rcMonitor;
        place.workArea = info.rcWork;
    } else {
        place.monitor = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        place.workArea = place.monitor;
    }
    place.dpi = monitorDpi(window, monitor);
    return place;
}
