#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "shell/globals.h"
#include "shell/shell_classes.h"
#include "tests/support/coarse_clock.h"
#include "ui/background_window.h"
#include "ui/frame_flash.h"
#include "ui/layout.h"
#include "ui/shell_state.h"

#include <windows.h>

#include <stdlib.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

// The flash of the selected frame, painted straight into the frame at each tick: what lands in
// the frame's pixels, here in this process with the generator's seed in the test's hands. The
// display is a 24-bit one (see CMakeLists.txt), where a pixel reads back as the colour drawn.

namespace {

const int ring = 3;
const int frameSide = 126;

COLORREF flashColour(int index)
{
    PALETTEENTRY entry;
    GetPaletteEntries((HPALETTE)GetStockObject(DEFAULT_PALETTE), index, 1, &entry);
    return RGB(entry.peRed, entry.peGreen, entry.peBlue);
}

// The colours of the ring as the frame holds them.
std::set<COLORREF> ringColours(HWND frame)
{
    std::set<COLORREF> colours;
    HDC dc = GetDC(frame);
    for (int y = 0; y < frameSide; y++)
        for (int x = 0; x < frameSide; x++)
            if (x < ring || y < ring || x >= frameSide - ring || y >= frameSide - ring)
                colours.insert(GetPixel(dc, x, y));
    ReleaseDC(frame, dc);
    return colours;
}

COLORREF pixelOf(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

std::vector<COLORREF> pictureRow(HWND picture, int y)
{
    std::vector<COLORREF> row;
    HDC dc = GetDC(picture);
    for (int x = 0; x < frameSide - 2 * ring; x++)
        row.push_back(GetPixel(dc, x, y));
    ReleaseDC(picture, dc);
    return row;
}

// Whether the screen shows `colour` at `point` once this thread's drawing has reached it: Wine
// copies a window's pixels to the screen when the thread waits for messages.
bool screenShows(POINT point, COLORREF colour)
{
    COLORREF shown = CLR_INVALID;
    for (int tries = 0; tries < 50 && shown != colour; tries++) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
        HDC screen = GetDC(NULL);
        shown = GetPixel(screen, point.x, point.y);
        ReleaseDC(NULL, screen);
    }
    return shown == colour;
}

// A seed whose first draws of rand() % 10 match `wanted`, where each value is an index into the
// draws: equal values ask for the same colour, different values for different colours.
unsigned seedDrawing(const std::vector<int> &wanted)
{
    for (unsigned seed = 1;; seed++) {
        srand(seed);
        std::vector<int> draws;
        for (size_t i = 0; i < wanted.size(); i++)
            draws.push_back(rand() % 10);
        bool matches = true;
        for (size_t i = 0; i < wanted.size(); i++)
            for (size_t j = 0; j < wanted.size(); j++)
                matches = matches && (draws[i] == draws[j]) == (wanted[i] == wanted[j]);
        if (matches)
            return seed;
    }
}

std::vector<int> drawsOf(unsigned seed, int count)
{
    srand(seed);
    std::vector<int> draws;
    for (int i = 0; i < count; i++)
        draws.push_back(rand() % 10);
    return draws;
}

// A seed whose first `count` draws of rand() % 10 each differ from the one before.
unsigned seedChangingAtEveryDraw(int count)
{
    for (unsigned seed = 1;; seed++) {
        std::vector<int> draws = drawsOf(seed, count);
        bool changing = true;
        for (int i = 1; i < count; i++)
            changing = changing && draws[i] != draws[i - 1];
        if (changing)
            return seed;
    }
}

double msNow()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return count.QuadPart * 1000.0 / frequency.QuadPart;
}

// Two tables' frames, made by the shell's own code and classes on a plain window that stands
// in for the background; the first table is selected and the background has the focus.
class FrameFlash : public ::testing::Test {
protected:
    HWND background = NULL;
    char names[2][8] = {"Alpha", "Beta"};

    void SetUp() override
    {
        appInstance = GetModuleHandleA(NULL);
        ASSERT_EQ(registerShellClasses(), 1);
        WNDCLASSA plain = {};
        plain.lpfnWndProc = DefWindowProcA;
        plain.hInstance = appInstance;
        plain.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        plain.lpszClassName = "FrameFlashTestPlain";
        ASSERT_NE(RegisterClassA(&plain), 0);
        computeLayout();
        ASSERT_EQ(shellLayout.frameWidth, frameSide);
        background = CreateWindowExA(0, "FrameFlashTestPlain", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                     shellLayout.backgroundWidth, shellLayout.backgroundHeight, NULL, NULL,
                                     appInstance, NULL);
        ASSERT_NE(background, nullptr);
        backgroundWindow = background;
        tableCount = 2;
        for (int i = 0; i < 2; i++)
            tableEntries[i].name = names[i];
        placePictureFrames();
        for (int i = 0; i < 2; i++)
            ASSERT_NE(tableEntries[i].frameWindow, nullptr);
        UpdateWindow(background);
        for (int i = 0; i < 2; i++) {
            UpdateWindow(tableEntries[i].frameWindow);
            UpdateWindow(tableEntries[i].pictureWindow);
        }
        currentSelection = &tableEntries[0];
        backgroundHasFocus = 1;
    }

    void TearDown() override
    {
        currentSelection = NULL;
        backgroundHasFocus = 0;
        for (int i = 0; i < 2; i++) {
            if (tableEntries[i].pictureWindow)
                DestroyWindow(tableEntries[i].pictureWindow);
            if (tableEntries[i].frameWindow)
                DestroyWindow(tableEntries[i].frameWindow);
            tableEntries[i] = TableEntry();
        }
        tableCount = 0;
        if (background)
            DestroyWindow(background);
        backgroundWindow = NULL;
        unregisterShellClasses();
        UnregisterClassA("FrameFlashTestPlain", appInstance);
    }

    HWND frame(int table) const { return tableEntries[table].frameWindow; }
};

TEST_F(FrameFlash, PaintsTheWholeRingInTheDrawnColourAndNothingElse)
{
    HWND picture = tableEntries[0].pictureWindow;
    std::vector<COLORREF> pictureBefore = pictureRow(picture, 60);
    const std::set<COLORREF> black = {RGB(0, 0, 0)};
    ASSERT_EQ(ringColours(frame(1)), black);
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
        SCOPED_TRACE(seed);
        int drawn = drawsOf(seed, 1)[0];
        srand(seed);
        flashFrame(&tableEntries[0]);
        EXPECT_EQ(ringColours(frame(0)), std::set<COLORREF>{flashColour(drawn)});
    }
    EXPECT_EQ(pictureRow(picture, 60), pictureBefore) << "the flash painted over the picture";
    EXPECT_EQ(ringColours(frame(1)), black) << "the flash reached another frame";
    EXPECT_EQ(pixelOf(background, frameSide + 300, 5), RGB(255, 255, 255)) << "the flash reached the background";
}

// A WM_PAINT of part of the ring (an exposure) paints that part in a colour of its own; the
// next flash covers the whole ring again, also in the colour that the flash before it drew.
TEST_F(FrameFlash, WholeRingAgainAfterAPaintOfPartOfIt)
{
    unsigned seed = seedDrawing({0, 1, 0, 2});
    std::vector<int> draws = drawsOf(seed, 4);
    srand(seed);
    flashFrame(&tableEntries[0]);
    RECT corner = {0, 0, ring, ring};
    InvalidateRect(frame(0), &corner, FALSE);
    UpdateWindow(frame(0));
    EXPECT_EQ(pixelOf(frame(0), 0, 0), flashColour(draws[1])) << "the exposed part was not painted";
    EXPECT_EQ(pixelOf(frame(0), frameSide - 1, frameSide / 2), flashColour(draws[0]));
    flashFrame(&tableEntries[0]);
    EXPECT_EQ(ringColours(frame(0)), std::set<COLORREF>{flashColour(draws[2])});
    flashFrame(&tableEntries[0]);
    EXPECT_EQ(ringColours(frame(0)), std::set<COLORREF>{flashColour(draws[3])});
}

// The DC of no window is the screen's: a selected table whose frame could not be made must
// not have the whole screen flash.
TEST_F(FrameFlash, TableWithoutAFramePaintsNothing)
{
    const POINT onBackground = {frameSide + 300, 5};
    ASSERT_TRUE(screenShows(onBackground, RGB(255, 255, 255)));
    TableEntry lone = {};
    lone.name = names[0];
    currentSelection = &lone;
    for (int i = 0; i < 10; i++)
        flashFrame(&lone);
    EXPECT_TRUE(screenShows(onBackground, RGB(255, 255, 255)));
    EXPECT_EQ(ringColours(frame(0)), std::set<COLORREF>{RGB(0, 0, 0)});
}

// Windows advances its tick count in 15.6 ms steps. A flash kept in step with a 25 ms beat
// on such a clock comes one step, 16 ms, after the one before it about one time in three; each
// flash must come 25 ms after the last one or later. The ring is watched from another thread
// every millisecond or so while this thread waits for a message, as the main loop does. The
// watcher knows each change only to lie between two of its looks, and can itself be held up:
// a pair of flashes fails when even the longest time between them that its looks allow is
// short.
TEST_F(FrameFlash, NoTwoFlashesCloserThan25MsOnAClockOf16MsSteps)
{
    struct Change {
        double after;   // the look before the one that saw it began
        double seenBy;  // the look that saw it ended
    };
    const double spanMs = 1000;
    CoarseClock coarse;
    srand(seedChangingAtEveryDraw(80));
    std::vector<Change> changes;
    std::atomic<bool> watched{false};
    DWORD waiter = GetCurrentThreadId();
    std::thread watcher([&] {
        HDC dc = GetDCEx(frame(0), NULL, DCX_CACHE);
        double lookBegan = msNow();
        COLORREF last = GetPixel(dc, 0, 0);
        for (double start = msNow(); msNow() - start < spanMs; Sleep(1)) {
            double began = msNow();
            COLORREF shown = GetPixel(dc, 0, 0);
            if (shown != last)
                changes.push_back({lookBegan, msNow()});
            last = shown;
            lookBegan = began;
        }
        ReleaseDC(frame(0), dc);
        watched = true;
        PostThreadMessageA(waiter, WM_NULL, 0, 0);
    });
    while (!watched) {
        waitForMessageWhileFlashing(INFINITE);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    watcher.join();
    ASSERT_GE(changes.size(), 20u) << "the frame did not flash";
    // The tick count's own reading rounds to the millisecond.
    const double shortestMs = 24;
    for (size_t i = 1; i < changes.size(); i++)
        EXPECT_GE(changes[i].seenBy - changes[i - 1].after, shortestMs) << "flash " << i;
}

} // namespace
