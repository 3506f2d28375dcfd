#include <gtest/gtest.h>

#include "movie/logo_movie.h"
#include "settings/settings_store.h"
#include "shell/globals.h"
#include "shell/names.h"
#include "tests/support/catalogue_reset.h"
#include "tests/support/cdrom.h"
#include "tests/support/dialogs.h"
#include "tests/support/input.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/scripted_controller.h"
#include "tests/support/shell_thread.h"
#include "tests/support/shell_session.h"
#include "tests/support/stepped_clock.h"
#include "tests/support/table_program.h"
#include "ui/shell_state.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const DWORD windowTimeoutMs = 10000;
const DWORD searchTimeoutMs = 5000;
const ControllerReading atRest = {32767, 32767, restingHat, 0};

ControllerReading hat(DWORD pov)
{
    ControllerReading reading = atRest;
    reading.pov = pov;
    return reading;
}

ControllerReading stick(DWORD x, DWORD y)
{
    return ControllerReading{x, y, restingHat, 0};
}

ControllerReading buttons(DWORD pressed)
{
    ControllerReading reading = atRest;
    reading.buttons = pressed;
    return reading;
}

std::string tableName(int i)
{
    return "Table " + std::to_string(i + 1);
}

std::string fileBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The shell run in this process on a thread of its own, with the scripted controller and a
// clock that moves only when the test moves it; the test plays from its own thread. Whatever
// the test does, the shell's boxes are cancelled, its window closed and its thread joined.
class ControllerPlay : public ::testing::Test {
protected:
    RegistrySandbox sandbox;
    ShellThread shell;
    HWND window = NULL;
    int tables = 0;

    void SetUp() override
    {
        removeScriptedController();
        setScriptedWarmUp(0);
        setSteppedClock(100000);
        playLogoMovie = 0;
        emptyDisc();
    }

    void TearDown() override
    {
        shell.end();
        resetCatalogue();
        removeScriptedController();
        setScriptedWarmUp(0);
        playLogoMovie = 1;
        emptyDisc();
    }

    void addTable(const std::string &exe)
    {
        std::string subkey = "Table " + std::to_string(tables);
        setRegString("", ("Table" + std::to_string(tables)).c_str(), subkey);
        setRegString(subkey, "Table Name", tableName(tables));
        setRegString(subkey, "Table Exe", exe);
        ++tables;
    }
    void addTables(int count)
    {
        for (int i = 0; i < count; ++i)
            addTable("C:\\no such folder\\table" + std::to_string(i) + ".exe");
    }

    ::testing::AssertionResult startShell()
    {
        ::testing::AssertionResult started = shell.start();
        window = shell.window;
        return started;
    }

    ::testing::AssertionResult waitForEnd() { return shell.waitForEnd(windowTimeoutMs); }

    // The controller is read every few milliseconds: after two more readings the shell has
    // acted on what it shows now.
    void letTheShellRead(LONG readings = 2)
    {
        LONG seen = scriptedReadings();
        waitUntil([&] { return scriptedReadings() >= seen + readings; }, 2000);
    }
    void show(const ControllerReading &reading)
    {
        setScriptedReading(reading);
        letTheShellRead();
    }
    void press(DWORD pressed)
    {
        show(buttons(pressed));
        show(atRest);
    }
    void attach()
    {
        LONG readings = scriptedReadings();
        attachScriptedController();
        waitUntil([&] { return scriptedReadings() > readings; }, searchTimeoutMs);
    }

    // The label's text; none once the window is gone.
    std::string selected() const
    {
        std::vector<HWND> children = childrenOf(window);
        return children.empty() ? std::string() : windowText(children[0]);
    }
    ::testing::AssertionResult selects(const std::string &name) const
    {
        if (waitUntil([&] { return selected() == name; }, 2000))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "\"" << selected() << "\" is selected, not \"" << name << "\"";
    }
    HWND background() const { return childrenOf(window)[3]; }
};

// Forward and left step back, right and back step on; on a diagonal the side counts, on the
// stick only a position out more than half-way from the centre moves; both ends stop.
TEST_F(ControllerPlay, HatAndStickStepLikeTheArrowsBeyondTheDeadZone)
{
    addTables(4);
    ASSERT_TRUE(startShell());
    attach();
    show(hat(9000));
    ASSERT_TRUE(selects(tableName(0))) << "the first move selects the first table";
    EXPECT_EQ(focusOf(window), background()) << "the pictures took the focus, as from a click";
    show(atRest);
    struct Case {
        const char *what;
        ControllerReading reading;
        int step;
    } cases[] = {
        {"hat right", hat(9000), 1},
        {"hat forward", hat(0), -1},
        {"hat back", hat(18000), 1},
        {"hat left", hat(27000), -1},
        {"hat forward and right", hat(4500), 1},
        {"hat back and left", hat(22500), -1},
        {"hat back and right", hat(13500), 1},
        {"hat forward and left", hat(31500), -1},
        {"stick right, past half-way", stick(32767 + 16385, 32767), 1},
        {"stick right, within half-way", stick(32767 + 16383, 32767), 0},
        {"stick left, past half-way", stick(32767 - 16385, 32767), -1},
        {"stick left, within half-way", stick(32767 - 16383, 32767), 0},
        {"stick back", stick(32767, 65535), 1},
        {"stick forward", stick(32767, 0), -1},
        {"stick forward, within half-way", stick(32767, 32767 - 16000), 0},
        {"stick right and a little forward", stick(65535, 20000), 1},
        {"hat left with the stick right", {65535, 32767, 27000, 0}, -1},
    };
    int position = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        int expected = std::max(0, std::min(tables - 1, position + c.step));
        show(c.reading);
        EXPECT_TRUE(selects(tableName(expected)));
        show(atRest);
        EXPECT_EQ(selected(), tableName(expected)) << "going back to rest moved the selection";
        position = expected;
    }
    show(hat(27000));
    show(atRest);
    show(hat(27000));
    EXPECT_EQ(selected(), tableName(0)) << "the first table is an end";
    show(atRest);
}

// The dead zone comes from the range that the driver reports, not from a fixed scale.
TEST_F(ControllerPlay, DeadZoneIsHalfOfTheReportedRange)
{
    addTables(3);
    ASSERT_TRUE(startShell());
    attachScriptedController({1000, 3000, 1000, 3000, 1});
    letTheShellRead();
    show(hat(9000));
    ASSERT_TRUE(selects(tableName(0)));
    show({2000, 2000, restingHat, 0});
    show({2499, 2000, restingHat, 0});
    EXPECT_EQ(selected(), tableName(0)) << "a quarter of the range out is within the dead zone";
    show({2501, 2000, restingHat, 0});
    EXPECT_TRUE(selects(tableName(1)));
    show({2000, 2000, restingHat, 0});
    show({2000, 2999, restingHat, 0});
    EXPECT_TRUE(selects(tableName(2)));
    show({2000, 2000, restingHat, 0});
}

// Held, a direction steps again after 400 ms and then every 120 ms, by the shell's clock.
TEST_F(ControllerPlay, HeldDirectionRepeatsAfter400ThenEvery120Ms)
{
    addTables(6);
    ASSERT_TRUE(startShell());
    attach();
    show(hat(9000));
    ASSERT_TRUE(selects(tableName(0)));
    struct Step {
        DWORD advanceMs;
        int selectedAfter;
    } steps[] = {{399, 0}, {1, 1}, {119, 1}, {1, 2}, {119, 2}, {1, 3}, {120, 4}};
    DWORD elapsed = 0;
    for (const Step &s : steps) {
        elapsed += s.advanceMs;
        SCOPED_TRACE(std::to_string(elapsed) + " ms held");
        advanceSteppedClock(s.advanceMs);
        letTheShellRead(3);
        EXPECT_TRUE(selects(tableName(s.selectedAfter)));
    }
    show(atRest);
    advanceSteppedClock(1000);
    letTheShellRead(3);
    EXPECT_EQ(selected(), tableName(4)) << "let go, it went on";
    show(hat(27000));
    EXPECT_TRUE(selects(tableName(3))) << "a new press steps at once";
    advanceSteppedClock(399);
    letTheShellRead(3);
    EXPECT_EQ(selected(), tableName(3)) << "the first delay is counted afresh";
    show(atRest);
}

// Button 2 is Cancel: the run ends and no table starts. Button 1 is OK: the selected table
// is checked and started. Other buttons do neither.
TEST_F(ControllerPlay, ButtonOneStartsTheSelectedTableButtonTwoCancels)
{
    std::string log = freshTableLogPath("controller_ok");
    ScopedEnvironment logging("PINBALL_TABLE_LOG", log);
    addTables(1);
    addTable(copyTableProgram("controller table.exe"));
    ASSERT_TRUE(startShell());
    attach();
    press(1);
    press(4);
    EXPECT_FALSE(shell.ended()) << "OK with no table selected, or button 3, did something";
    show(hat(9000));
    show(atRest);
    show(hat(9000));
    show(atRest);
    ASSERT_TRUE(selects(tableName(1)));
    press(4);
    EXPECT_FALSE(shell.ended()) << "button 3 did something";
    press(1);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(shell.exitCode, 0);
    EXPECT_TRUE(waitForTableLogLine(log, "start", 10000)) << "the table did not start";
    EXPECT_TRUE(endStartedTableProgram(10000));

    shell.end();
    DeleteFileA(log.c_str());
    ASSERT_TRUE(startShell());
    attach();
    press(2);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(shell.exitCode, 0);
    EXPECT_TRUE(tableLogLines(log).empty()) << "Cancel started a table";
}

// With only a controller, the CD prompt is answered: button 2 cancels it, back to the
// window; button 1 looks for the disc again, which starts the table once the disc is in.
TEST_F(ControllerPlay, ButtonsAnswerTheCdPrompt)
{
    std::string log = freshTableLogPath("controller_cd");
    ScopedEnvironment logging("PINBALL_TABLE_LOG", log);
    addTable("E:\\table.exe");
    ASSERT_TRUE(startShell());
    attach();
    show(hat(9000));
    show(atRest);
    ASSERT_TRUE(selects(tableName(0)));

    press(1);
    MessageBoxContent prompt;
    ASSERT_TRUE(waitForMessageBox(GetCurrentProcessId(), windowTimeoutMs, &prompt));
    ASSERT_EQ(prompt.buttons, (std::vector<std::string>{"OK", "Cancel"}));
    press(2);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(prompt.window); }, 2000)) << "Cancel left the box";
    EXPECT_FALSE(shell.ended());
    EXPECT_TRUE(IsWindowEnabled(window));

    press(1);
    ASSERT_TRUE(waitForMessageBox(GetCurrentProcessId(), windowTimeoutMs, &prompt));
    HWND first = prompt.window;
    press(1);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(first); }, 2000)) << "OK left the box";
    ASSERT_TRUE(waitForMessageBox(GetCurrentProcessId(), windowTimeoutMs, &prompt))
        << "OK without the disc asks again";
    ASSERT_TRUE(putOnDisc("table.exe", fileBytes(tableProgramPath())));
    press(1);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(shell.exitCode, 0);
    EXPECT_TRUE(waitForTableLogLine(log, "start", 10000)) << "the table on the disc did not start";
    EXPECT_TRUE(endStartedTableProgram(10000));
}

// The shell looks for a controller every few seconds, and reads nothing while none is there;
// one plugged in later is found and works.
TEST_F(ControllerPlay, ControllerAttachedLateIsFoundAndNoneCostsOnlyARareSearch)
{
    addTables(2);
    LONG searchesAtStart = scriptedSearches();
    ASSERT_TRUE(startShell());
    LONG readingsBefore = scriptedReadings();
    ASSERT_TRUE(waitUntil([&] { return scriptedSearches() > searchesAtStart; }, searchTimeoutMs));
    LONG searchesBefore = scriptedSearches();
    Sleep(3000);
    EXPECT_LE(scriptedSearches() - searchesBefore, 2) << "searched too often";
    EXPECT_EQ(scriptedReadings(), readingsBefore);

    attachScriptedController();
    EXPECT_TRUE(waitUntil([&] { return scriptedReadings() > readingsBefore; }, searchTimeoutMs))
        << "not found";
    show(hat(9000));
    EXPECT_TRUE(selects(tableName(0)));
    show(atRest);
}

// Pulled out while held, the controller is let go without a word: the selection stops, no
// box comes, and the same controller plugged in again is found at rest.
TEST_F(ControllerPlay, ControllerRemovedWhileHeldIsLetGo)
{
    addTables(5);
    ASSERT_TRUE(startShell());
    attach();
    show(hat(9000));
    ASSERT_TRUE(selects(tableName(0)));
    advanceSteppedClock(400);
    letTheShellRead(3);
    ASSERT_TRUE(selects(tableName(1)));
    setScriptedReading({32767, 32767, 9000, 1});
    removeScriptedController();
    LONG searches = scriptedSearches();
    ASSERT_TRUE(waitUntil([&] { return scriptedSearches() > searches; }, searchTimeoutMs))
        << "not looked for again";
    advanceSteppedClock(1000);
    EXPECT_TRUE(noMessageBoxFor(GetCurrentProcessId(), 300));
    EXPECT_EQ(selected(), tableName(1));
    EXPECT_FALSE(shell.ended());

    LONG readingsBefore = scriptedReadings();
    attachScriptedController();
    ASSERT_TRUE(waitUntil([&] { return scriptedReadings() > readingsBefore; }, searchTimeoutMs));
    letTheShellRead(3);
    advanceSteppedClock(1000);
    letTheShellRead(3);
    EXPECT_EQ(selected(), tableName(1)) << "found again at rest, it moved";
    show(hat(9000));
    EXPECT_TRUE(selects(tableName(2)));
    show(atRest);
}

// The logo movie beside the test, as beside the shell, while it lives.
struct MovieBesideTheShell {
    std::string path = testDirectory() + "logo.avi";
    bool copied = CopyFileA((buildDirectory() + "logo.avi").c_str(), path.c_str(), FALSE) != 0;
    ~MovieBesideTheShell() { DeleteFileA(path.c_str()); }
};

// Any button skips the logo movie; the window then comes as after a key. A controller plugged in
// before the start does so in the movie's second second, though the system's input devices take
// a while to start at the first look: the shell looks again soon while they start, not two
// seconds later, when the three-second movie is nearly over. (The movie plays once a process.)
TEST_F(ControllerPlay, AnyButtonSkipsTheMovieOnceTheDevicesAreUp)
{
    MovieBesideTheShell movie;
    ASSERT_TRUE(movie.copied);
    addTables(2);
    playLogoMovie = 1;
    setScriptedWarmUp(400);
    LONG readings = scriptedReadings();
    attachScriptedController();
    shell.run();
    ASSERT_NE(waitForWindow(movieClassName, GetCurrentProcessId(), windowTimeoutMs), (HWND)NULL);
    DWORD shown = GetTickCount();
    ASSERT_TRUE(waitUntil([&] { return scriptedReadings() > readings; }, 2000))
        << "not read within the movie's second second, after " << scriptedSearches()
        << " searches";
    press(8);
    window = waitForWindow(shellClassName, GetCurrentProcessId(), 1500);
    ASSERT_NE(window, (HWND)NULL) << "the movie went on";
    EXPECT_LT(GetTickCount() - shown, 2800u) << "the movie ended by itself";
    EXPECT_FALSE(shell.ended()) << "the button did more than skip the movie";
}

// A driver may report a position of 0 (forward) for a hat that its controller does not have:
// without a hat in the caps, the hat's position is never taken as a direction; the stick works.
TEST_F(ControllerPlay, HatPositionOfAControllerWithoutAHatIsIgnored)
{
    addTables(3);
    ASSERT_TRUE(startShell());
    ControllerCaps noHat = scriptedCaps;
    noHat.hasHat = 0;
    LONG readings = scriptedReadings();
    attachScriptedController(noHat);
    ASSERT_TRUE(waitUntil([&] { return scriptedReadings() > readings; }, searchTimeoutMs));
    show(stick(65535, 32767));
    ASSERT_TRUE(selects(tableName(0)));
    show(atRest);
    show(stick(65535, 32767));
    ASSERT_TRUE(selects(tableName(1)));
    show(hat(0));
    advanceSteppedClock(1000);
    letTheShellRead(3);
    EXPECT_EQ(selected(), tableName(1)) << "the hat that is not there stepped back";
    show({65535, 32767, 0, 0});
    EXPECT_TRUE(selects(tableName(2))) << "the stick did not step with the hat at 0";
    show(atRest);
}

// A button still held when the controller is found (from the table program that just ended, or
// pressed while it was plugged in) does nothing until it is let go and pressed again.
TEST_F(ControllerPlay, ButtonHeldWhenFoundActsOnlyOncePressedAgain)
{
    addTables(2);
    ASSERT_TRUE(startShell());
    attach();
    show(hat(9000));
    ASSERT_TRUE(selects(tableName(0)));
    show(atRest);
    removeScriptedController();
    LONG searches = scriptedSearches();
    ASSERT_TRUE(waitUntil([&] { return scriptedSearches() > searches; }, searchTimeoutMs));

    LONG readings = scriptedReadings();
    attachScriptedController(scriptedCaps, 1 | 2);
    ASSERT_TRUE(waitUntil([&] { return scriptedReadings() > readings; }, searchTimeoutMs));
    letTheShellRead(3);
    EXPECT_TRUE(noMessageBoxFor(GetCurrentProcessId(), 300)) << "the held button 1 chose the table";
    EXPECT_FALSE(shell.ended()) << "the held button 2 ended the run";
    show(atRest);
    press(1);
    MessageBoxContent box;
    EXPECT_TRUE(waitForMessageBox(GetCurrentProcessId(), windowTimeoutMs, &box))
        << "pressed again, button 1 did not choose the table";
}

// While the shell's window is hidden (a launch has begun, or it waits for its caller to go) or
// disabled, the controller neither steps, chooses nor cancels; shown and enabled again, it does.
TEST_F(ControllerPlay, ControllerDoesNothingWhileTheWindowIsHiddenOrDisabled)
{
    addTables(3);
    ASSERT_TRUE(startShell());
    attach();
    show(hat(9000));
    ASSERT_TRUE(selects(tableName(0)));
    show(atRest);
    struct Case {
        const char *what;
        std::function<void()> block, unblock;
    } cases[] = {
        {"hidden", [this] { ShowWindow(window, SW_HIDE); },
         [this] { ShowWindow(window, SW_SHOW); }},
        {"disabled", [this] { EnableWindow(window, FALSE); },
         [this] { EnableWindow(window, TRUE); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.block();
        struct Unblock {
            const Case &c;
            ~Unblock() { c.unblock(); }
        } unblock{c};
        letTheShellRead();
        show(hat(9000));
        advanceSteppedClock(1000);
        letTheShellRead(3);
        show(atRest);
        press(1);
        press(2);
        EXPECT_TRUE(noMessageBoxFor(GetCurrentProcessId(), 300)) << "button 1 chose the table";
        ASSERT_FALSE(shell.ended()) << "button 2 ended the run";
        EXPECT_EQ(selected(), tableName(0)) << "the hat stepped";
    }
    show(hat(9000));
    EXPECT_TRUE(selects(tableName(1))) << "shown and enabled again, the hat did not step";
    show(atRest);
    press(2);
    EXPECT_TRUE(waitForEnd()) << "shown and enabled again, button 2 did not end the run";
}

} // namespace
