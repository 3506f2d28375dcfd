#include <gtest/gtest.h>

#include "tests/support/bitmap_files.h"
#include "tests/support/cdrom.h"
#include "tests/support/input.h"
#include "tests/support/screen_pictures.h"
#include "tests/support/shell_session.h"
#include "tests/support/shell_window.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

// What the player sees of the real shell, read back from the screen: frames, pictures,
// placeholders and the background, and what a display change does to them.

namespace {

const DWORD waitMs = 5000;

std::string coloursText(const std::set<COLORREF> &colours)
{
    std::string text;
    for (COLORREF colour : colours)
        text += colourText(colour) + " ";
    return text;
}

// Has the shell paint the window and its children again at once.
void repaint(HWND window)
{
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}


int textLines(const std::string &name)
{
    HDC memory = CreateCompatibleDC(NULL);
    RECT rect = {0, 0, 100, 100};
    TEXTMETRICA metrics;
    GetTextMetricsA(memory, &metrics);
    int height = DrawTextA(memory, name.c_str(), (int)name.size(), &rect,
                           DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    DeleteDC(memory);
    return height / metrics.tmHeight;
}

// The colours of a capture outside the top-left width by height corner that a picture covers.
std::set<COLORREF> coloursBeyond(const Capture &shown, int width, int height)
{
    std::set<COLORREF> colours;
    for (int y = 0; y < shown.height; y++)
        for (int x = 0; x < shown.width; x++)
            if (x >= width || y >= height)
                colours.insert(shown.at(x, y));
    return colours;
}

// The colours of a frame's ring, three pixels wide around its picture.
std::set<COLORREF> ringColours(const Capture &frame)
{
    std::set<COLORREF> colours;
    for (int y = 0; y < frame.height; y++)
        for (int x = 0; x < frame.width; x++)
            if (x < 3 || y < 3 || x >= frame.width - 3 || y >= frame.height - 3)
                colours.insert(frame.at(x, y));
    return colours;
}

// A colour that the shell never shows.
const COLORREF markerColour = RGB(255, 0, 255);

// How many pixels of `window` on the screen show the marker, outside its children.
int markedPixels(HWND window)
{
    RECT area;
    GetWindowRect(window, &area);
    Capture shown = captureScreen(area);
    std::vector<RECT> children;
    for (HWND child : childrenOf(window)) {
        RECT place;
        GetWindowRect(child, &place);
        OffsetRect(&place, -area.left, -area.top);
        children.push_back(place);
    }
    int marked = 0;
    for (int y = 0; y < shown.height; y++)
        for (int x = 0; x < shown.width; x++) {
            POINT at = {x, y};
            marked += shown.at(x, y) == markerColour &&
                      std::none_of(children.begin(), children.end(), [&](const RECT &r) { return PtInRect(&r, at); });
        }
    return marked;
}

// Paints what the shell shows of `target` (its area less its children) with the marker,
// straight onto the screen from this process, behind the shell's back: only a paint of the
// shell's own takes it away again. The number of marked pixels that the screen then shows.
int paintMarker(HWND target)
{
    RECT area;
    GetWindowRect(target, &area);
    HDC screen = GetDC(NULL);
    for (HWND child : childrenOf(target)) {
        RECT place;
        GetWindowRect(child, &place);
        ExcludeClipRect(screen, place.left, place.top, place.right, place.bottom);
    }
    HBRUSH brush = CreateSolidBrush(markerColour);
    FillRect(screen, &area, brush);
    DeleteObject(brush);
    ReleaseDC(NULL, screen);
    int marked = 0;
    waitUntil([&] { return (marked = markedPixels(target)) > 0; }, waitMs);
    return marked;
}

// A small window of this test, clear of the shell's, with a thread of its own to answer its
// messages: another program's window as far as the shell can tell.
struct OtherWindow {
    std::atomic<HWND> handle{NULL};
    std::thread thread{[this] {
        HWND made = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, NULL, NULL,
                                    GetModuleHandleA(NULL), NULL);
        handle = made;
        MSG message;
        while (made != NULL && GetMessageA(&message, NULL, 0, 0) > 0)
            DispatchMessageA(&message);
        DestroyWindow(made);
    }};

    OtherWindow() { waitUntil([this] { return handle != NULL; }, waitMs); }
    ~OtherWindow()
    {
        // Without a window the thread has ended already.
        if (handle != NULL)
            PostMessageA(handle, WM_QUIT, 0, 0);
        thread.join();
    }
};

// The real shell with a catalogue of the test's own, on a display of the depth that the
// harness was given in PINBALL_XVFB_DEPTH (8 unless set).
class ShellOnScreen : public ShellSession {
protected:
    bool paletteDisplay = false;
    std::vector<HWND> pictures; // in catalogue order

    void SetUp() override
    {
        ShellSession::SetUp();
        char wanted[8] = "8";
        GetEnvironmentVariableA("PINBALL_XVFB_DEPTH", wanted, sizeof wanted);
        HDC screen = GetDC(NULL);
        int depth = GetDeviceCaps(screen, BITSPIXEL);
        paletteDisplay = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
        ReleaseDC(NULL, screen);
        // Wine reports a 24-bit X display as 32 bits per pixel.
        ASSERT_EQ(depth, atoi(wanted) == 24 ? 32 : atoi(wanted));
        ASSERT_EQ(paletteDisplay, depth == 8);
    }

    void start()
    {
        ASSERT_TRUE(startShell());
        for (HWND frame : frames())
            pictures.push_back(pictureIn(frame));
        ASSERT_EQ((int)pictures.size(), tables);
    }

    // A click on the table's picture, as the picture window receives it. The window comes
    // forward first, so that Enter from the keyboard reaches it later.
    ::testing::AssertionResult select(int table)
    {
        if (!bringToFront(window, waitMs))
            return ::testing::AssertionFailure() << "the shell window did not come forward";
        PostMessageA(pictures[table], WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 60));
        PostMessageA(pictures[table], WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
        if (!waitUntil([&] { return focus() == background() && IsWindowEnabled(okButton()); }, waitMs))
            return ::testing::AssertionFailure() << "the click selected nothing; label \"" << labelText() << "\"";
        return ::testing::AssertionSuccess();
    }

};

class FrameColours : public ShellOnScreen {};

TEST_F(FrameColours, SelectedFlashesWhileTheBackgroundHasTheFocusIsGreyWhileOkHasItOthersAreBlack)
{
    TempFile picture(bitmapFile(patternPicture(120, 120, 3)));
    for (const char *name : {"Alpha", "Beta", "Gamma"})
        addTable(name, "C:\\Tables\\table.exe", 1, picture.path);
    ASSERT_NO_FATAL_FAILURE(start());
    std::set<COLORREF> flashColours;
    PALETTEENTRY firstTen[10];
    ASSERT_EQ(GetPaletteEntries((HPALETTE)GetStockObject(DEFAULT_PALETTE), 0, 10, firstTen), 10u);
    for (const PALETTEENTRY &entry : firstTen)
        flashColours.insert(RGB(entry.peRed, entry.peGreen, entry.peBlue));
    const std::set<COLORREF> black = {RGB(0, 0, 0)}, grey = {RGB(128, 128, 128)};
    HWND frame[3] = {frames()[0], frames()[1], frames()[2]};

    ASSERT_TRUE(select(1));
    std::set<std::set<COLORREF>> seen;
    for (int sample = 0; sample < 40; sample++) {
        SCOPED_TRACE(sample);
        std::set<COLORREF> ring = ringColours(captureWindow(frame[1]));
        seen.insert(ring);
        // Wine's 8-bit window buffers lack two of the ten colours and dither them from others.
        if (!paletteDisplay) {
            ASSERT_EQ(ring.size(), 1u) << "the ring is filled with one colour at a time: " << coloursText(ring);
            EXPECT_EQ(flashColours.count(*ring.begin()), 1u) << colourText(*ring.begin());
        }
        for (int other : {0, 2})
            EXPECT_EQ(ringColours(captureWindow(frame[other])), black);
        Sleep(25);
    }
    EXPECT_GE(seen.size(), 3u) << "the selected frame does not flash";

    // Enter on the background hands the focus to OK: the flashing stops on a steady grey.
    pressKey(VK_RETURN);
    ASSERT_TRUE(waitUntil([&] { return focus() == okButton(); }, waitMs));
    EXPECT_TRUE(waitUntil([&] { return ringColours(captureWindow(frame[1])) == grey; }, waitMs));
    for (int sample = 0; sample < 10; sample++) {
        SCOPED_TRACE(sample);
        EXPECT_EQ(ringColours(captureWindow(frame[1])), grey);
        for (int other : {0, 2})
            EXPECT_EQ(ringColours(captureWindow(frame[other])), black);
        Sleep(25);
    }
}

// The frame left behind is repainted black at once, whatever colour its last flash drew (one
// of the flash colours is black, so it is left several times).
TEST_F(FrameColours, FrameLeftBehindTurnsBlack)
{
    const char *names[] = {"Alpha", "Beta", "Gamma"};
    for (const char *name : names)
        addTable(name, "C:\\Tables\\table.exe", 1);
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(select(0));
    const std::set<COLORREF> black = {RGB(0, 0, 0)};
    struct Step {
        WORD key;
        int from, to;
    } steps[] = {{VK_RIGHT, 0, 1}, {VK_RIGHT, 1, 2}, {VK_LEFT, 2, 1}, {VK_LEFT, 1, 0},
                 {VK_RIGHT, 0, 1}, {VK_LEFT, 1, 0}};
    for (const Step &step : steps) {
        SCOPED_TRACE(std::string("from ") + names[step.from] + " to " + names[step.to]);
        Sleep(100); // a few flashes on the frame about to be left
        pressKey(step.key);
        ASSERT_TRUE(waitUntil([&] { return labelText() == names[step.to]; }, waitMs)) << labelText();
        EXPECT_TRUE(waitUntil([&] { return ringColours(captureWindow(frames()[step.from])) == black; }, 1000))
            << "the frame left shows " << coloursText(ringColours(captureWindow(frames()[step.from])));
    }
}

// Another program in front takes the keyboard from the pictures: the selected frame stands
// grey until the shell is in front again, when it flashes once more.
TEST_F(FrameColours, GreyWhileAnotherProgramIsActiveFlashingAgainAfter)
{
    for (const char *name : {"Alpha", "Beta"})
        addTable(name, "C:\\Tables\\table.exe", 1);
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(select(1));
    HWND frame = frames()[1];
    const std::set<COLORREF> grey = {RGB(128, 128, 128)};
    auto flashes = [&] {
        std::set<std::set<COLORREF>> seen;
        for (int sample = 0; sample < 40 && seen.size() < 3; sample++) {
            seen.insert(ringColours(captureWindow(frame)));
            Sleep(25);
        }
        return seen.size() >= 3;
    };
    ASSERT_TRUE(flashes()) << "the selected frame does not flash";

    OtherWindow other;
    ASSERT_TRUE(bringToFront(other.handle, waitMs));
    EXPECT_TRUE(waitUntil([&] { return ringColours(captureWindow(frame)) == grey; }, waitMs))
        << coloursText(ringColours(captureWindow(frame)));
    for (int sample = 0; sample < 10; sample++) {
        SCOPED_TRACE(sample);
        EXPECT_EQ(ringColours(captureWindow(frame)), grey);
        Sleep(25);
    }

    ASSERT_TRUE(bringToFront(window, waitMs));
    EXPECT_TRUE(waitUntil([&] { return focus() == background(); }, waitMs));
    EXPECT_TRUE(flashes()) << "the frame does not flash again";
    EXPECT_EQ(labelText(), "Beta");
}

// On an 8-bit display Wine 8 draws every window into a buffer with a fixed colour table and
// shows that buffer in the 20 static colours only, whatever palette is realised (see
// tools/palette_probe), so the exact colours are read on a 24-bit display.
class BitmapColours : public ShellOnScreen {};

TEST_F(BitmapColours, BackgroundAndPicturesShowThem)
{
    IndexedPicture first = patternPicture(120, 120, 11), second = patternPicture(120, 120, 140);
    TempFile firstFile(bitmapFile(first)), secondFile(bitmapFile(second));
    addTable("Alpha", "C:\\Tables\\alpha.exe", 1, firstFile.path);
    addTable("Beta", "C:\\Tables\\beta.exe", 2, secondFile.path);
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_TRUE(waitUntil([&] { return showsPicture(captureWindow(pictures[0]), first); }, waitMs))
        << showsPicture(captureWindow(pictures[0]), first).message();
    EXPECT_TRUE(waitUntil([&] { return showsPicture(captureWindow(pictures[1]), second); }, waitMs))
        << showsPicture(captureWindow(pictures[1]), second).message();

    // The background, around the frames.
    IndexedPicture art = resourcePicture("BKGND_BMP");
    ASSERT_EQ(art.width, 580);
    RECT area, frameAreas[2];
    GetWindowRect(background(), &area);
    for (int i = 0; i < 2; i++) {
        GetWindowRect(frames()[i], &frameAreas[i]);
        OffsetRect(&frameAreas[i], -area.left, -area.top);
    }
    auto backgroundMatches = [&]() -> ::testing::AssertionResult {
        Capture shown = captureScreen(area);
        if (shown.width != art.width || shown.height != art.height)
            return ::testing::AssertionFailure() << "background " << shown.width << " by " << shown.height;
        int wrong = 0;
        for (int y = 0; y < art.height; y++)
            for (int x = 0; x < art.width; x++) {
                POINT point = {x, y};
                if (!PtInRect(&frameAreas[0], point) && !PtInRect(&frameAreas[1], point))
                    wrong += shown.at(x, y) != art.at(x, y);
            }
        if (wrong)
            return ::testing::AssertionFailure() << wrong << " background pixels differ from the art";
        return ::testing::AssertionSuccess();
    };
    EXPECT_TRUE(waitUntil([&] { return (bool)backgroundMatches(); }, waitMs)) << backgroundMatches().message();
}

class Placeholders : public ShellOnScreen {};

// A table without a picture shows the placeholder of its drive with its name: "pb_oncd_bmp"
// on the CD-ROM drive E:, "no_pb_bmp" on a fixed disk, also when the picture file is missing.
TEST_F(Placeholders, CarryTheNameWrappedAndCentredOnTheArtOfTheTablesDrive)
{
    struct Case {
        std::string name, exe, bitmap;
        const char *art;
    } cases[] = {
        {"Midnight Carnival of the Seven Moons", "C:\\Tables\\carnival.exe", "", "NO_PB_BMP"},
        {"Rock & Roll", "E:\\ROCK\\rock.exe", "", "PB_ONCD_BMP"},
        {"Lost Picture", "C:\\Tables\\lost.exe", "C:\\Tables\\no such picture.bmp", "NO_PB_BMP"},
    };
    ASSERT_GE(textLines(cases[0].name), 2) << "the first name must be too long for one line";
    for (const Case &c : cases)
        addTable(c.name, c.exe, 1, c.bitmap);
    ASSERT_NO_FATAL_FAILURE(start());
    for (int i = 0; i < 3; i++) {
        const Case &c = cases[i];
        SCOPED_TRACE(c.name);
        IndexedPicture art = resourcePicture(c.art);
        ASSERT_EQ(art.colours.size(), 257u);
        EXPECT_TRUE(waitUntil([&] { return (bool)showsPlaceholder(captureWindow(pictures[i]), art, c.name); }, waitMs))
            << showsPlaceholder(captureWindow(pictures[i]), art, c.name).message();
    }
}


// The shell's own repaints, seen by painting a marker over its windows from this test: a
// repaint takes the marker away, and where none is due the marker stays.
class Repaints : public ShellOnScreen {
protected:
    // Whether the shell takes the marker off every window of `marked` soon after `message`
    // (it is not when the marker is still all there after a while).
    ::testing::AssertionResult repaintsOn(UINT message, WPARAM wParam, const std::vector<HWND> &marked,
                                          bool repaint)
    {
        std::vector<int> before;
        for (HWND each : marked) {
            before.push_back(paintMarker(each));
            if (before.back() == 0)
                return ::testing::AssertionFailure() << "the marker did not reach the screen";
        }
        SendMessageA(window, message, wParam, 0);
        for (size_t i = 0; i < marked.size(); i++) {
            if (repaint && !waitUntil([&] { return markedPixels(marked[i]) == 0; }, waitMs))
                return ::testing::AssertionFailure()
                       << "window " << i << " still shows " << markedPixels(marked[i]) << " marked pixels";
        }
        if (!repaint) {
            answerMs(window, waitMs);
            Sleep(500);
            for (size_t i = 0; i < marked.size(); i++)
                if (markedPixels(marked[i]) != before[i])
                    return ::testing::AssertionFailure()
                           << "window " << i << " was repainted: " << markedPixels(marked[i]) << " of "
                           << before[i] << " marked pixels left";
        }
        return ::testing::AssertionSuccess();
    }
};

// A new palette, or one that another window changed, repaints the background, which realises
// the shell's palette as it paints; a change that the shell made itself is left alone, or
// the shell would repaint for ever on a palette display.
TEST_F(Repaints, PaletteMessagesRepaintTheBackgroundUnlessTheShellChangedThePalette)
{
    addTable("Alpha", "C:\\Tables\\alpha.exe", 1);
    ASSERT_NO_FATAL_FAILURE(start());
    OtherWindow other;
    const struct {
        const char *name;
        UINT message;
        HWND changer;
        bool repaint;
    } cases[] = {
        {"palette changed by the shell", WM_PALETTECHANGED, window, false},
        {"new palette", WM_QUERYNEWPALETTE, NULL, true},
        {"palette changed by another window", WM_PALETTECHANGED, other.handle, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(repaintsOn(c.message, (WPARAM)c.changer, {background()}, c.repaint));
    }
    // The repaint shows the art again.
    IndexedPicture art = resourcePicture("BKGND_BMP");
    EXPECT_TRUE(sameCorner(captureWindow(background()), art, 100, 100));
}

// The shell coming to the front repaints every frame and every picture; going behind another
// program repaints nothing.
TEST_F(Repaints, ActivationRepaintsEveryFrameAndPicture)
{
    IndexedPicture picture = patternPicture(120, 120, 5);
    TempFile file(bitmapFile(picture));
    addTable("Alpha", "C:\\Tables\\alpha.exe", 1, file.path);
    addTable("Beta", "C:\\Tables\\beta.exe", 2);
    addTable("Gamma", "E:\\GAMMA\\gamma.exe", 3);
    ASSERT_NO_FATAL_FAILURE(start());
    std::vector<HWND> marked;
    for (size_t i = 0; i < pictures.size(); i++) {
        marked.push_back(frames()[i]);
        marked.push_back(pictures[i]);
    }
    EXPECT_TRUE(repaintsOn(WM_ACTIVATEAPP, FALSE, marked, false)) << "deactivated";
    EXPECT_TRUE(repaintsOn(WM_ACTIVATEAPP, TRUE, marked, true)) << "activated";
    EXPECT_TRUE(showsPicture(captureWindow(pictures[0]), picture));
}

class LabelColours : public ShellOnScreen {};

// The label's text stands on the window's light grey, with no box of another colour around it.
TEST_F(LabelColours, TextStandsOnTheWindowsGrey)
{
    addTable("Midnight Carnival", "C:\\Tables\\carnival.exe", 1);
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(select(0));
    const COLORREF lightGrey = RGB(192, 192, 192);
    RECT area;
    GetWindowRect(label(), &area);
    // A margin of the window's own surface around the label.
    InflateRect(&area, 2, 2);
    Capture shown = settled(area);
    // The text is smoothed onto the grey: every pixel is a grey between black and the
    // surface's, none lighter, as a box of its own would be.
    std::set<COLORREF> found(shown.pixels.begin(), shown.pixels.end());
    EXPECT_EQ(found.count(lightGrey), 1u);
    EXPECT_GT(found.size(), 1u) << "no text on the label";
    for (COLORREF colour : found) {
        BYTE red = GetRValue(colour);
        EXPECT_TRUE(red == GetGValue(colour) && red == GetBValue(colour) && red <= 192) << colourText(colour);
    }
}

// A disc mounted in F: instead of E:, where the catalogue's paths lie, or instead of G:, a drive
// that is gone: a table whose label it carries shows its picture from F:, a table whose label it
// does not carry shows the on-CD placeholder.
TEST_F(Placeholders, GiveWayToThePictureOnTheTablesDiscInAnotherDrive)
{
    IndexedPicture picture = patternPicture(120, 120, 61);
    Bytes file = bitmapFile(picture);
    emptyDisc('E');
    emptyDisc('F');
    ASSERT_TRUE(putOnDisc("SPACE\\space.bmp", std::string(file.begin(), file.end()), 'F'));
    struct Table {
        const char *name;
        const char *drive;
        const char *label;
        bool shown;
    } tables[] = {
        {"Deep Space", "E:", secondDiscLabel, true},
        {"Other Disc", "E:", "Vantrel2 Disc 3", false},
        {"Drive Gone", "G:", secondDiscLabel, true},
        {"Gone Other", "G:", "Vantrel2 Disc 3", false},
    };
    for (int i = 0; i < 4; ++i) {
        const std::string drive = tables[i].drive;
        addTable(tables[i].name, drive + "\\SPACE\\space.exe", i + 1, drive + "\\SPACE\\space.bmp");
        setRegString("Table " + std::to_string(i), "Table CD", tables[i].label);
    }
    ASSERT_NO_FATAL_FAILURE(start());
    IndexedPicture art = resourcePicture("PB_ONCD_BMP");
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(tables[i].name);
        HWND shown = pictures[i];
        const char *name = tables[i].name;
        if (tables[i].shown) {
            EXPECT_TRUE(waitUntil([&] { return (bool)showsPicture(captureWindow(shown), picture); }, waitMs))
                << showsPicture(captureWindow(shown), picture).message();
        } else {
            EXPECT_TRUE(waitUntil([&] { return (bool)showsPlaceholder(captureWindow(shown), art, name); }, waitMs))
                << showsPlaceholder(captureWindow(shown), art, name).message();
        }
    }
    emptyDisc('F');
}

class DisplayChange : public ShellOnScreen {};

// The same display before and after WM_DISPLAYCHANGE, each window painted afresh: a table
// without a picture keeps its placeholder with the name, the label keeps its place and size,
// and where a small picture does not reach there is one steady colour, black.
TEST_F(DisplayChange, LeavesPlaceholderLabelAndPicturesAsTheyWere)
{
    IndexedPicture small = patternPicture(90, 70, 57);
    TempFile smallFile(bitmapFile(small));
    addTable("No Picture", "C:\\Tables\\none.exe", 1);
    addTable("Small Picture", "C:\\Tables\\small.exe", 2, smallFile.path);
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(select(1));
    IndexedPicture placeholder = resourcePicture("NO_PB_BMP");
    const std::set<COLORREF> black = {RGB(0, 0, 0)};
    // Below the background: the label with the selected name, and the buttons.
    RECT row, backgroundArea, labelBefore;
    GetWindowRect(window, &row);
    GetWindowRect(background(), &backgroundArea);
    row.top = backgroundArea.bottom;
    GetWindowRect(label(), &labelBefore);

    repaint(window);
    EXPECT_TRUE(showsPlaceholder(settledWindow(pictures[0]), placeholder, "No Picture"));
    Capture smallShown = settledWindow(pictures[1]);
    EXPECT_TRUE(showsPicture(smallShown, small));
    EXPECT_EQ(coloursBeyond(smallShown, 90, 70), black);
    Capture rowBefore = settled(row);

    sendDisplayChange();
    repaint(window);

    EXPECT_TRUE(showsPlaceholder(settledWindow(pictures[0]), placeholder, "No Picture"));
    smallShown = settledWindow(pictures[1]);
    EXPECT_TRUE(showsPicture(smallShown, small));
    EXPECT_EQ(coloursBeyond(smallShown, 90, 70), black);
    RECT labelAfter;
    GetWindowRect(label(), &labelAfter);
    EXPECT_TRUE(EqualRect(&labelBefore, &labelAfter))
        << "label from (" << labelBefore.left << ", " << labelBefore.top << ") " << labelBefore.right - labelBefore.left
        << " by " << labelBefore.bottom - labelBefore.top << " to (" << labelAfter.left << ", " << labelAfter.top << ") "
        << labelAfter.right - labelAfter.left << " by " << labelAfter.bottom - labelAfter.top;
    EXPECT_TRUE(settled(row) == rowBefore) << "the row below the background changed";
}

} // namespace
