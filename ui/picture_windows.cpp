#include "ui/picture_windows.h"

#include "common/src/memory.h"
#include "gfx/bitmaps.h"
#include "gfx/shell_palette.h"
#include "settings/catalogue.h"
#include "settings/table_disc.h"
#include "shell/globals.h"
#include "ui/frame_flash.h"
#include "ui/layout.h"
#include "ui/memory_picture.h"
#include "ui/shell_font.h"
#include "ui/shell_state.h"
#include "ui/shell_windows.h"
#include "ui/window_classes.h"

namespace {

const RECT nameTextRect = {10, 10, 110, 110};
const int designPictureSide = 120;

TableEntry *entryOf(HWND window)
{
    return reinterpret_cast<TableEntry *>(GetWindowLongPtrA(window, 0));
}

TableEntry *keepEntry(HWND window, LPARAM createParameters)
{
    TableEntry *entry =
        static_cast<TableEntry *>(reinterpret_cast<CREATESTRUCTA *>(createParameters)->lpCreateParams);
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(entry));
    return entry;
}

/* White on a black shadow one design pixel down and to the right, so that it reads on any art;
   written on the enlarged art in the font of the scale, so that it stays sharp. */
void writeName(HDC dc, const char *name)
{
    const int n = layoutScale;
    RECT area = {nameTextRect.left * n, nameTextRect.top * n, nameTextRect.right * n,
                 nameTextRect.bottom * n};
    const UINT flags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    HFONT replaced = selectShellFont(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, name, lstrlenA(name), &area, flags);
    OffsetRect(&area, -n, -n);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextA(dc, name, lstrlenA(name), &area, flags);
    if (replaced != NULL)
        SelectObject(dc, replaced);
}

bool onFrameCreate(HWND frame, LPARAM createParameters)
{
    TableEntry *entry = keepEntry(frame, createParameters);
    const ShellLayout &l = shellLayout;
    entry->pictureWindow = CreateWindowExA(0, pictureClassName, "", WS_CHILD | WS_VISIBLE,
                                           l.frameBorder, l.frameBorder, l.pictureWidth,
                                           l.pictureHeight, frame, NULL, appInstance, entry);
    return entry->pictureWindow != NULL;
}

void onFramePaint(HWND frame, const TableEntry *entry)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(frame, &paint);
    paintFrameArea(frame, dc, &paint.rcPaint, entry);
    EndPaint(frame, &paint);
}

void onPicturePaint(HWND window, const TableEntry *entry)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (entry->pictureDC != NULL) {
        realizeShellPalette(dc);
        paintMemoryPicture(dc, shellLayout.pictureWidth, shellLayout.pictureHeight,
                           entry->pictureDC, entry->pictureBitmap, designPictureSide * layoutScale,
                           designPictureSide * layoutScale);
    } else {
        selectShellFont(dc);
        TextOutA(dc, 10 * layoutScale, 10 * layoutScale, entry->name, lstrlenA(entry->name));
    }
    EndPaint(window, &paint);
}

void onPictureClick(TableEntry *entry)
{
    clearDefaultButtons();
    SetFocus(backgroundWindow);
    selectTable(entry);
}

/* The first click of the double-click has selected the table already. */
void onPictureDoubleClick(TableEntry *entry)
{
    currentSelection = entry;
    launchIfPresent();
}

} // namespace

DiscSurvey *pictureDiscSurvey = NULL;

void loadTablePicture(HWND window, TableEntry &entry)
{
    releaseMemoryPicture(&entry.pictureDC, &entry.pictureBitmap);
    HDC windowDC = GetWindowDC(window);
    if (windowDC == NULL)
        return;
    char found[textBufferSize];
    const char *path =
        locateTableFile(&entry, tablePicture, pictureDiscSurvey, found) ? found : entry.bitmapPath;
    entry.pictureBitmap = loadPictureBitmap(window, path, 1);
    bool placeholder = entry.pictureBitmap == NULL;
    if (placeholder)
        entry.pictureBitmap = loadResourceBitmap(
            window, tableOnDisc(&entry, pictureDiscSurvey) ? "pb_oncd_bmp" : "no_pb_bmp", 1);
    if (entry.pictureBitmap != NULL) {
        entry.pictureDC = selectIntoMemoryDC(entry.pictureBitmap, windowDC);
        enlargeMemoryPicture(&entry.pictureDC, &entry.pictureBitmap, layoutScale);
        if (entry.pictureDC != NULL && placeholder)
            writeName(entry.pictureDC, entry.name);
    }
    ReleaseDC(window, windowDC);
}

LRESULT CALLBACK PictureFrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TableEntry *entry = entryOf(window);
    switch (message) {
    case WM_CREATE:
        if (!onFrameCreate(window, lParam))
            return -1;
        break;
    case WM_PAINT:
        onFramePaint(window, entry);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK PictureWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TableEntry *entry = entryOf(window);
    switch (message) {
    case WM_CREATE:
        loadTablePicture(window, *keepEntry(window, lParam));
        break;
    case WM_DESTROY:
        releaseMemoryPicture(&entry->pictureDC, &entry->pictureBitmap);
        break;
    case WM_PAINT:
        onPicturePaint(window, entry);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        onPictureClick(entry);
        break;
    case WM_LBUTTONDBLCLK:
        onPictureDoubleClick(entry);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
