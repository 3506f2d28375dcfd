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

const UINT_PTR flashTimerId = 0;
const UINT flashIntervalMs = 25;
const int designWidth = 580;
const int designHeight = 388;

UINT_PTR flashTimer = 0;

void onCreate(HWND window)
{
    flashTimer = SetTimer(window, flashTimerId, flashIntervalMs, NULL);
    loadBackgroundPicture(window);
}

void onDestroy(HWND window)
{
    if (flashTimer != 0) {
        KillTimer(window, flashTimerId);
        flashTimer = 0;
    }
    releaseMemoryPicture(&backgroundDC, &backgroundBitmap);
}

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

void onTimer(WPARAM timerId)
{
    if (timerId != flashTimerId || currentSelection == NULL || !backgroundHasFocus)
        return;
    flashFrame(currentSelection);
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

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        onCreate(window);
        break;
    case WM_DESTROY:
        onDestroy(window);
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
    case WM_TIMER:
        onTimer(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
