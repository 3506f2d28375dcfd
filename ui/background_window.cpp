#include "ui/background_window.h"

#include "gfx/bitmaps.h"
#include "gfx/shell_palette.h"
#include "settings/catalogue.h"
#include "ui/layout.h"
#include "ui/memory_picture.h"
#include "ui/picture_windows.h"
#include "ui/shell_state.h"
#include "ui/shell_windows.h"

HBITMAP backgroundBitmap = NULL;
HDC backgroundDC = NULL;
int backgroundHasFocus = 0;

namespace {

const DWORD flashIntervalMs = 25;
const int designWidth = 580;
const int designHeight = 388;

/* GetTickCount at which the next flash is due. */
DWORD nextFlashTick = 0;

void onSetFocus()
{
    backgroundHasFocus = 1;
    if (currentSelection == NULL && tableCount > 0)
        selectTable(&tableEntries[0]);
}

/* The selection stays; selecting it again repaints its frame in the steady colour. */
void onKillFocus()
{
    backgroundHasFocus = 0;
    TableEntry *selected = currentSelection;
    if (selected == NULL)
        return;
    currentSelection = NULL;
    selectTable(selected);
}

void onPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (backgroundDC != NULL) {
        realizeShellPalette(dc);
        paintMemoryPicture(dc, shellLayout.backgroundWidth, shellLayout.backgroundHeight,
                           backgroundDC, backgroundBitmap, designWidth, designHeight);
    }
    EndPaint(window, &paint);
}

/* Every arrow steps through the catalogue order and stops at both ends. */
bool onKeyDown(WPARAM key)
{
    int step = 0;
    if (key == VK_LEFT || key == VK_UP)
        step = -1;
    else if (key == VK_RIGHT || key == VK_DOWN)
        step = 1;
    else
        return false;
    if (currentSelection == NULL)
        return true;
    int position = currentSelection->position + step;
    if (position >= 0 && position < tableCount)
        selectTable(&tableEntries[position]);
    return true;
}

/* 0 when a flash is due, the one after it then being planned, else the ms until it is due.
   Ticks long missed (a slow message, a time without the focus) are not made up: the next one
   comes a tick from now. */
DWORD msUntilFlash()
{
    DWORD now = GetTickCount();
    DWORD left = nextFlashTick - now;
    if (left != 0 && left <= flashIntervalMs)
        return left;
    if (now - nextFlashTick >= flashIntervalMs)
        nextFlashTick = now;
    nextFlashTick += flashIntervalMs;
    return 0;
}

} // namespace

void loadBackgroundPicture(HWND window)
{
    releaseMemoryPicture(&backgroundDC, &backgroundBitmap);
    HDC windowDC = GetWindowDC(window);
    if (windowDC == NULL)
        return;
    backgroundBitmap = loadResourceBitmap(window, "bkgnd_bmp", 1);
    if (backgroundBitmap != NULL)
        backgroundDC = selectIntoMemoryDC(backgroundBitmap, windowDC);
    ReleaseDC(window, windowDC);
}

void waitForMessage(void)
{
    for (;;) {
        DWORD wait = INFINITE;
        if (currentSelection != NULL && backgroundHasFocus) {
            wait = msUntilFlash();
            if (wait == 0) {
                flashFrame(currentSelection);
                continue;
            }
        }
        if (MsgWaitForMultipleObjectsEx(0, NULL, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
            WAIT_TIMEOUT)
            return;
    }
}

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        loadBackgroundPicture(window);
        break;
    case WM_DESTROY:
        releaseMemoryPicture(&backgroundDC, &backgroundBitmap);
        return 0;
    case WM_SETFOCUS:
        onSetFocus();
        return 0;
    case WM_KILLFOCUS:
        onKillFocus();
        return 0;
    case WM_PAINT:
        onPaint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (onKeyDown(wParam))
            return 0;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
