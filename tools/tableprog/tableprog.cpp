#include "settings/settings_store.h"
#include "tools/tableprog/environment.h"
#include "tools/tableprog/own_entry.h"
#include "tools/tableprog/table_log.h"
#include "tools/tableprog/table_window.h"

#include <windows.h>

namespace {

const char settingsKey[] = "Software\\Corvane\\Vantrel2Demo";

void recordLastTablePlayed(void)
{
#ifdef TABLEPROG_WRITES_NOTHING
    return;
#endif
    if (!ownEntry.found)
        return;
    logEvent("subkey %s", ownEntry.subkey);
    writeSettingString(NULL, "Last Table Played", ownEntry.subkey);
}

/* What restoring the display mode by hand does on the way out: every top-level window is sent
   WM_DISPLAYCHANGE, and the send returns once all have answered. */
void broadcastDisplayChange(void)
{
    DWORD start = GetTickCount();
    HDC screen = GetDC(NULL);
    WPARAM bitsPerPixel = (WPARAM)GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(NULL, screen);
    SendMessageA(HWND_BROADCAST, WM_DISPLAYCHANGE, bitsPerPixel,
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    logEvent("broadcast answered in %lu ms", (unsigned long)(GetTickCount() - start));
}

/* The show command its starter passed, when it passed one (WinExec always does). */
void logShowCommand(void)
{
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    if (startup.dwFlags & STARTF_USESHOWWINDOW)
        logEvent("show %d", startup.wShowWindow);
}

void runMessageLoop(void)
{
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && handleTableKey(message.wParam))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    /* A WM_QUIT posted to the window ends GetMessageA without reaching the window. */
    if (message.message == WM_QUIT && message.hwnd)
        logEvent("WM_QUIT posted wParam=%lX lParam=%lX", (unsigned long)message.wParam,
                 (unsigned long)message.lParam);
}

}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    logEvent("start %s", GetCommandLineA());
    logShowCommand();
    setSettingsBase(settingsKey);
    findOwnEntry();
    recordLastTablePlayed();
#ifdef TABLEPROG_NO_WINDOW
    HWND window = NULL;
    (void)instance;
#else
    HWND window = createTableWindow(instance);
#endif
    if (window) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        SetForegroundWindow(window);
        /* A program that hangs while it runs: its window stops taking messages for so long. */
        Sleep(environmentMs("PINBALL_TABLE_HANG_MS"));
        runMessageLoop();
        if (IsWindow(window))
            DestroyWindow(window);
        /* A program that goes on that long once its window is gone (writing its scores,
           restoring the display mode). */
        Sleep(environmentMs("PINBALL_TABLE_RUNS_ON_MS"));
        if (environmentMs("PINBALL_TABLE_BROADCASTS_AT_END"))
            broadcastDisplayChange();
    }
    releaseSettings();
    logEvent("end");
    return 0;
}
