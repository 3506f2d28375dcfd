#include "ui/layout.h"

#include "common/src/disc_search.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "ui/picture_windows.h"
#include "ui/shell_state.h"
#include "ui/window_classes.h"

ShellLayout shellLayout;
float layoutScale = 1.0f;

const GridRow GridLayoutTable[maxTables] = {
    {1, {1, 0, 0}}, {1, {2, 0, 0}}, {1, {3, 0, 0}}, {2, {2, 2, 0}},
    {2, {3, 2, 0}}, {2, {3, 3, 0}}, {3, {3, 3, 1}}, {3, {3, 3, 2}},
    {3, {3, 3, 3}}, {3, {4, 4, 2}}, {3, {4, 4, 3}}, {3, {4, 4, 4}},
};

namespace {

const int designBackgroundWidth = 580;
const int designBackgroundHeight = 388;
const int designFrameBorder = 3;
const int designPictureSide = 120;
const int unmeasuredWidth = 100;
const int unmeasuredHeight = 50;

int scaled(int design, float scale)
{
    return (int)(design * scale);
}

int larger(int a, int b)
{
    return a > b ? a : b;
}

HWND createFrameWindow(TableEntry &entry)
{
    return CreateWindowExA(0, pictureFrameClassName, "",
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, entry.frameX, entry.frameY,
                           shellLayout.frameWidth, shellLayout.frameHeight, backgroundWindow, NULL,
                           appInstance, &entry);
}

void moveFrameWindow(TableEntry &entry)
{
    const ShellLayout &l = shellLayout;
    MoveWindow(entry.frameWindow, entry.frameX, entry.frameY, l.frameWidth, l.frameHeight, TRUE);
    MoveWindow(entry.pictureWindow, l.frameBorder, l.frameBorder, l.pictureWidth, l.pictureHeight, TRUE);
    loadTablePicture(entry.pictureWindow, entry);
}

} // namespace

void measureText(const char *text, int *width, int *height)
{
    *width = unmeasuredWidth;
    *height = unmeasuredHeight;
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    if (dc == NULL)
        return;
    SIZE extent;
    if (GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent)) {
        *width = extent.cx;
        *height = extent.cy;
    }
    ReleaseDC(desktop, dc);
}

void layoutFromMeasurements(const LayoutMeasurements &m, float scale, ShellLayout *layout)
{
    ShellLayout &l = *layout;
    l.buttonHeight = larger(m.okHeight, m.cancelHeight);
    l.buttonWidth = larger(m.okWidth, m.cancelWidth);
    l.buttonHeight += l.buttonHeight / 2;
    l.buttonWidth += m.spacesWidth;
    l.backgroundWidth = scaled(designBackgroundWidth, scale);
    l.backgroundHeight = scaled(designBackgroundHeight, scale);
    l.windowWidth = 2 * m.dialogFrameX + l.backgroundWidth + 2;
    l.windowHeight = 2 * m.dialogFrameY + l.buttonHeight + l.backgroundHeight + 4;
    l.windowX = (m.screenWidth - l.windowWidth) / 2;
    l.windowY = (m.screenHeight - l.windowHeight) / 2;
    l.backgroundX = 1;
    l.backgroundY = 1;
    l.labelX = 6;
    // Client coordinates taken from the outer width: Cancel ends 10 - 2 frames from the edge.
    l.cancelX = l.windowWidth - 10 - l.buttonWidth;
    l.okX = l.cancelX - 5 - l.buttonWidth;
    l.buttonRowY = l.backgroundY + l.backgroundHeight + 2;
    l.frameBorder = scaled(designFrameBorder, scale);
    l.pictureWidth = scaled(designPictureSide, scale);
    l.pictureHeight = scaled(designPictureSide, scale);
    l.frameWidth = 2 * l.frameBorder + l.pictureWidth;
    l.frameHeight = 2 * l.frameBorder + l.pictureHeight;
}

void computeLayout()
{
    LayoutMeasurements m;
    int spacesHeight;
    measureText(loadString(IDS_OK), &m.okWidth, &m.okHeight);
    measureText(loadString(IDS_CANCEL), &m.cancelWidth, &m.cancelHeight);
    measureText("    ", &m.spacesWidth, &spacesHeight);
    m.dialogFrameX = GetSystemMetrics(SM_CXDLGFRAME);
    m.dialogFrameY = GetSystemMetrics(SM_CYDLGFRAME);
    m.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    m.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    layoutScale = 1.0f;
    layoutFromMeasurements(m, layoutScale, &shellLayout);
}

void placePictureFrames()
{
    int n = tableCount;
    if (n < 1 || n > maxTables)
        return;
    // The pictures of this placing look at the drives afresh, once for all of them, and only
    // when one of them is missing where its path says.
    DiscSurvey survey;
    survey.taken = 0;
    pictureDiscSurvey = &survey;
    const GridRow &grid = GridLayoutTable[n - 1];
    const ShellLayout &l = shellLayout;
    int columns = grid.picturesInRow[0];
    int hGap = (l.backgroundWidth - columns * l.pictureWidth) / (columns + 1);
    int vGap = (l.backgroundHeight - grid.rowCount * l.pictureHeight) / (grid.rowCount + 1);
    int top = (l.backgroundHeight - ((l.pictureHeight + vGap) * grid.rowCount - vGap)) / 2;
    int rowLeft = 0;
    for (int i = 0; i < n; i++) {
        int row = i / columns;
        int col = i % columns;
        // Each row is centred by itself, with the gap of the first row.
        if (col == 0)
            rowLeft = (l.backgroundWidth - (grid.picturesInRow[row] * (l.pictureWidth + hGap) - hGap)) / 2;
        TableEntry &entry = tableEntries[i];
        entry.frameX = (l.pictureWidth + hGap) * col + rowLeft - l.frameBorder;
        entry.frameY = (l.pictureHeight + vGap) * row + top - l.frameBorder;
        entry.position = i;
        if (entry.frameWindow == NULL)
            entry.frameWindow = createFrameWindow(entry);
        else
            moveFrameWindow(entry);
    }
    pictureDiscSurvey = NULL;
}
