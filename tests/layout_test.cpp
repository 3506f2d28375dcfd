#include <gtest/gtest.h>

#include "shell/globals.h"
#include "tests/support/bitmap_files.h"
#include "tests/support/frame_places.h"
#include "ui/layout.h"
#include "ui/shell_state.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct LayoutCase {
    const char *name;
    LayoutMeasurements measured;
    int buttonWidth, buttonHeight, windowWidth, windowHeight, windowX, windowY, cancelX, okX;
};

TEST(Layout, MetricsFromMeasuredTextAndSystemMetrics)
{
    const LayoutCase cases[] = {
        {"worked example", {16, 16, 42, 16, 32, 3, 3, 640, 480, 0, 0}, 74, 24, 588, 422, 26, 29, 504, 425},
        {"measuring failed", {100, 50, 100, 50, 100, 3, 3, 640, 480, 0, 0}, 200, 75, 588, 473, 26, 3, 378, 173},
        {"13-pixel text", {16, 13, 42, 12, 32, 3, 3, 640, 480, 0, 0}, 74, 19, 588, 417, 26, 31, 504, 425},
        {"window wider than the screen", {16, 16, 42, 16, 32, 3, 3, 497, 300, 0, 0}, 74, 24, 588, 422, -45, -61, 504, 425},
    };
    for (const LayoutCase &c : cases) {
        SCOPED_TRACE(c.name);
        ShellLayout l = {};
        layoutFromMeasurements(c.measured, 1, &l);
        EXPECT_EQ(l.buttonWidth, c.buttonWidth);
        EXPECT_EQ(l.buttonHeight, c.buttonHeight);
        EXPECT_EQ(l.windowWidth, c.windowWidth);
        EXPECT_EQ(l.windowHeight, c.windowHeight);
        EXPECT_EQ(l.windowX, c.windowX);
        EXPECT_EQ(l.windowY, c.windowY);
        EXPECT_EQ(l.cancelX, c.cancelX);
        EXPECT_EQ(l.okX, c.okX);
        EXPECT_EQ(l.buttonRowY, 391);
        EXPECT_EQ(std::make_pair(l.backgroundWidth, l.backgroundHeight), std::make_pair(580, 388));
        EXPECT_EQ(std::make_pair(l.backgroundX, l.backgroundY), std::make_pair(1, 1));
        EXPECT_EQ(l.labelX, 6);
        EXPECT_EQ(l.frameBorder, 3);
        EXPECT_EQ(std::make_pair(l.pictureWidth, l.pictureHeight), std::make_pair(120, 120));
        EXPECT_EQ(std::make_pair(l.frameWidth, l.frameHeight), std::make_pair(126, 126));
    }
}

// At scale n every design size and place is n times that at 1; the buttons take the size of
// their words in the font of the scale, and the window is centred on the monitor measured.
TEST(Layout, EverythingButTheButtonsNTimesAtScaleN)
{
    for (int n : {2, 3}) {
        SCOPED_TRACE(n);
        LayoutMeasurements measured = {16 * n, 16 * n, 42 * n, 16 * n, 32 * n, 3, 3, 1920, 1080, 1280, 0};
        ShellLayout l = {};
        layoutFromMeasurements(measured, n, &l);
        EXPECT_EQ(std::make_pair(l.buttonWidth, l.buttonHeight), std::make_pair(74 * n, 24 * n));
        EXPECT_EQ(std::make_pair(l.backgroundWidth, l.backgroundHeight), std::make_pair(580 * n, 388 * n));
        EXPECT_EQ(std::make_pair(l.backgroundX, l.backgroundY), std::make_pair(n, n));
        EXPECT_EQ(std::make_pair(l.windowWidth, l.windowHeight), std::make_pair(6 + 582 * n, 6 + 416 * n));
        EXPECT_EQ(l.windowX, 1280 + (1920 - l.windowWidth) / 2);
        EXPECT_EQ(l.windowY, (1080 - l.windowHeight) / 2);
        EXPECT_EQ(l.cancelX, l.windowWidth - 10 * n - 74 * n);
        EXPECT_EQ(l.okX, l.cancelX - 5 * n - 74 * n);
        EXPECT_EQ(l.buttonRowY, 391 * n);
        EXPECT_EQ(l.labelX, 6 * n);
        EXPECT_EQ(l.frameBorder, 3 * n);
        EXPECT_EQ(std::make_pair(l.pictureWidth, l.pictureHeight), std::make_pair(120 * n, 120 * n));
        EXPECT_EQ(std::make_pair(l.frameWidth, l.frameHeight), std::make_pair(126 * n, 126 * n));
    }
}

// The display's own font and frames: "OK" 21 by 16, "Cancel" 47 by 16, four spaces 20.
TEST(Layout, ComputedOnTheTestDisplay)
{
    appInstance = GetModuleHandleA(NULL);
    layoutScale = 3;
    computeLayout();
    EXPECT_EQ(layoutScale, 1);
    EXPECT_EQ(shellLayout.buttonWidth, 67);
    EXPECT_EQ(shellLayout.buttonHeight, 24);
    EXPECT_EQ(std::make_pair(shellLayout.windowWidth, shellLayout.windowHeight), std::make_pair(588, 422));
    EXPECT_EQ(std::make_pair(shellLayout.windowX, shellLayout.windowY), std::make_pair(26, 29));
    EXPECT_EQ(shellLayout.frameWidth, 126);
}

void layOutForGrid(int tables, int scale = 1)
{
    LayoutMeasurements measured = {16, 16, 42, 16, 32, 3, 3, 640, 480, 0, 0};
    layoutScale = scale;
    layoutFromMeasurements(measured, scale, &shellLayout);
    for (TableEntry &entry : tableEntries)
        entry = TableEntry();
    tableCount = tables;
}

// At scale n each frame stands n times as far from the corner as at 1, rounding and all.
TEST(PictureGrid, FramesStandInCentredRows)
{
    backgroundWindow = NULL;
    for (int n : {1, 2, 3})
        for (const FramePlaces &c : framePlaces()) {
            SCOPED_TRACE(std::to_string(c.tables) + " tables at scale " + std::to_string(n));
            layOutForGrid(c.tables, n);
            // Without the frame class no frame can be made; the places are still computed.
            placePictureFrames();
            Positions placed, scaled;
            for (int i = 0; i < c.tables; i++) {
                placed.push_back({tableEntries[i].frameX, tableEntries[i].frameY});
                EXPECT_EQ(tableEntries[i].position, i);
                EXPECT_EQ(tableEntries[i].frameWindow, nullptr);
            }
            for (const std::pair<int, int> &corner : c.frames)
                scaled.push_back({corner.first * n, corner.second * n});
            EXPECT_EQ(placed, scaled);
        }
    layOutForGrid(0);
    placePictureFrames();
}

LRESULT CALLBACK plainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// Stands in for the shell's frame window: keeps its entry and makes a picture inside.
LRESULT CALLBACK testFrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        TableEntry *entry = (TableEntry *)((CREATESTRUCTA *)lParam)->lpCreateParams;
        SetWindowLongPtrA(window, 0, (LONG_PTR)entry);
        entry->pictureWindow = CreateWindowExA(0, "LayoutTestPicture", "", WS_CHILD | WS_VISIBLE, 3, 3, 120, 120,
                                               window, NULL, appInstance, entry);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class PictureFrames : public ::testing::Test {
protected:
    void SetUp() override
    {
        appInstance = GetModuleHandleA(NULL);
        registerClass("PinballShellPictureFrameClass", testFrameWndProc, sizeof(TableEntry *));
        registerClass("LayoutTestPicture", plainWndProc, 0);
        registerClass("LayoutTestBackground", plainWndProc, 0);
        backgroundWindow = CreateWindowExA(0, "LayoutTestBackground", "", WS_POPUP | WS_VISIBLE, 0, 0, 580, 388,
                                           NULL, NULL, appInstance, NULL);
        ASSERT_NE(backgroundWindow, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(backgroundWindow);
        backgroundWindow = NULL;
        for (TableEntry &entry : tableEntries) {
            DeleteDC(entry.pictureDC);
            DeleteObject(entry.pictureBitmap);
        }
        layOutForGrid(0);
        for (const char *name : {"PinballShellPictureFrameClass", "LayoutTestPicture", "LayoutTestBackground"})
            UnregisterClassA(name, appInstance);
    }
    static void registerClass(const char *name, WNDPROC procedure, int extraBytes)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.cbWndExtra = extraBytes;
        windowClass.hInstance = appInstance;
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }
};

RECT rectInParent(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), (POINT *)&rect, 2);
    return rect;
}

::testing::AssertionResult standsAt(HWND window, int x, int y, int width, int height)
{
    RECT r = rectInParent(window);
    if (r.left == x && r.top == y && r.right - r.left == width && r.bottom - r.top == height)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at (" << r.left << ", " << r.top << ") " << r.right - r.left << " by "
                                         << r.bottom - r.top;
}

Bytes tinyPictureFile()
{
    Bytes file;
    put16(file, 0x4D42);
    put32(put32(put32(file, 0), 0), 0);
    for (DWORD field : {40u, 2u, 2u})
        put32(file, field);
    put16(put16(file, 1), 24);
    for (int i = 0; i < 6; i++)
        put32(file, 0);
    return putBytes(file, patternBytes(16, 1));
}

TEST_F(PictureFrames, CreatedOnTheBackgroundThenMovedAndReloaded)
{
    TempFile picture(tinyPictureFile());
    layOutForGrid(2);
    tableEntries[0].bitmapPath = (char *)picture.path.c_str();
    tableEntries[1].bitmapPath = (char *)"no_such_picture.bmp";
    tableEntries[1].name = (char *)"Gone Picture";
    placePictureFrames();
    for (int i = 0; i < 2; i++) {
        SCOPED_TRACE(i);
        TableEntry &entry = tableEntries[i];
        ASSERT_NE(entry.frameWindow, nullptr);
        EXPECT_EQ(GetParent(entry.frameWindow), backgroundWindow);
        EXPECT_EQ(GetWindowLongPtrA(entry.frameWindow, 0), (LONG_PTR)&entry);
        EXPECT_EQ((DWORD)GetWindowLongA(entry.frameWindow, GWL_STYLE), 0x52000000u);
        EXPECT_TRUE(standsAt(entry.frameWindow, entry.frameX, entry.frameY, 126, 126));
        ASSERT_NE(entry.pictureWindow, nullptr);
    }
    EXPECT_EQ(tableEntries[1].frameX, 343);

    // As after a display change: windows out of place, and a stale picture on the second.
    for (int i = 0; i < 2; i++) {
        MoveWindow(tableEntries[i].frameWindow, 0, 0, 10, 10, FALSE);
        MoveWindow(tableEntries[i].pictureWindow, 0, 0, 5, 5, FALSE);
    }
    HDC screen = GetDC(NULL);
    HBITMAP stale = CreateCompatibleBitmap(screen, 4, 4);
    tableEntries[1].pictureBitmap = stale;
    tableEntries[1].pictureDC = CreateCompatibleDC(screen);
    SelectObject(tableEntries[1].pictureDC, stale);
    ReleaseDC(NULL, screen);
    HWND firstFrame = tableEntries[0].frameWindow;

    placePictureFrames();
    EXPECT_EQ(tableEntries[0].frameWindow, firstFrame);
    for (int i = 0; i < 2; i++) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(standsAt(tableEntries[i].frameWindow, tableEntries[i].frameX, tableEntries[i].frameY, 126, 126));
        EXPECT_TRUE(standsAt(tableEntries[i].pictureWindow, 3, 3, 120, 120));
    }
    ASSERT_NE(tableEntries[0].pictureBitmap, nullptr);
    ASSERT_NE(tableEntries[0].pictureDC, nullptr);
    EXPECT_EQ(GetCurrentObject(tableEntries[0].pictureDC, OBJ_BITMAP), (HGDIOBJ)tableEntries[0].pictureBitmap);
    BITMAP info;
    ASSERT_EQ(GetObjectA(tableEntries[0].pictureBitmap, sizeof info, &info), (int)sizeof info);
    EXPECT_EQ(std::make_pair(info.bmWidth, info.bmHeight), std::make_pair(2L, 2L));
    // A table without its picture file gets the placeholder again, as at its creation.
    ASSERT_NE(tableEntries[1].pictureDC, nullptr);
    EXPECT_EQ(GetCurrentObject(tableEntries[1].pictureDC, OBJ_BITMAP), (HGDIOBJ)tableEntries[1].pictureBitmap);
    ASSERT_EQ(GetObjectA(tableEntries[1].pictureBitmap, sizeof info, &info), (int)sizeof info);
    EXPECT_EQ(std::make_pair(info.bmWidth, info.bmHeight), std::make_pair(120L, 120L));
    EXPECT_EQ(GetObjectType(stale), 0u) << "the stale picture was not released";
}

} // namespace
