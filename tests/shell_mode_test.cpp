#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include "gfx/shell_palette.h"
#include "movie/logo_movie.h"
#include "shell/names.h"
#include "shell/shell_classes.h"
#include "shell/shell_mode.h"
#include "tests/support/catalogue_reset.h"
#include "tests/support/cdrom.h"
#include "tests/support/dialogs.h"
#include "tests/support/input.h"
#include "tests/support/other_palette.h"
#include "tests/support/process.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/shell_window.h"
#include "tests/support/table_program.h"
#include "ui/background_window.h"
#include "ui/main_window.h"
#include "ui/picture_windows.h"
#include "ui/shell_state.h"

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// Shell mode in this process, where a test can take a class name first or refuse a window.
class ShellModeInProcess : public SettingsTest {
protected:
    void TearDown() override
    {
        // The failing runs post a quit message of their own; it must not end a later loop.
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            ;
        confirmedTable.table = NULL;
        currentSelection = NULL;
        SettingsTest::TearDown();
    }

    // One table, of id 0, which a plain start preselects; no logo movie.
    void catalogueOfOneTable()
    {
        setRegString("", "Table0", "Lone");
        setRegString("Lone", "Table Name", "Lone Table");
        setRegString("Lone", "Table Exe", "C:\\lone.exe");
        setRegDword("Lone", "Table Id", 0);
        playLogoMovie = 0;
    }

    static bool classRegistered(const char *name)
    {
        WNDCLASSA found;
        return GetClassInfoA(appInstance, name, &found) != FALSE;
    }
};

struct ShellClassCase {
    const char *name;
    WNDPROC procedure;
    UINT style;
    int extraBytes;
    int brush;
    bool hasIcon;
};

// Frames and pictures keep their table's address: as many extra bytes as a pointer has.
const int pointerBytes = sizeof(void *);

const ShellClassCase shellClasses[] = {
    {shellClassName, MainWndProc, 0, 0, LTGRAY_BRUSH, true},
    {"PinballShellBackgroundClass", BackgroundWndProc, 0, 0, BLACK_BRUSH, false},
    {"PinballShellPictureFrameClass", PictureFrameWndProc, CS_OWNDC, pointerBytes, DKGRAY_BRUSH, false},
    {"PinballShellPictureClass", PictureWndProc, CS_DBLCLKS, pointerBytes, GRAY_BRUSH, false},
};

TEST_F(ShellModeInProcess, RegistersTheFourClassesAndTakesThemAwayAgain)
{
    ASSERT_EQ(registerShellClasses(), 1);
    EXPECT_EQ(registeredClasses, 15u);
    HICON icon = LoadIconA(appInstance, "ICON_1");
    ASSERT_NE(icon, (HICON)NULL) << "the shell's icon group";
    for (const ShellClassCase &c : shellClasses) {
        SCOPED_TRACE(c.name);
        WNDCLASSA found = {};
        ASSERT_TRUE(GetClassInfoA(appInstance, c.name, &found));
        EXPECT_EQ(found.lpfnWndProc, c.procedure);
        EXPECT_EQ(found.style, c.style);
        EXPECT_EQ(found.cbClsExtra, 0);
        EXPECT_EQ(found.cbWndExtra, c.extraBytes);
        EXPECT_EQ(found.hbrBackground, (HBRUSH)GetStockObject(c.brush));
        EXPECT_EQ(found.hIcon, c.hasIcon ? icon : (HICON)NULL);
        EXPECT_EQ(found.hCursor, LoadCursorA(NULL, IDC_ARROW));
        EXPECT_EQ(found.lpszMenuName, nullptr);
    }
    unregisterShellClasses();
    EXPECT_EQ(registeredClasses, 0u);
    for (const ShellClassCase &c : shellClasses)
        EXPECT_FALSE(classRegistered(c.name)) << c.name;
}

// A class name that another part of this program holds already makes the registration fail:
// the run ends with -1 and leaves none of the shell's classes behind.
TEST_F(ShellModeInProcess, ClassNameTakenEndsWithMinusOne)
{
    for (const ShellClassCase &taken : shellClasses) {
        SCOPED_TRACE(taken.name);
        WNDCLASSA other = {};
        other.lpfnWndProc = DefWindowProcA;
        other.hInstance = appInstance;
        other.lpszClassName = taken.name;
        ASSERT_NE(RegisterClassA(&other), 0);
        EXPECT_EQ(runShellMode(), -1);
        EXPECT_EQ(registeredClasses, 0u);
        EXPECT_EQ(mainWindow, (HWND)NULL);
        UnregisterClassA(taken.name, appInstance);
        for (const ShellClassCase &c : shellClasses)
            EXPECT_FALSE(classRegistered(c.name)) << c.name << " was left registered";
    }
}

// Refuses the creation of windows of one class, through the system's own creation hook, and
// remembers every window that was made meanwhile.
struct CreationRefusal {
    static std::string refusedClass;
    static std::vector<HWND> created;
    HHOOK hook;

    explicit CreationRefusal(const char *className)
    {
        refusedClass = className;
        created.clear();
        hook = SetWindowsHookExA(WH_CBT, refuse, NULL, GetCurrentThreadId());
    }
    ~CreationRefusal() { UnhookWindowsHookEx(hook); }

    static LRESULT CALLBACK refuse(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            HWND window = (HWND)wParam;
            if (lstrcmpiA(windowClass(window).c_str(), refusedClass.c_str()) == 0)
                return 1;
            created.push_back(window);
        }
        return CallNextHookEx(NULL, code, wParam, lParam);
    }
};
std::string CreationRefusal::refusedClass;
std::vector<HWND> CreationRefusal::created;

// A main window that cannot be made, or whose controls cannot, ends the run with 0 and leaves
// no window, palette or class behind.
TEST_F(ShellModeInProcess, WindowThatCannotBeMadeEndsWithZero)
{
    for (const char *refused : {shellClassName, "Static", "Button", "PinballShellBackgroundClass"}) {
        SCOPED_TRACE(refused);
        CreationRefusal refusal(refused);
        EXPECT_EQ(runShellMode(), 0);
        EXPECT_EQ(mainWindow, (HWND)NULL);
        EXPECT_EQ(nameLabel, (HWND)NULL);
        EXPECT_EQ(okButton, (HWND)NULL);
        EXPECT_EQ(cancelButton, (HWND)NULL);
        EXPECT_EQ(backgroundWindow, (HWND)NULL);
        for (HWND window : CreationRefusal::created)
            EXPECT_FALSE(IsWindow(window)) << windowClass(window) << " was left";
        EXPECT_EQ(ShellPalette, (HPALETTE)NULL);
        EXPECT_EQ(registeredClasses, 0u);
    }
}

// An arrow key that reaches the shell before the CD prompt opens is handled inside the
// prompt's own message loop and moves the selection; the table then started is still the one
// whose executable was checked: the double-clicked table on the disc, not the one selected
// since.
TEST_F(ShellModeInProcess, TableStartedIsTheOneCheckedWhateverTheCdPromptHandled)
{
    const std::string onFixedDisk = copyTableProgram("fixedtable.exe");
    emptyDisc();
    setRegString("", "Table0", "OnDisc");
    setRegString("OnDisc", "Table Name", "On Disc");
    setRegString("OnDisc", "Table Exe", "E:\\disctable.exe");
    setRegString("OnDisc", "Table CD", "Disc A");
    setRegDword("OnDisc", "Table Id", 1);
    setRegString("", "Table1", "OnDisk");
    setRegString("OnDisk", "Table Name", "On Disk");
    setRegString("OnDisk", "Table Exe", onFixedDisk.c_str());
    setRegDword("OnDisk", "Table Id", 2);
    playLogoMovie = 0;
    const std::string log = freshTableLogPath("checked_table");
    ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
    std::thread player([] {
        if (waitForWindow(shellClassName, GetCurrentProcessId(), 10000) == NULL)
            return;
        PostMessageA(tableEntries[0].pictureWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(backgroundWindow, WM_KEYDOWN, VK_RIGHT, 0);
    });
    BoxAnswerer answerer({"OK"}, [](size_t) {
        EXPECT_TRUE(CopyFileA(tableProgramPath().c_str(), (discFolder() + "disctable.exe").c_str(), FALSE));
    });
    EXPECT_EQ(runShellMode(), 0);
    player.join();
    EXPECT_EQ(currentSelection, &tableEntries[1]) << "the key did not move the selection";
    std::string start;
    if (waitForTableLogLine(log, "start ", 10000, &start)) {
        EXPECT_TRUE(endStartedTableProgram(10000));
    }
    EXPECT_EQ(start, "start E:\\disctable.exe -nomovie");
    std::vector<std::string> texts;
    for (const MessageBoxContent &box : answerer.finish())
        texts.push_back(box.text);
    EXPECT_EQ(texts, std::vector<std::string>{"Insert CD labeled 'Disc A'"});
    emptyDisc();
    resetCatalogue();
}

// A small window of this test, clear of the shell's, on a thread of its own that counts the
// paints reaching it.
struct PaintCounter {
    std::atomic<int> paints{0};
    std::atomic<DWORD> threadId{0};
    std::thread thread;

    PaintCounter()
        : thread([this] {
              threadId = GetCurrentThreadId();
              WNDCLASSA counting = {};
              counting.lpfnWndProc = count;
              counting.hInstance = GetModuleHandleA(NULL);
              counting.lpszClassName = "PaintCounterClass";
              RegisterClassA(&counting);
              HWND made = CreateWindowExA(0, "PaintCounterClass", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                          20, 20, NULL, NULL, GetModuleHandleA(NULL), this);
              MSG message;
              while (GetMessageA(&message, NULL, 0, 0) > 0)
                  DispatchMessageA(&message);
              DestroyWindow(made);
              UnregisterClassA("PaintCounterClass", GetModuleHandleA(NULL));
          })
    {
    }
    ~PaintCounter()
    {
        // Posting fails until the thread has its message queue.
        while (threadId == 0 || !PostThreadMessageA(threadId, WM_QUIT, 0, 0))
            Sleep(1);
        thread.join();
    }

    static LRESULT CALLBACK count(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              (LONG_PTR)((CREATESTRUCTA *)lParam)->lpCreateParams);
        if (message == WM_PAINT)
            ++((PaintCounter *)GetWindowLongPtrA(window, GWLP_USERDATA))->paints;
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

// A table whose frame could not be made stays selectable, and its flashing touches no other
// window: invalidating a frame that does not exist would repaint the whole screen 40 times a
// second.
TEST_F(ShellModeInProcess, TableWithoutAFrameFlashesNothingElse)
{
    catalogueOfOneTable();
    PaintCounter other;
    int paintsWhileFlashing = -1;
    bool focused = false;
    std::thread player([&other, &paintsWhileFlashing, &focused] {
        HWND shown = waitForWindow(shellClassName, GetCurrentProcessId(), 10000);
        // Activated, the window hands the focus on to the pictures, which then flash; a
        // sample counts only when they kept the focus all through it.
        for (int attempt = 0; attempt < 5 && !focused; ++attempt) {
            if (!bringToFront(shown, 2000) ||
                !waitUntil([] { return backgroundHasFocus != 0; }, 2000))
                continue;
            int before = other.paints;
            Sleep(300);
            focused = backgroundHasFocus != 0;
            paintsWhileFlashing = other.paints - before;
        }
        if (shown)
            PostMessageA(shown, WM_CLOSE, 0, 0);
    });
    {
        CreationRefusal refusal("PinballShellPictureFrameClass");
        EXPECT_EQ(runShellMode(), 0);
    }
    player.join();
    EXPECT_TRUE(focused) << "the pictures never had the focus";
    EXPECT_EQ(currentSelection, &tableEntries[0]) << "the table of id 0 is preselected";
    EXPECT_EQ(tableEntries[0].frameWindow, (HWND)NULL);
    EXPECT_EQ(paintsWhileFlashing, 0) << "other windows repainted while the selection flashed";
    currentSelection = NULL;
    resetCatalogue();
}

// How often the top-left pixel of a frame's ring changes over `spanMs`, looked at every
// millisecond or so through a DC of the cache: the frame's own DC belongs to the thread that
// paints it.
int ringChanges(HWND frame, DWORD spanMs)
{
    int changes = 0;
    COLORREF last = CLR_INVALID;
    for (DWORD start = GetTickCount(); GetTickCount() - start < spanMs; Sleep(1)) {
        HDC dc = GetDCEx(frame, NULL, DCX_CACHE);
        COLORREF shown = GetPixel(dc, 0, 0);
        ReleaseDC(frame, dc);
        if (last != CLR_INVALID && shown != last)
            changes++;
        last = shown;
    }
    return changes;
}

// The flash keeps time in the main loop's wait: a new colour every 25 ms (a draw of the colour
// already shown changes nothing, and a loaded machine may drop a tick), never faster. A
// message sent from another thread is handled inside that wait and must not leave the loop
// waiting for a posted message, with the frame standing still until the player acts.
TEST_F(ShellModeInProcess, FrameFlashesEvery25MsAlsoAfterAMessageSentFromAnotherThread)
{
    catalogueOfOneTable();
    const DWORD spanMs = 500;
    int changesBefore = -1, changesAfter = -1;
    std::thread player([&changesBefore, &changesAfter, spanMs] {
        HWND shown = waitForWindow(shellClassName, GetCurrentProcessId(), 10000);
        if (bringToFront(shown, 2000) && waitUntil([] { return backgroundHasFocus != 0; }, 2000)) {
            HWND frame = tableEntries[0].frameWindow;
            changesBefore = ringChanges(frame, spanMs);
            SendMessageA(shown, WM_NULL, 0, 0);
            changesAfter = ringChanges(frame, spanMs);
        }
        if (shown)
            PostMessageA(shown, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(runShellMode(), 0);
    player.join();
    const int most = spanMs / 25 + 2;
    EXPECT_GE(changesBefore, 5) << "the frame did not flash";
    EXPECT_LE(changesBefore, most) << "the frame flashed faster than every 25 ms";
    EXPECT_GE(changesAfter, 5) << "the frame stopped flashing after a sent message";
    EXPECT_LE(changesAfter, most);
    currentSelection = NULL;
    resetCatalogue();
}

// How many colours of the shell's palette the system palette lacks.
int missingShellColours(HWND window)
{
    PALETTEENTRY shell[256], system[256];
    UINT count = GetPaletteEntries(ShellPalette, 0, 256, shell);
    HDC dc = GetDC(window);
    UINT systemCount = GetSystemPaletteEntries(dc, 0, 256, system);
    ReleaseDC(window, dc);
    std::set<COLORREF> present;
    for (UINT i = 0; i < systemCount; i++)
        present.insert(RGB(system[i].peRed, system[i].peGreen, system[i].peBlue));
    int missing = 0;
    for (UINT i = 0; i < count; i++)
        missing += present.count(RGB(shell[i].peRed, shell[i].peGreen, shell[i].peBlue)) == 0;
    return missing;
}

// On a palette display the background's repaint realises the shell's palette again: after a
// new palette, or after another program changed the system palette, the shell's colours are
// back in it. A change that the shell made itself repaints nothing, and leaves the colours
// that another program put there.
TEST_F(ShellModeInProcess, PaletteMessagesRealiseTheShellsPaletteThroughTheBackground)
{
    HDC screen = GetDC(NULL);
    bool paletteDisplay = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(NULL, screen);
    if (!paletteDisplay)
        GTEST_SKIP() << "the display has no palette";
    catalogueOfOneTable();
    struct Case {
        const char *name;
        UINT message;
        bool fromShell, realised;
        int missingBefore = -1, missingAfter = -1;
    } cases[] = {
        {"palette changed by the shell", WM_PALETTECHANGED, true, false},
        {"new palette", WM_QUERYNEWPALETTE, false, true},
        {"palette changed by another window", WM_PALETTECHANGED, false, true},
    };
    std::thread player([&cases] {
        HWND shown = waitForWindow(shellClassName, GetCurrentProcessId(), 10000);
        // Settled: the answer comes once the paints of the window's showing are done.
        SendMessageA(shown, WM_NULL, 0, 0);
        for (Case &c : cases) {
            if (shown == NULL)
                break;
            realiseOtherColours(shown);
            c.missingBefore = missingShellColours(shown);
            SendMessageA(shown, c.message, (WPARAM)(c.fromShell ? shown : GetDesktopWindow()), 0);
            if (c.realised)
                waitUntil([&] { return missingShellColours(shown) == 0; }, 2000);
            else
                Sleep(300);
            c.missingAfter = missingShellColours(shown);
        }
        if (shown)
            PostMessageA(shown, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(runShellMode(), 0);
    player.join();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        // Realised through the shell's own window, the other colours must stay until a message
        // makes the shell realise its palette again.
        EXPECT_GT(c.missingBefore, 100) << "the other colours did not stay in the system palette";
        if (c.realised)
            EXPECT_EQ(c.missingAfter, 0);
        else
            EXPECT_EQ(c.missingAfter, c.missingBefore);
    }
    currentSelection = NULL;
    resetCatalogue();
}

// The build's movie beside this test program, where shell mode looks for it, while it lives.
struct MovieBesideTheProgram {
    std::string path = testDirectory() + "logo.avi";
    bool copied = CopyFileA((buildDirectory() + "logo.avi").c_str(), path.c_str(), FALSE) != 0;
    ~MovieBesideTheProgram() { DeleteFileA(path.c_str()); }
};

// Watches this process's windows while shell mode runs: the black movie window, then the main
// window, which it closes so that the run ends; or it ends the run while the movie plays, as a
// table program's request to end does.
struct MovieWatcher {
    bool endDuringMovie;
    std::atomic<bool> movieSeen{false}, windowShownDuringMovie{false}, windowShown{false};
    std::atomic<bool> stopping{false};
    std::thread thread{[this] { watch(); }};

    explicit MovieWatcher(bool endDuringMovieToo) : endDuringMovie(endDuringMovieToo) {}
    ~MovieWatcher()
    {
        stopping = true;
        thread.join();
    }
    void watch()
    {
        DWORD self = GetCurrentProcessId();
        waitUntil([&] { return stopping || waitForWindow(movieClassName, self, 0) != NULL; }, 5000);
        movieSeen = waitForWindow(movieClassName, self, 0) != NULL;
        windowShownDuringMovie = movieSeen && waitForWindow(shellClassName, self, 0) != NULL;
        if (endDuringMovie) {
            PostMessageA(mainWindow, WM_QUIT, 0, 0);
            return;
        }
        HWND window = NULL;
        waitUntil([&] { return stopping || (window = waitForWindow(shellClassName, self, 0)) != NULL; },
                  10000);
        windowShown = window != NULL;
        if (window != NULL)
            closeShellWindow(window);
    }
};

// The movie plays to its end before the window comes up. After the loop, also one that ended
// while the movie played, neither the movie nor the device stays open.
TEST_F(ShellModeInProcess, MovieBesideTheProgramPlaysBeforeTheWindowAndIsClosedAfterTheLoop)
{
    MovieBesideTheProgram movie;
    ASSERT_TRUE(movie.copied);
    for (bool endDuringMovie : {false, true}) {
        SCOPED_TRACE(endDuringMovie ? "run ended during the movie" : "movie played to its end");
        playLogoMovie = 1;
        movieFinished = 0;
        int status;
        HWND backdrop;
        {
            MovieWatcher watcher(endDuringMovie);
            status = runShellMode();
            backdrop = FindWindowA(movieClassName, NULL);
            EXPECT_TRUE(watcher.movieSeen);
            EXPECT_FALSE(watcher.windowShownDuringMovie);
            EXPECT_EQ(watcher.windowShown, !endDuringMovie);
        }
        EXPECT_EQ(status, 0);
        EXPECT_EQ(movieFinished, endDuringMovie ? 0 : 1);
        EXPECT_EQ(logoMovie.opened, 0);
        EXPECT_EQ(logoMovie.playing, 0);
        EXPECT_EQ(logoMovie.backdropWindow, (HWND)NULL);
        EXPECT_EQ(backdrop, (HWND)NULL) << "the black window stayed";
        char reply[64];
        EXPECT_NE(mciSendStringA("status mov mode", reply, sizeof reply, NULL), 0u) << "alias left open";
        EXPECT_NE(mciSendStringA("close avivideo", NULL, 0, NULL), 0u) << "device left open";
        WNDCLASSA found;
        EXPECT_FALSE(GetClassInfoA(appInstance, movieClassName, &found));
        currentMovie = NULL;
    }
}

}
