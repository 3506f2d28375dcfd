#include <gtest/gtest.h>

#include "tests/support/bitmap_files.h"
#include "tests/support/frame_places.h"
#include "tests/support/input.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/screen_pictures.h"
#include "tests/support/shell_session.h"
#include "tests/support/table_program.h"
#include "ui/window_scale.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// The shell's window at a whole-number scale, on a 1280 by 1024 screen at 24 bits: chosen from
// the DPI that Wine gives every program as it starts (LogPixels), or by the player.

namespace {

const DWORD waitMs = 5000;
const char desktopKey[] = "Control Panel\\Desktop";

// The desktop's DPI for the programs started while it lives; the value is removed again (or
// put back as it was) at the end.
struct ScreenDpi {
    bool had = false;
    DWORD previous = 0;
    explicit ScreenDpi(DWORD dpi)
    {
        DWORD size = sizeof previous;
        had = RegGetValueA(HKEY_CURRENT_USER, desktopKey, "LogPixels", RRF_RT_REG_DWORD, NULL, &previous,
                           &size) == ERROR_SUCCESS;
        RegSetKeyValueA(HKEY_CURRENT_USER, desktopKey, "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
    ~ScreenDpi()
    {
        if (had)
            RegSetKeyValueA(HKEY_CURRENT_USER, desktopKey, "LogPixels", REG_DWORD, &previous, sizeof previous);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, desktopKey, "LogPixels");
    }
    ScreenDpi(const ScreenDpi &) = delete;
    ScreenDpi &operator=(const ScreenDpi &) = delete;
};

TEST(ScaleChoice, NearestWholeNumberToTheDpiUnlessThePlayerChoseOne)
{
    struct Case {
        int player, dpi, scale;
    } cases[] = {
        {0, 96, 1},  {0, 120, 1}, {0, 143, 1}, {0, 144, 2}, {0, 192, 2}, {0, 239, 2},
        {0, 240, 3}, {0, 288, 3}, {0, 0, 1},   {0, 2000, 8}, {3, 96, 3}, {1, 192, 1},
        {8, 96, 8},  {9, 192, 2}, {-1, 144, 2}, {12, 96, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("player " + std::to_string(c.player) + ", dpi " + std::to_string(c.dpi));
        EXPECT_EQ(wantedScale(c.player, c.dpi), c.scale);
    }
}

// A picture whose every pixel differs from its neighbours, in the background's colours.
IndexedPicture finePicture(int width, int height)
{
    return pictureInBackgroundColours(width, height,
                                      [](int x, int y) { return x * 7 + y * 31 + x * y; });
}

// The shown pixel at (x, y) of each n by n block stands for the picture's pixel at (x / n,
// y / n), wherever `covers` says the picture lies.
template <typename Covers>
::testing::AssertionResult showsBlocks(const Capture &shown, const IndexedPicture &picture, int n,
                                       Covers covers)
{
    if (shown.width < picture.width * n || shown.height < picture.height * n)
        return ::testing::AssertionFailure() << "shown " << shown.width << " by " << shown.height;
    int wrong = 0;
    std::string first;
    for (int y = 0; y < picture.height * n; y++)
        for (int x = 0; x < picture.width * n; x++)
            if (covers(x, y) && shown.at(x, y) != picture.at(x / n, y / n) && wrong++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                        colourText(shown.at(x, y)) + ", want " + colourText(picture.at(x / n, y / n));
    if (wrong)
        return ::testing::AssertionFailure() << wrong << " pixels differ, first " << first;
    return ::testing::AssertionSuccess();
}

// The rows and columns of `shown` that hold a pixel of `ink`, as a rectangle; empty when none.
RECT inkBox(const Capture &shown, COLORREF ink)
{
    RECT box = {shown.width, shown.height, 0, 0};
    for (int y = 0; y < shown.height; y++)
        for (int x = 0; x < shown.width; x++)
            if (shown.at(x, y) == ink) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    if (box.right <= box.left)
        return RECT{0, 0, 0, 0};
    return box;
}

class ScaledShell : public ShellSession {
protected:
    // The scale the window is drawn at, read from the background's width.
    int shownScale() const
    {
        RECT place = placeInParent(background());
        return (place.right - place.left) / 580;
    }

    ::testing::AssertionResult startAt(DWORD dpi)
    {
        ScreenDpi screen(dpi);
        return startShell();
    }

    void addTables(int count, const std::string &bitmap = "")
    {
        for (int i = 0; i < count; i++)
            addTable("Table " + std::to_string(i), "C:\\Tables\\table.exe", i + 1, bitmap);
    }

    // Every place of the window is n times that at scale 1: the background, the frames and
    // their pictures, and the row of the label and the buttons below the background.
    void expectScaledPlaces(int n, const Positions &frameCorners)
    {
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, 582 * n);
        RECT place = placeInParent(background());
        EXPECT_EQ(place.left, n);
        EXPECT_EQ(place.top, n);
        EXPECT_EQ(place.right - place.left, 580 * n);
        EXPECT_EQ(place.bottom - place.top, 388 * n);
        std::vector<HWND> shown = frames();
        ASSERT_EQ(shown.size(), frameCorners.size());
        for (size_t i = 0; i < shown.size(); i++) {
            RECT frame = placeInParent(shown[i]), picture = placeInParent(pictureIn(shown[i]));
            EXPECT_EQ(frame.left, frameCorners[i].first * n) << i;
            EXPECT_EQ(frame.top, frameCorners[i].second * n) << i;
            EXPECT_EQ(frame.right - frame.left, 126 * n) << i;
            EXPECT_EQ(picture.left, 3 * n) << i;
            EXPECT_EQ(picture.right - picture.left, 120 * n) << i;
            EXPECT_EQ(picture.bottom - picture.top, 120 * n) << i;
        }
        RECT label = placeInParent(this->label()), ok = placeInParent(okButton()),
             cancel = placeInParent(cancelButton());
        EXPECT_EQ(ok.top, 391 * n);
        EXPECT_EQ(cancel.top, 391 * n);
        EXPECT_EQ(label.left, 6 * n);
        EXPECT_EQ(label.top, 393 * n);
        EXPECT_EQ(ok.left, cancel.left - 5 * n - (cancel.right - cancel.left));
        EXPECT_LE(label.right, ok.left - 5 * n);
        EXPECT_LE(cancel.right, client.right);
        EXPECT_EQ(client.bottom, ok.bottom + n) << "window " << client.right << " by " << client.bottom;
    }
};

// 96 dpi keeps the window of old; 144 (150 %) and 192 (200 %) dpi both give scale 2.
TEST_F(ScaledShell, WindowAndControlsAtEachDpi)
{
    addTables(4);
    const Positions &corners = framePlaces()[2].frames;
    ASSERT_EQ(framePlaces()[2].tables, 4);
    int buttonHeightAtOne = 0;
    struct Case {
        DWORD dpi;
        int scale;
    } cases[] = {{96, 1}, {144, 2}, {192, 2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.dpi);
        ASSERT_TRUE(startAt(c.dpi));
        ASSERT_EQ(shownScale(), c.scale);
        expectScaledPlaces(c.scale, corners);
        RECT ok = placeInParent(okButton());
        if (c.scale == 1) {
            buttonHeightAtOne = ok.bottom - ok.top;
            EXPECT_EQ(buttonHeightAtOne, 24) << "the buttons of old";
        } else {
            EXPECT_NEAR(ok.bottom - ok.top, c.scale * buttonHeightAtOne, c.scale);
        }
        endShell();
    }
}

// The player's scale goes before the DPI's; one too large for the screen is lowered to the
// largest that fits (3 does not on 1280 by 1024, 2 does), and a value that is no scale is
// passed over for the DPI's.
TEST_F(ScaledShell, PlayersScaleBeforeTheDpiLoweredToFitTheScreen)
{
    addTables(2);
    struct Case {
        DWORD player, dpi;
        int scale;
    } cases[] = {{2, 96, 2}, {1, 192, 1}, {3, 96, 2}, {8, 192, 2}, {12, 192, 2}, {0, 192, 2}};
    for (const Case &c : cases) {
        SCOPED_TRACE("player " + std::to_string(c.player) + " at " + std::to_string(c.dpi) + " dpi");
        setRegDword("", "Window Scale", c.player);
        ASSERT_TRUE(startAt(c.dpi));
        EXPECT_EQ(shownScale(), c.scale);
        RECT area;
        GetWindowRect(window, &area);
        EXPECT_GE(area.left, 0);
        EXPECT_GE(area.top, 0);
        EXPECT_LE(area.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_LE(area.bottom, GetSystemMetrics(SM_CYSCREEN));
        endShell();
    }
}

// Each pixel of the background and of a picture is drawn as an n by n block of its colour. The
// picture is larger than its slot: the part shown is drawn from the file's own pixels, each of
// which differs from its neighbours, so any blending or reduced copy would show.
TEST_F(ScaledShell, EachPixelOfTheArtIsABlockOfOneColour)
{
    IndexedPicture picture = finePicture(300, 260);
    TempFile file(bitmapFile(picture));
    addTables(1, file.path);
    ASSERT_TRUE(startAt(192));
    ASSERT_EQ(shownScale(), 2);
    IndexedPicture corner = finePicture(120, 120);
    for (int y = 0; y < 120; y++)
        for (int x = 0; x < 120; x++)
            ASSERT_EQ(corner.at(x, y), picture.at(x, y));
    HWND shownPicture = pictureIn(frames()[0]);
    auto everywhere = [](int, int) { return true; };
    EXPECT_TRUE(waitUntil([&] { return (bool)showsBlocks(captureWindow(shownPicture), corner, 2, everywhere); }, waitMs))
        << showsBlocks(captureWindow(shownPicture), corner, 2, everywhere).message();

    IndexedPicture art = resourcePicture("BKGND_BMP");
    RECT frame = placeInParent(frames()[0]);
    auto besideTheFrame = [&](int x, int y) {
        POINT at = {x, y};
        return !PtInRect(&frame, at);
    };
    Capture shown = settledWindow(background());
    EXPECT_TRUE(showsBlocks(shown, art, 2, besideTheFrame));
}

// The placeholder's art is enlarged block by block, and the name is written on it in the font
// of the scale: sharp, about twice as tall as at scale 1, and inside its box (at 9 by 9 design
// pixels, 100 wide, its shadow one design pixel further).
TEST_F(ScaledShell, PlaceholderNameInTheFontOfTheScale)
{
    addTable("Comet Run", "C:\\Tables\\comet.exe", 1);
    IndexedPicture art = resourcePicture("NO_PB_BMP");
    RECT text[3] = {};
    for (int n : {1, 2}) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(startAt(96 * n));
        ASSERT_EQ(shownScale(), n);
        Capture shown = settledWindow(pictureIn(frames()[0]));
        ASSERT_GE(shown.width, art.width * n);
        Capture written = shown;
        for (int y = 0; y < art.height * n; y++)
            for (int x = 0; x < art.width * n; x++)
                written.pixels[y * shown.width + x] = shown.at(x, y) == art.at(x / n, y / n) ? RGB(1, 2, 3) : 0;
        text[n] = inkBox(written, 0);
        ASSERT_GT(text[n].bottom, text[n].top) << "no name on the placeholder";
        EXPECT_GE(text[n].left, 9 * n);
        EXPECT_LE(text[n].right, 111 * n);
        EXPECT_GE(text[n].top, 9 * n);
        RECT box = {9 * n, 9 * n, 111 * n, 111 * n};
        auto besideTheName = [&](int x, int y) {
            POINT at = {x, y};
            return !PtInRect(&box, at);
        };
        EXPECT_TRUE(showsBlocks(shown, art, n, besideTheName));
        endShell();
    }
    int heightAtOne = text[1].bottom - text[1].top, heightAtTwo = text[2].bottom - text[2].top;
    EXPECT_GE(heightAtTwo, 2 * heightAtOne - 3);
    EXPECT_LE(heightAtTwo, 2 * heightAtOne + 3);
}

// The black text of a control, looked for `margin` pixels inside its edges (a button's own
// edges hold black): the box holds it wholly, with a pixel to spare on each side, when nothing
// of it is cut off.
::testing::AssertionResult textInside(const Capture &shown, int margin, RECT *ink)
{
    Capture within = shown;
    for (int y = 0; y < shown.height; y++)
        for (int x = 0; x < shown.width; x++)
            if (x < margin || y < margin || x >= shown.width - margin || y >= shown.height - margin)
                within.pixels[y * shown.width + x] = RGB(1, 2, 3);
    *ink = inkBox(within, RGB(0, 0, 0));
    if (ink->bottom <= ink->top)
        return ::testing::AssertionFailure() << "no text";
    bool inside = ink->left > margin && ink->top > margin && ink->right < shown.width - margin &&
                  ink->bottom < shown.height - margin;
    if (!inside)
        return ::testing::AssertionFailure() << "text from (" << ink->left << ", " << ink->top << ") to ("
                                             << ink->right << ", " << ink->bottom << ") in " << shown.width
                                             << " by " << shown.height;
    return ::testing::AssertionSuccess();
}

// The label, OK and Cancel at scale 2 carry text in the font of the scale, about twice as tall
// as at scale 1, and each text lies wholly inside its control: nothing cut off. The suite runs
// this in every language of the shell.
TEST_F(ScaledShell, LabelAndButtonTextFitsAtScaleTwo)
{
    const std::string name = "Midnight Carnival of the Seven Moons";
    addTable(name, "C:\\Tables\\carnival.exe", 1);
    RECT ink[3][3] = {};
    for (int n : {1, 2}) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(startAt(96 * n));
        ASSERT_EQ(shownScale(), n);
        ASSERT_TRUE(bringToFront(window, waitMs));
        ASSERT_TRUE(clickWindow(pictureIn(frames()[0])));
        ASSERT_TRUE(waitUntil([&] { return shows(name); }, waitMs));
        HWND controls[3] = {label(), okButton(), cancelButton()};
        for (int i = 0; i < 3; i++) {
            SCOPED_TRACE(i);
            // The label's text starts at its left edge, where it stands on the window's grey.
            int margin = i == 0 ? 0 : 2 * n;
            Capture shown = settledWindow(controls[i]);
            EXPECT_TRUE(textInside(shown, margin, &ink[n][i]));
        }
        endShell();
    }
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(i);
        int one = ink[1][i].bottom - ink[1][i].top, two = ink[2][i].bottom - ink[2][i].top;
        EXPECT_GE(two, 2 * one - 3);
        EXPECT_LE(two, 2 * one + 3);
    }
}

// A click selects a table and a double-click plays it at scale 2, as at 1; the arrows step.
TEST_F(ScaledShell, ClickDoubleClickAndArrowsAtScaleTwo)
{
    std::string log = freshTableLogPath("window_scale");
    ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
    std::string directory = testDirectory() + "scaled tables\\";
    CreateDirectoryA(directory.c_str(), NULL);
    for (const char *name : {"Alpha", "Bravo", "Charlie"}) {
        std::string exe = directory + name + ".exe";
        CopyFileA(tableProgramPath().c_str(), exe.c_str(), FALSE);
        addTable(name, exe);
    }
    ASSERT_TRUE(startAt(192));
    ASSERT_EQ(shownScale(), 2);
    ASSERT_TRUE(bringToFront(window, waitMs));
    ASSERT_TRUE(clickWindow(pictureIn(frames()[1])));
    ASSERT_TRUE(waitUntil([this] { return shows("Bravo"); }, waitMs));
    EXPECT_EQ(focus(), background());
    pressKey(VK_RIGHT);
    EXPECT_TRUE(waitUntil([this] { return shows("Charlie"); }, waitMs)) << labelText();
    EXPECT_TRUE(tableLogLines(log).empty()) << "a click launches nothing";

    ASSERT_TRUE(doubleClickWindow(pictureIn(frames()[0])));
    DWORD status = 1;
    ASSERT_TRUE(waitForEnd(&status));
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(waitForTableLogLine(log, "start \"" + directory + "Alpha.exe\" -nomovie", 10000));
    endTablePrograms(log);
    DeleteFileA(log.c_str());
}

// WM_DPICHANGED, as Windows sends it when the window goes to a monitor of another DPI, lays the
// window out at the new DPI's scale and draws it again there; back at 96 it is as before.
TEST_F(ScaledShell, DpiChangeResizesAndRedraws)
{
    addTables(4);
    ASSERT_TRUE(startAt(96));
    ASSERT_EQ(shownScale(), 1);
    RECT before;
    GetWindowRect(window, &before);
    IndexedPicture art = resourcePicture("BKGND_BMP");
    const UINT dpiChanged = 0x02E0;
    for (int n : {2, 1}) {
        SCOPED_TRACE(n);
        SendMessageA(window, dpiChanged, MAKEWPARAM(96 * n, 96 * n), 0);
        ASSERT_EQ(shownScale(), n);
        expectScaledPlaces(n, framePlaces()[2].frames);
        std::vector<RECT> frameAreas;
        for (HWND frame : frames())
            frameAreas.push_back(placeInParent(frame));
        auto besideTheFrames = [&](int x, int y) {
            POINT at = {x, y};
            return std::none_of(frameAreas.begin(), frameAreas.end(),
                                [&](const RECT &r) { return PtInRect(&r, at); });
        };
        HWND shown = background();
        EXPECT_TRUE(waitUntil([&] { return (bool)showsBlocks(captureWindow(shown), art, n, besideTheFrames); }, waitMs))
            << showsBlocks(captureWindow(shown), art, n, besideTheFrames).message();
    }
    RECT after;
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

} // namespace
