#include "ui/layout.h"

#include "common/src/disc_search.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "ui/picture_windows.h"
#include "ui/shell_font.h"
#include "ui/shell_state.h"
#include "ui/window_classes.h"
#include "ui/window_scale.h"

ShellLayout shellLayout;
int layoutScale = 1;

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
    HFONT replaced = selectShellFont(dc);
    SIZE extent;
    if (GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent)) {
        *width = extent.cx;
        *height = extent.cy;
    }
    if (replaced != NULL)
        SelectObject(dc, replaced);
    ReleaseDC(desktop, dc);
}

void layoutFromMeasurements(const LayoutMeasurements &m, int n, ShellLayout *layout)
{
    ShellLayout &l = *layout;
    l.buttonHeight = larger(m.okHeight, m.cancelHeight);
    l.buttonWidth = larger(m.okWidth, m.cancelWidth);
    l.buttonHeight += l.buttonHeight / 2;
    l.buttonWidth += m.spacesWidth;
    l.backgroundWidth = designBackgroundWidth * n;
    l.backgroundHeight = designBackgroundHeight * n;
    l.windowWidth = 2 * m.dialogFrameX + l.backgroundWidth + 2 * n;
    l.windowHeight = 2 * m.dialogFrameY + l.buttonHeight + l.backgroundHeight + 4 * n;
    l.windowX = m.screenX + (m.screenWidth - l.windowWidth) / 2;
    l.windowY = m.screenY + (m.screenHeight - l.windowHeight) / 2;
    l.backgroundX = n;
    l.backgroundY = n;
    l.labelX = 6 * n;
    // Client coordinates taken from the outer width: Cancel ends 10 - 2 frames from the edge.
    l.cancelX = l.windowWidth - 10 * n - l.buttonWidth;
    l.okX = l.cancelX - 5 * n - l.buttonWidth;
    l.buttonRowY = l.backgroundY + l.backgroundHeight + 2 * n;
    l.frameBorder = designFrameBorder * n;
    l.pictureWidth = designPictureSide * n;
    l.pictureHeight = designPictureSide * n;
    l.frameWidth = 2 * l.frameBorder + l.pictureWidth;
    l.frameHeight = 2 * l.frameBorder + l.pictureHeight;
}

namespace {

void measureAtScale(int scale, int dpiOfSystem, const RECT &screen, LayoutMeasurements *m)
{
    makeShellFont(scale, dpiOfSystem);
    int spacesHeight;
    measureText(loadString(IDS_OK), &m->okWidth, &m->okHeight);
    measureText(loadString(IDS_CANCEL), &m->cancelWidth, &m->cancelHeight);
    measureText("    ", &m->spacesWidth, &spacesHeight);
    m->dialogFrameX = GetSystemMetrics(SM_CXDLGFRAME);
    m->dialogFrameY = GetSystemMetrics(SM_CYDLGFRAME);
    m->screenX = screen.left;
    m->screenY = screen.top;
    m->screenWidth = screen.right - screen.left;
    m->screenHeight = screen.bottom - screen.top;
}

bool fitsInto(const ShellLayout &l, const RECT &area)
{
    return l.windowWidth <= area.right - area.left && l.windowHeight <= area.bottom - area.top;
}

/* A scale too large for the monitor is lowered to the largest that fits, without a word. */
void layOutOn(const ScreenPlace &place, int dpiOfSystem)
{
    for (int scale = wantedScale(readPlayerScale(), place.dpi);; --scale) {
        LayoutMeasurements m;
        measureAtScale(scale, dpiOfSystem, place.monitor, &m);
        layoutFromMeasurements(m, scale, &shellLayout);
        layoutScale = scale;
        if (scale == 1 || fitsInto(shellLayout, place.workArea))
            return;
    }
}

} // namespace

void computeLayout()
{
    int dpiOfSystem = systemDpi();
    layOutOn(screenPlaceOf(mainWindow, dpiOfSystem), dpiOfSystem);
}

void computeLayoutForDpi(int dpi)
{
    int dpiOfSystem = systemDpi();
    ScreenPlace place = screenPlaceOf(mainWindow, dpiOfSystem);
    place.dpi = dpi;
    layOutOn(place, dpiOfSystem);
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
    // Places are worked out in design pixels and then scaled, so that at every scale each
    // frame stands exactly where it stands at scale 1, times the scale.
    const int width = designBackgroundWidth, height = designBackgroundHeight;
    const int side = designPictureSide, border = designFrameBorder;
    int columns = grid.picturesInRow[0];
    int hGap = (width - columns * side) / (columns + 1);
    int vGap = (height - grid.rowCount * side) / (grid.rowCount + 1);
    int top = (height - ((side + vGap) * grid.rowCount - vGap)) / 2;
    int rowLeft = 0;
    for (int i = 0; i < n; i++) {
        int row = i / columns;
        int col = i % columns;
        // Each row is centred by itself, with the gap of the first row.
        if (col == 0)
            rowLeft = (width - (grid.picturesInRow[row] * (side + hGap) - hGap)) / 2;
        TableEntry &entry = tableEntries[i];
        entry.frameX = ((side + hGap) * col + rowLeft - border) * layoutScale;
        entry.frameY = ((side + vGap) * row + top - border) * layoutScale;
        entry.position = i;
        if (entry.frameWindow == NULL)
            entry.frameWindow = createFrameWindow(entry);
        else
            moveFrameWindow(entry);
    }
    pictureDiscSurvey = NULL;
}
