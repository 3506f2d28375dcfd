#include "ui/background_window.h"

#include "gfx/bitmaps.h"
#include "gfx/shell_palette.h"
#include "settings/catalogue.h"
#include "ui/layout.h"
#include "ui/memory_picture.h"
#include "ui/shell_state.h"
#include "ui/shell_windows.h"

HBITMAP backgroundBitmap = NULL;
HDC backgroundDC = NULL;
int backgroundHasFocus = 0;

namespace {

const int designWidth = 580;
const int designHeight = 388;

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
                           backgroundDC, backgroundBitmap, designWidth * layoutScale,
                           designHeight * layoutScale);
    }
    EndPaint(window, &paint);
}

/* Every arrow steps through the catalogue order and stops at both ends. */
bool onKeyDown(WPARAM key)
{
    if (key == VK_LEFT || key == VK_UP)
        stepSelection(-1);
    else if (key == VK_RIGHT || key == VK_DOWN)
        stepSelection(1);
    else
        return false;
    return true;
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
    enlargeMemoryPicture(&backgroundDC, &backgroundBitmap, layoutScale);
    ReleaseDC(window, windowDC);
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
