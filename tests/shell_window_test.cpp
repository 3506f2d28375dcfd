#include <gtest/gtest.h>

#include "shell/names.h"
#include "tests/support/cdrom.h"
#include "tests/support/dialogs.h"
#include "tests/support/frame_places.h"
#include "tests/support/input.h"
#include "tests/support/shell_session.h"
#include "tests/support/table_program.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

typedef ShellSession ShellWindow;

// What the window's size and place follow from: the system's font and metrics, measured here.
struct ExpectedLayout {
    int buttonWidth, buttonHeight;
    int windowWidth, windowHeight, windowX, windowY;
    int okX, cancelX;
};

SIZE textExtent(HDC dc, const char *text)
{
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    return extent;
}

ExpectedLayout measuredLayout()
{
    HDC dc = GetDC(GetDesktopWindow());
    SIZE ok = textExtent(dc, "OK"), cancel = textExtent(dc, "Cancel"), spaces = textExtent(dc, "    ");
    ReleaseDC(GetDesktopWindow(), dc);
    ExpectedLayout l;
    l.buttonWidth = std::max(ok.cx, cancel.cx) + spaces.cx;
    l.buttonHeight = std::max(ok.cy, cancel.cy) * 3 / 2;
    l.windowWidth = 2 * GetSystemMetrics(SM_CXDLGFRAME) + 582;
    l.windowHeight = 2 * GetSystemMetrics(SM_CYDLGFRAME) + l.buttonHeight + 392;
    l.windowX = (GetSystemMetrics(SM_CXSCREEN) - l.windowWidth) / 2;
    l.windowY = (GetSystemMetrics(SM_CYSCREEN) - l.windowHeight) / 2;
    l.cancelX = l.windowWidth - 10 - l.buttonWidth;
    l.okX = l.cancelX - 5 - l.buttonWidth;
    return l;
}

::testing::AssertionResult placedAt(HWND window, const RECT &expected)
{
    RECT actual = placeInParent(window);
    if (EqualRect(&actual, &expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "placed at (" << actual.left << ", " << actual.top << ") " << actual.right - actual.left
           << " by " << actual.bottom - actual.top << ", expected (" << expected.left << ", "
           << expected.top << ") " << expected.right - expected.left << " by "
           << expected.bottom - expected.top;
}

RECT sized(int x, int y, int width, int height)
{
    return RECT{x, y, x + width, y + height};
}

TEST_F(ShellWindow, CentredPopupWithItsFourControls)
{
    addTable("Comet Run", "C:\\tables\\comet.exe");
    ASSERT_TRUE(startShell());
    ExpectedLayout l = measuredLayout();

    EXPECT_EQ(windowClass(window), shellClassName);
    EXPECT_EQ(windowText(window), "Vantrel! 2 Demo");
    EXPECT_EQ((DWORD)GetWindowLongA(window, GWL_STYLE) & ~WS_CLIPSIBLINGS,
              (DWORD)(WS_POPUP | WS_DLGFRAME | WS_VISIBLE));
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    RECT outer;
    GetWindowRect(window, &outer);
    RECT expectedOuter = sized(l.windowX, l.windowY, l.windowWidth, l.windowHeight);
    EXPECT_TRUE(EqualRect(&outer, &expectedOuter))
        << outer.left << "," << outer.top << " " << outer.right - outer.left << "x"
        << outer.bottom - outer.top;

    struct Child {
        const char *className;
        DWORD style;
        RECT place;
    } expected[] = {
        {"Static", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, sized(6, 393, 400, l.buttonHeight - 6)},
        {"Button", WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON,
         sized(l.okX, 391, l.buttonWidth, l.buttonHeight)},
        {"Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
         sized(l.cancelX, 391, l.buttonWidth, l.buttonHeight)},
        {"PinballShellBackgroundClass", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP,
         sized(1, 1, 580, 388)},
    };
    std::vector<HWND> children = childrenOf(window);
    ASSERT_EQ(children.size(), 4u);
    for (size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE(expected[i].className);
        EXPECT_EQ(lstrcmpiA(windowClass(children[i]).c_str(), expected[i].className), 0)
            << windowClass(children[i]);
        EXPECT_EQ((DWORD)GetWindowLongA(children[i], GWL_STYLE) & ~WS_CLIPSIBLINGS, expected[i].style);
        EXPECT_EQ(GetDlgCtrlID(children[i]), 0);
        EXPECT_TRUE(placedAt(children[i], expected[i].place));
    }
    EXPECT_EQ(windowText(okButton()), "OK");
    EXPECT_EQ(windowText(cancelButton()), "Cancel");
    EXPECT_EQ(labelText(), "");
    EXPECT_FALSE(IsWindowEnabled(okButton()));
    EXPECT_EQ(focus(), cancelButton());
}

// The real frames of 1, 2, 5, 7 and 12 tables stand in their rows; each holds its picture
// inside a 3-pixel ring.
TEST_F(ShellWindow, FramesStandInCentredRows)
{
    for (const FramePlaces &c : framePlaces()) {
        if (c.tables != 1 && c.tables != 2 && c.tables != 5 && c.tables != 7 && c.tables != 12)
            continue;
        SCOPED_TRACE(std::to_string(c.tables) + " tables");
        deleteSettingsKey();
        tables = 0;
        for (int i = 0; i < c.tables; ++i)
            addTable("Table " + std::to_string(i), "C:\\tables\\t" + std::to_string(i) + ".exe");
        ASSERT_TRUE(startShell());
        std::vector<HWND> frames = this->frames();
        ASSERT_EQ(frames.size(), c.frames.size());
        for (size_t i = 0; i < frames.size(); ++i) {
            SCOPED_TRACE("frame " + std::to_string(i));
            EXPECT_EQ(windowClass(frames[i]), "PinballShellPictureFrameClass");
            EXPECT_EQ((DWORD)GetWindowLongA(frames[i], GWL_STYLE) & ~WS_CLIPSIBLINGS,
                      (DWORD)(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
            EXPECT_TRUE(placedAt(frames[i], sized(c.frames[i].first, c.frames[i].second, 126, 126)));
            HWND picture = pictureIn(frames[i]);
            EXPECT_EQ(windowClass(picture), "PinballShellPictureClass");
            EXPECT_EQ((DWORD)GetWindowLongA(picture, GWL_STYLE) & ~WS_CLIPSIBLINGS,
                      (DWORD)(WS_CHILD | WS_VISIBLE));
            EXPECT_TRUE(placedAt(picture, sized(3, 3, 120, 120)));
        }
        endShell();
    }
}


const DWORD inputTimeoutMs = 5000;

// A session whose tables are copies of the project's table program, which log their start.
class ShellChoice : public ShellSession {
protected:
    std::string log = freshTableLogPath("shell_choice");
    ScopedEnvironment logFile{"PINBALL_TABLE_LOG", log};

    void TearDown() override
    {
        endShell();
        endTablePrograms(log);
    }

    void addPlayableTables(const std::string &folder)
    {
        std::string directory = testDirectory() + folder + "\\";
        CreateDirectoryA(directory.c_str(), NULL);
        for (const char *name : {"Alpha", "Bravo", "Charlie", "Delta", "Echo"}) {
            std::string exe = directory + name + ".exe";
            CopyFileA(tableProgramPath().c_str(), exe.c_str(), FALSE);
            addTable(name, exe);
        }
    }

    // Keys pressed in turn, and the table selected after them.
    struct KeyStep {
        std::vector<WORD> keys;
        const char *selected;
    };

    // Presses each step's keys and waits for its table to be selected.
    void pressKeySteps(const std::vector<KeyStep> &steps)
    {
        for (const KeyStep &step : steps) {
            SCOPED_TRACE(step.selected);
            for (WORD key : step.keys)
                pressKey(key);
            EXPECT_TRUE(waitUntil([&] { return labelText() == step.selected; }, inputTimeoutMs))
                << "label \"" << labelText() << "\"";
        }
    }

    // Brings the window forward and moves the focus to the pictures, which selects the first.
    ::testing::AssertionResult focusPictures()
    {
        if (!bringToFront(window, inputTimeoutMs))
            return ::testing::AssertionFailure() << "the shell window did not come forward";
        pressKey(VK_TAB);
        if (!waitUntil([this] { return focus() == background() && shows("Alpha"); },
                       inputTimeoutMs))
            return ::testing::AssertionFailure()
                   << "Tab did not select the first table on the background; label \""
                   << labelText() << "\"";
        return ::testing::AssertionSuccess();
    }

    std::string started(const std::string &table) const
    {
        return "start " + testDirectory() + "tables\\" + table + ".exe -nomovie";
    }
};

// Every arrow steps through the catalogue order and stops at both ends; a step that must not
// move is shown by the one after it.
TEST_F(ShellChoice, ArrowsStepInCatalogueOrderWithoutWrapping)
{
    addPlayableTables("tables");
    ASSERT_TRUE(startShell());
    ASSERT_TRUE(focusPictures());
    pressKeySteps({
        {{VK_LEFT, VK_UP, VK_RIGHT}, "Bravo"},
        {{VK_DOWN}, "Charlie"},
        {{VK_DOWN}, "Delta"}, // from the end of the first row to the start of the second
        {{VK_DOWN}, "Echo"},
        {{VK_RIGHT, VK_DOWN, VK_LEFT}, "Delta"},
        {{VK_UP}, "Charlie"},
    });
    EXPECT_EQ(focus(), background());
}

// A held arrow repeats: every key-down of the keyboard's auto-repeat moves the selection on
// before the key is let go, and letting it go moves nothing.
TEST_F(ShellChoice, HeldArrowMovesAtEveryRepeat)
{
    addPlayableTables("tables");
    ASSERT_TRUE(startShell());
    ASSERT_TRUE(focusPictures());
    struct Hold {
        WORD key;
        std::vector<const char *> selected; // after each key-down
    } holds[] = {
        {VK_RIGHT, {"Bravo", "Charlie", "Delta"}},
        {VK_UP, {"Charlie", "Bravo"}},
    };
    for (const Hold &hold : holds) {
        for (const char *next : hold.selected) {
            SCOPED_TRACE(next);
            holdKey(hold.key);
            EXPECT_TRUE(waitUntil([&] { return labelText() == next; }, inputTimeoutMs))
                << "label \"" << labelText() << "\" while the key is held";
        }
        releaseKey(hold.key);
        Sleep(200);
        EXPECT_EQ(labelText(), hold.selected.back()) << "letting the key go moved the selection";
    }
}

// With no table in the catalogue the pictures take the focus and select nothing: the label
// stays empty and OK disabled.
TEST_F(ShellWindow, EmptyCatalogueSelectsNothing)
{
    ASSERT_TRUE(startShell());
    ASSERT_TRUE(frames().empty());
    ASSERT_TRUE(bringToFront(window, inputTimeoutMs));
    pressKey(VK_TAB);
    ASSERT_TRUE(waitUntil([this] { return focus() == background(); }, inputTimeoutMs))
        << "the background did not take the focus";
    // The answer to a sent message comes after the focus change has been handled.
    SendMessageA(window, WM_NULL, 0, 0);
    EXPECT_EQ(labelText(), "");
    EXPECT_FALSE(IsWindowEnabled(okButton()));
}

// Tab goes round the controls that take it: OK only once a table is selected.
TEST_F(ShellChoice, TabMovesTheFocusRoundTheControls)
{
    addPlayableTables("tables");
    ASSERT_TRUE(startShell());
    ASSERT_TRUE(focusPictures());
    HWND order[] = {okButton(), cancelButton(), background()};
    for (HWND next : order) {
        pressKey(VK_TAB);
        EXPECT_TRUE(waitUntil([&] { return focus() == next; }, inputTimeoutMs))
            << windowText(next);
    }
    EXPECT_EQ(labelText(), "Alpha") << "the selection stays while the focus moves";
}

// Enter away from a default button only makes OK the default; the second Enter clicks OK.
TEST_F(ShellChoice, FirstEnterMakesOkTheDefaultAndTheSecondLaunches)
{
    addPlayableTables("tables");
    ASSERT_TRUE(startShell());
    ASSERT_TRUE(focusPictures());
    pressKey(VK_RETURN);
    ASSERT_TRUE(waitUntil([this] { return focus() == okButton(); }, inputTimeoutMs));
    EXPECT_TRUE(isDefaultButton(okButton()));
    EXPECT_FALSE(isDefaultButton(cancelButton()));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(tableLogLines(log).empty()) << "nothing is launched yet";

    pressKey(VK_RETURN);
    DWORD status = 1;
    ASSERT_TRUE(waitForEnd(&status));
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(waitForTableLogLine(log, started("Alpha"), 10000));
}

// Escape and Alt+F4 end the run with 0 and launch nothing, also with a table selected.
TEST_F(ShellChoice, EscapeAndAltF4EndWithoutLaunching)
{
    addPlayableTables("tables");
    struct Case {
        const char *name;
        WORD key, modifier;
    } cases[] = {{"Escape", VK_ESCAPE, 0}, {"Alt+F4", VK_F4, VK_MENU}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(startShell());
        ASSERT_TRUE(focusPictures());
        // Wine may drop a held modifier when it syncs the key state with the X server after a
        // change of focus; the keys are pressed again then, a few times at most.
        DWORD status = 1;
        bool ended = false;
        for (int attempt = 0; attempt < 3 && !ended; ++attempt) {
            pressKey(c.key, c.modifier);
            ended = waitForEnd(&status, c.modifier ? 2000 : 10000);
        }
        ASSERT_TRUE(ended);
        EXPECT_EQ(status, 0u);
        EXPECT_TRUE(tableLogLines(log).empty()) << "nothing was launched";
        endShell();
    }
}

// A click selects and hands the keyboard to the pictures; a double-click launches the table
// with "-nomovie" behind its path, quoted since the path holds a blank.
TEST_F(ShellChoice, ClickSelectsAndDoubleClickLaunches)
{
    addPlayableTables("table folder");
    ASSERT_TRUE(startShell());
    ASSERT_TRUE(bringToFront(window, inputTimeoutMs));
    HWND bravo = pictureIn(frames()[1]);
    ASSERT_TRUE(clickWindow(bravo));
    ASSERT_TRUE(waitUntil([this] { return shows("Bravo"); }, inputTimeoutMs));
    EXPECT_EQ(focus(), background());
    EXPECT_FALSE(isDefaultButton(okButton()));
    EXPECT_FALSE(isDefaultButton(cancelButton()));
    EXPECT_TRUE(tableLogLines(log).empty()) << "a click launches nothing";

    HWND delta = pictureIn(frames()[3]);
    ASSERT_TRUE(doubleClickWindow(delta));
    DWORD status = 1;
    ASSERT_TRUE(waitForEnd(&status));
    EXPECT_EQ(status, 0u);
    std::string exe = testDirectory() + "table folder\\Delta.exe";
    EXPECT_TRUE(waitForTableLogLine(log, "start \"" + exe + "\" -nomovie", 10000));
}

// A table installed from a drive that is gone (G: does not exist) whose disc is now mounted in
// F: starts from F:, with no question, by a double-click as by OK; the disc's label is compared
// without regard to case.
TEST_F(ShellChoice, TableWhoseDriveIsGoneStartsFromTheDriveWithItsDisc)
{
    emptyDisc('F');
    ASSERT_TRUE(putTableProgramOnDisc("SPACE\\space.exe", 'F'));
    addTable("Space", "G:\\SPACE\\space.exe");
    setRegString("Table 0", "Table CD", "VANTREL2 disc 2");
    for (bool byOk : {false, true}) {
        SCOPED_TRACE(byOk ? "OK" : "double-click");
        ASSERT_TRUE(startShell());
        ASSERT_TRUE(bringToFront(window, inputTimeoutMs));
        HWND space = pictureIn(frames()[0]);
        if (byOk) {
            ASSERT_TRUE(clickWindow(space));
            ASSERT_TRUE(waitUntil([this] { return shows("Space"); }, inputTimeoutMs));
            ASSERT_TRUE(clickWindow(okButton()));
        } else {
            ASSERT_TRUE(doubleClickWindow(space));
        }
        DWORD status = 1;
        ASSERT_TRUE(waitForEnd(&status));
        EXPECT_EQ(status, 0u);
        std::string start;
        EXPECT_TRUE(waitForTableLogLine(log, "start ", 10000, &start));
        EXPECT_EQ(start, "start F:\\SPACE\\space.exe -nomovie");
        endTablePrograms(log);
        DeleteFileA(log.c_str());
    }
    emptyDisc('F');
}

// A table program's "tid=" preselects its table and gives the pictures the focus; the last
// of several tables with that id wins. Without "tid=" the id is 0.
TEST_F(ShellWindow, TableIdPreselectsTheCallersTable)
{
    HWND caller = CreateWindowExA(0, "STATIC", "caller", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(caller, (HWND)NULL);
    struct Case {
        std::vector<int> ids;
        std::string arguments;
        const char *selected;
    } cases[] = {
        {{1, 5, 9}, callerWords(caller) + " tid=5", "Bravo"},
        {{5, 2, 5}, callerWords(caller) + " tid=5", "Charlie"},
        {{-1, 3, 0}, "", "Charlie"},
        {{1, 2, 3}, callerWords(caller) + " tid=7", ""},
    };
    const char *names[] = {"Alpha", "Bravo", "Charlie"};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments + " selects \"" + c.selected + "\"");
        deleteSettingsKey();
        tables = 0;
        for (size_t i = 0; i < c.ids.size(); ++i)
            addTable(names[i], "C:\\tables\\t.exe", c.ids[i]);
        ASSERT_TRUE(startShell(c.arguments));
        ASSERT_TRUE(waitUntil([&] { return labelText() == c.selected; }, inputTimeoutMs))
            << "label \"" << labelText() << "\"";
        bool preselected = c.selected[0] != '\0';
        EXPECT_EQ(focus(), preselected ? background() : cancelButton());
        EXPECT_EQ(IsWindowEnabled(okButton()) != FALSE, preselected);
        EXPECT_EQ(isDefaultButton(cancelButton()), !preselected);
        EXPECT_FALSE(isDefaultButton(okButton()));
        endShell();
    }
    DestroyWindow(caller);
}

// A display change with the same display leaves every window where it was made: the label
// keeps its creation place, 2 pixels below the buttons' top and 6 pixels shorter.
TEST_F(ShellWindow, DisplayChangeKeepsEveryPlace)
{
    for (const char *name : {"Alpha", "Bravo", "Charlie", "Delta"})
        addTable(name, "C:\\tables\\t.exe");
    ASSERT_TRUE(startShell());
    std::vector<HWND> windows = childrenOf(window);
    for (HWND frame : frames()) {
        windows.push_back(frame);
        windows.push_back(pictureIn(frame));
    }
    windows.push_back(window);
    std::vector<RECT> before;
    for (HWND each : windows) {
        RECT place;
        GetWindowRect(each, &place);
        before.push_back(place);
    }
    sendDisplayChange();
    for (size_t i = 0; i < windows.size(); ++i) {
        SCOPED_TRACE(windowClass(windows[i]) + " " + std::to_string(i));
        RECT after;
        GetWindowRect(windows[i], &after);
        EXPECT_TRUE(EqualRect(&after, &before[i]))
            << "moved to (" << after.left << ", " << after.top << ") " << after.right - after.left
            << " by " << after.bottom - after.top;
    }
}

// The focus on the pictures (Bravo selected), on OK or on Cancel, as Tab takes it round.
class CabinetPlay : public ShellChoice {
protected:
    struct Focus {
        const char *name;
        int tabs;
    };
    static constexpr Focus focuses[] = {{"the pictures", 0}, {"OK", 1}, {"Cancel", 2}};

    ::testing::AssertionResult startWithFocusOn(const Focus &where)
    {
        ::testing::AssertionResult started = startShell();
        if (!started)
            return started;
        ::testing::AssertionResult pictures = focusPictures();
        if (!pictures)
            return pictures;
        pressKey(VK_RIGHT);
        for (int i = 0; i < where.tabs; ++i)
            pressKey(VK_TAB);
        HWND expected[] = {background(), okButton(), cancelButton()};
        if (!waitUntil([&] { return shows("Bravo") && focus() == expected[where.tabs]; },
                       inputTimeoutMs))
            return ::testing::AssertionFailure() << "the focus is on \"" << windowText(focus())
                                                 << "\", \"" << labelText() << "\" selected";
        return ::testing::AssertionSuccess();
    }
};

constexpr CabinetPlay::Focus CabinetPlay::focuses[];

// Left Shift steps back and Right Shift on, without wrapping, whatever has the focus; the
// pictures then have it, as after a click. A step that must not move is shown by the next.
TEST_F(CabinetPlay, FlipperShiftsStepLikeTheArrowsFromAnyFocus)
{
    addPlayableTables("tables");
    const std::vector<KeyStep> steps = {
        {{VK_RSHIFT}, "Charlie"},
        {{VK_LSHIFT}, "Bravo"},
        {{VK_LSHIFT, VK_LSHIFT, VK_RSHIFT}, "Bravo"},
        {{VK_RSHIFT, VK_RSHIFT, VK_RSHIFT, VK_RSHIFT, VK_LSHIFT}, "Delta"},
    };
    for (const Focus &where : focuses) {
        SCOPED_TRACE(where.name);
        ASSERT_TRUE(startWithFocusOn(where));
        pressKeySteps(steps);
        EXPECT_EQ(focus(), background());
        endShell();
    }
}

// With the focus on Cancel at the start and nothing selected, a flipper selects the first table.
TEST_F(ShellChoice, FlipperFromTheStartSelectsTheFirstTable)
{
    addPlayableTables("tables");
    for (WORD flipper : {VK_LSHIFT, VK_RSHIFT}) {
        SCOPED_TRACE(flipper == VK_LSHIFT ? "Left Shift" : "Right Shift");
        ASSERT_TRUE(startShell());
        ASSERT_TRUE(bringToFront(window, inputTimeoutMs));
        ASSERT_EQ(focus(), cancelButton());
        pressKey(flipper);
        EXPECT_TRUE(waitUntil([this] { return shows("Alpha") && focus() == background(); },
                              inputTimeoutMs));
        endShell();
    }
}

// 1, the Start button, starts the selected table and Escape ends the run, whatever has the
// focus.
TEST_F(CabinetPlay, StartButtonLaunchesAndEscapeEndsFromAnyFocus)
{
    addPlayableTables("tables");
    for (WORD key : {(WORD)'1', (WORD)VK_ESCAPE}) {
        for (const Focus &where : focuses) {
            SCOPED_TRACE(std::string(where.name) + (key == '1' ? ", 1" : ", Escape"));
            DeleteFileA(log.c_str());
            ASSERT_TRUE(startWithFocusOn(where));
            pressKey(key);
            DWORD status = 1;
            ASSERT_TRUE(waitForEnd(&status));
            EXPECT_EQ(status, 0u);
            if (key == '1')
                EXPECT_TRUE(waitForTableLogLine(log, started("Bravo"), 10000));
            else
                EXPECT_TRUE(tableLogLines(log).empty()) << "Escape launched a table";
            endShell();
            endTablePrograms(log);
        }
    }
}

// A held flipper steps at each repeat of the keyboard and not again when let go; Shift with
// another key is left to that key: Shift+Tab moves the focus back and selects nothing.
TEST_F(ShellChoice, HeldFlipperRepeatsAndShiftTabStaysShiftTab)
{
    addPlayableTables("tables");
    ASSERT_TRUE(startShell());
    ASSERT_TRUE(focusPictures());
    holdKey(VK_RSHIFT);
    for (const char *next : {"Bravo", "Charlie", "Delta"}) {
        holdKey(VK_RSHIFT);
        EXPECT_TRUE(waitUntil([&] { return labelText() == next; }, inputTimeoutMs))
            << "label \"" << labelText() << "\" while Right Shift is held";
    }
    releaseKey(VK_RSHIFT);
    pressKey(VK_LSHIFT);
    EXPECT_TRUE(waitUntil([&] { return labelText() == "Charlie"; }, inputTimeoutMs))
        << "letting Right Shift go moved the selection, to \"" << labelText() << "\"";

    bool moved = false;
    for (int attempt = 0; attempt < 3 && !moved; ++attempt) {
        pressKey(VK_TAB, VK_LSHIFT);
        moved = waitUntil([this] { return focus() == cancelButton(); }, 2000);
    }
    EXPECT_TRUE(moved) << "Shift+Tab did not take the focus back to Cancel";
    SendMessageA(window, WM_NULL, 0, 0);
    EXPECT_EQ(labelText(), "Charlie") << "Shift+Tab moved the selection";
}

// A key held from now until released, or until the test ends, however it ends.
class HeldKey {
public:
    explicit HeldKey(WORD key) : key(key) { holdKey(key); }
    ~HeldKey() { release(); }
    void release()
    {
        if (down)
            releaseKey(key);
        down = false;
    }

private:
    WORD key;
    bool down = true;
};

// A click or another key while a flipper is held cancels it until it is let go: neither its
// further repeats nor its release step, whatever the click selected or where Tab took the focus.
TEST_F(ShellChoice, ClickOrKeyCancelsAHeldFlipperUntilLetGo)
{
    addPlayableTables("tables");
    struct Case {
        const char *what;
        std::function<bool()> interrupt;
        const char *selected;
    } cases[] = {
        {"a click on Charlie", [this] { return clickWindow(pictureIn(frames()[2])); }, "Charlie"},
        {"Tab", [] { pressKey(VK_TAB); return true; }, "Bravo"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(startShell());
        ASSERT_TRUE(focusPictures());
        pressKey(VK_RIGHT);
        ASSERT_TRUE(waitUntil([this] { return labelText() == "Bravo"; }, inputTimeoutMs));
        HeldKey flipper(VK_LSHIFT);
        ASSERT_TRUE(c.interrupt());
        EXPECT_TRUE(waitUntil([&] { return labelText() == c.selected; }, inputTimeoutMs));
        for (int repeat = 0; repeat < 3; ++repeat)
            holdKey(VK_LSHIFT);
        flipper.release();
        SendMessageA(window, WM_NULL, 0, 0);
        EXPECT_FALSE(waitUntil([&] { return labelText() != c.selected; }, 500))
            << "the held Left Shift stepped to \"" << labelText() << "\"";
        pressKey(VK_LSHIFT);
        EXPECT_TRUE(waitUntil([&] { return labelText() != c.selected; }, inputTimeoutMs))
            << "let go, the next press of Left Shift did nothing";
        endShell();
    }
}

// Input made without a scan code (on-screen keyboards, key mappers) gives a Shift whose side is
// unknown: it steps neither way, held or let go, counts as another key for a flipper held
// meanwhile, and leaves the flippers and Shift+Tab as they were. Wine fills in a missing scan
// code, so the shell gets the messages as Windows delivers them.
TEST_F(ShellChoice, ShiftWithoutScanCodeDoesNotStep)
{
    addPlayableTables("tables");
    ASSERT_TRUE(startShell());
    ASSERT_TRUE(focusPictures());
    pressKey(VK_RIGHT);
    ASSERT_TRUE(waitUntil([this] { return labelText() == "Bravo"; }, inputTimeoutMs));
    const LPARAM once = 1, repeated = 1 | (1 << 30), released = 1 | (1 << 30) | (1u << 31);
    for (LPARAM keyData : {once, repeated, repeated})
        PostMessageA(background(), WM_KEYDOWN, VK_SHIFT, keyData);
    PostMessageA(background(), WM_KEYUP, VK_SHIFT, released);
    SendMessageA(window, WM_NULL, 0, 0);
    EXPECT_FALSE(waitUntil([this] { return labelText() != "Bravo"; }, 500))
        << "a Shift without a scan code stepped to \"" << labelText() << "\"";
    pressKey(VK_RSHIFT);
    EXPECT_TRUE(waitUntil([this] { return labelText() == "Charlie"; }, inputTimeoutMs))
        << "Right Shift after it did not step on";
    // Posted all, so that they come in this order.
    const LPARAM rightShift = (LPARAM)MapVirtualKeyA(VK_RSHIFT, MAPVK_VK_TO_VSC) << 16;
    PostMessageA(background(), WM_KEYDOWN, VK_SHIFT, once | rightShift);
    PostMessageA(background(), WM_KEYDOWN, VK_SHIFT, once);
    PostMessageA(background(), WM_KEYUP, VK_SHIFT, released | rightShift);
    SendMessageA(window, WM_NULL, 0, 0);
    EXPECT_FALSE(waitUntil([this] { return labelText() != "Charlie"; }, 500))
        << "Right Shift with a Shift of unknown side stepped to \"" << labelText() << "\"";
    bool moved = false;
    for (int attempt = 0; attempt < 3 && !moved; ++attempt) {
        pressKey(VK_TAB, VK_LSHIFT);
        moved = waitUntil([this] { return focus() == cancelButton(); }, 2000);
    }
    EXPECT_TRUE(moved) << "Shift+Tab did not take the focus back to Cancel";
    EXPECT_EQ(labelText(), "Charlie");
}

// With only the cabinet the CD prompt is answered: 1 presses OK, which looks for the disc
// again and asks once more while it is not there, and Escape cancels back to the window.
TEST_F(ShellChoice, StartAndExitAnswerTheCdPrompt)
{
    emptyDisc();
    addTable("Alpha", "E:\\table.exe");
    ASSERT_TRUE(startShell());
    ASSERT_TRUE(focusPictures());
    pressKey('1');
    MessageBoxContent prompt;
    ASSERT_TRUE(waitForMessageBox(shell->id(), 10000, &prompt));
    ASSERT_EQ(prompt.buttons, (std::vector<std::string>{"OK", "Cancel"}));
    HWND first = prompt.window;
    ASSERT_TRUE(bringToFront(first, inputTimeoutMs));
    pressKey('1');
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(first); }, inputTimeoutMs)) << "1 left the box";
    ASSERT_TRUE(waitForMessageBox(shell->id(), 10000, &prompt)) << "OK without the disc asks again";
    ASSERT_TRUE(bringToFront(prompt.window, inputTimeoutMs));
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(prompt.window); }, inputTimeoutMs))
        << "Escape left the box";
    EXPECT_TRUE(noMessageBoxFor(shell->id(), 300));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(tableLogLines(log).empty());
}

}
