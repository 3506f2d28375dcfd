#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "shell/names.h"
#include "tests/support/dialogs.h"
#include "tests/support/input.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/scripted_controller.h"
#include "tests/support/shell_session.h"
#include "tests/support/shell_window.h"
#include "tests/support/shell_thread.h"
#include "tests/support/stepped_clock.h"
#include "ui/shell_state.h"

#include <functional>
#include <string>

namespace {

const DWORD defaultIdleMs = 120000;
const DWORD stepMs = 4000;
const DWORD answerTimeoutMs = 3000;
/* How long a test watches for something that must not happen. */
const DWORD quietMs = 300;
const ControllerReading atRest = {32767, 32767, restingHat, 0};

std::string tableName(int i)
{
    return "Table " + std::to_string(i + 1);
}

// The shell run in this process with a clock that moves only when the test moves it, so that
// two minutes without input take no time; and with the scripted controller in place of one.
class AttractMode : public ::testing::Test {
protected:
    RegistrySandbox sandbox;
    ShellThread shell;
    int tables = 0;

    void SetUp() override
    {
        removeScriptedController();
        setSteppedClock(100000);
    }
    void TearDown() override
    {
        shell.end();
        removeScriptedController();
    }

    // Tables whose programs are nowhere: a start would say so in a box.
    void addTables(int count)
    {
        for (int i = 0; i < count; ++i, ++tables) {
            std::string subkey = "Attract " + std::to_string(tables);
            setRegString("", ("Table" + std::to_string(tables)).c_str(), subkey);
            setRegString(subkey, "Table Name", tableName(tables));
            setRegString(subkey, "Table Exe", "C:\\no such folder\\table" + std::to_string(i) + ".exe");
        }
    }
    ::testing::AssertionResult start()
    {
        ::testing::AssertionResult started = shell.start();
        if (started && !bringToFront(shell.window, answerTimeoutMs))
            return ::testing::AssertionFailure() << "the shell's window did not come to the front";
        return started;
    }

    HWND child(int i) const { return childrenOf(shell.window)[i]; }
    std::string label() const { return windowText(child(0)); }
    HWND okButton() const { return child(1); }
    HWND cancelButton() const { return child(2); }
    HWND background() const { return child(3); }
    HWND picture(int table) const { return tableEntries[table].pictureWindow; }

    // Puts the pointer `offset` pixels right of the centre of `window`.
    static void pointAt(HWND window, int offset = 0)
    {
        RECT area;
        GetWindowRect(window, &area);
        SetCursorPos((area.left + area.right) / 2 + offset, (area.top + area.bottom) / 2);
    }
    // Time passes without input; the shell's loop is woken to look at its clock.
    void idle(DWORD ms)
    {
        advanceSteppedClock(ms);
        PostMessageA(shell.window, WM_NULL, 0, 0);
    }
    ::testing::AssertionResult shows(const std::string &name) const
    {
        if (waitUntil([&] { return label() == name; }, answerTimeoutMs))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "\"" << label() << "\" is shown, not \"" << name << "\"";
    }
    ::testing::AssertionResult staysAt(const std::string &name) const
    {
        Sleep(quietMs);
        if (label() == name)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "\"" << label() << "\" is shown, not \"" << name << "\"";
    }
};

// Nothing happens before the idle time is up, with no value stored (on, 120 s); then the
// selection goes round the catalogue every 4 s, the pictures having the focus so that the
// frame flashes. The first input puts the selection and the focus back as they were.
TEST_F(AttractMode, StepsRoundTheCatalogueAfterTheIdleTimeUntilInput)
{
    addTables(3);
    setRegString("", "Last Table Played", "Attract 1");
    ASSERT_TRUE(start());
    ASSERT_TRUE(waitUntil([&] { return focusOf(shell.window) == cancelButton(); }, answerTimeoutMs));
    // The first move that the shell sees only tells it where the pointer is.
    pointAt(background());
    Sleep(quietMs);
    idle(defaultIdleMs - 1);
    EXPECT_TRUE(staysAt(""));
    idle(1);
    ASSERT_TRUE(shows(tableName(0)));
    EXPECT_EQ(focusOf(shell.window), background()) << "the frame flashes as for a player";
    idle(stepMs - 1);
    EXPECT_TRUE(staysAt(tableName(0)));
    for (int i : {1, 2, 0, 1}) {
        idle(1);
        ASSERT_TRUE(shows(tableName(i)));
        idle(stepMs - 1);
    }
    pointAt(background(), 5);
    ASSERT_TRUE(shows(""));
    EXPECT_FALSE(IsWindowEnabled(okButton()));
    EXPECT_EQ(focusOf(shell.window), cancelButton());
    std::string last;
    EXPECT_TRUE(getRegString("", "Last Table Played", &last));
    EXPECT_EQ(last, "Attract 1");
    idle(defaultIdleMs - 1);
    EXPECT_TRUE(staysAt("")) << "the idle time is counted again from the input";
    EXPECT_FALSE(shell.ended());
}

// Whatever input ends it, it does nothing else: no click selects, no double-click, 1 or
// controller button starts a table (it would say that it is missing), no key steps or ends the
// run. Afterwards the input works as always.
TEST_F(AttractMode, TheInputThatEndsItDoesNothingElse)
{
    addTables(3);
    ASSERT_TRUE(start());
    attachScriptedController();
    ASSERT_TRUE(clickWindow(picture(1)));
    ASSERT_TRUE(shows(tableName(1)));
    struct Case {
        const char *what;
        std::function<void()> input;
    } cases[] = {
        {"click on another table", [&] { clickWindow(picture(2)); }},
        {"double-click on another table", [&] { doubleClickWindow(picture(2)); }},
        {"Right arrow", [] { pressKey(VK_RIGHT); }},
        {"1 (Start)", [] { pressKey('1'); }},
        {"Enter", [] { pressKey(VK_RETURN); }},
        {"Escape", [] { pressKey(VK_ESCAPE); }},
        {"Right Shift (cabinet)", [] { pressKey(VK_RSHIFT); }},
        {"controller button 1", [] {
             ControllerReading pressed = atRest;
             pressed.buttons = 1;
             setScriptedReading(pressed);
         }},
        {"controller to the right", [] { setScriptedReading({65535, 32767, restingHat, 0}); }},
    };
    // Not moved from where it clicks, the pointer's first input is the click itself. The move
    // there reaches the shell through the display server, at a time the test cannot see: it
    // has come when the quiet time is over.
    pointAt(picture(2));
    Sleep(quietMs);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        idle(defaultIdleMs);
        ASSERT_TRUE(shows(tableName(2)));
        c.input();
        EXPECT_TRUE(shows(tableName(1)));
        EXPECT_EQ(focusOf(shell.window), background());
        EXPECT_TRUE(noMessageBoxFor(GetCurrentProcessId(), quietMs)) << "no table was started";
        EXPECT_TRUE(staysAt(tableName(1)));
        EXPECT_FALSE(shell.ended());
        setScriptedReading(atRest);
        LONG readings = scriptedReadings();
        waitUntil([&] { return scriptedReadings() > readings + 1; }, answerTimeoutMs);
    }
    pressKey(VK_RIGHT);
    EXPECT_TRUE(shows(tableName(2))) << "the next input acts";
}

// It waits while a box is open, and counts the idle time afresh once the box is gone.
TEST_F(AttractMode, NotWhileABoxIsOpen)
{
    addTables(3);
    ASSERT_TRUE(start());
    ASSERT_TRUE(doubleClickWindow(picture(1)));
    MessageBoxContent box;
    ASSERT_TRUE(waitForMessageBox(GetCurrentProcessId(), answerTimeoutMs, &box));
    idle(10 * defaultIdleMs);
    EXPECT_TRUE(staysAt(tableName(1)));
    ASSERT_TRUE(answerMessageBox(box, "OK"));
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(shell.window) != FALSE; }, answerTimeoutMs));
    // Enabled before it is told so: once the shell's thread answers again, it has been told.
    SendMessageTimeoutA(shell.window, WM_NULL, 0, 0, SMTO_NORMAL, answerTimeoutMs, NULL);
    idle(defaultIdleMs - 1);
    EXPECT_TRUE(staysAt(tableName(1)));
    idle(1);
    EXPECT_TRUE(shows(tableName(2)));
}

// The player's idle time: off, the range's ends, a hand-made value outside it brought to the
// nearer end.
TEST_F(AttractMode, IdleTimeIsThePlayers)
{
    addTables(2);
    struct Case {
        DWORD stored;
        DWORD idleMs; // 0: never
    } cases[] = {{0, 0}, {5, 5000}, {3600, 3600000}, {1, 5000}, {100000, 3600000}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        setRegDword("", "Attract Idle Seconds", c.stored);
        ASSERT_TRUE(start());
        if (c.idleMs == 0) {
            idle(24 * 3600 * 1000);
            EXPECT_TRUE(staysAt(""));
        } else {
            idle(c.idleMs - 1);
            EXPECT_TRUE(staysAt(""));
            idle(1);
            EXPECT_TRUE(shows(tableName(0)));
        }
        shell.end();
    }
}

// Wine keeps one execution state for the whole process, where Windows keeps one a thread: the
// test reads the shell thread's from its own. Reading it sets it, so it is put back.
EXECUTION_STATE executionState()
{
    EXECUTION_STATE state = SetThreadExecutionState(ES_CONTINUOUS);
    SetThreadExecutionState(state);
    return state;
}

// Asked to, it keeps the display and the machine awake while it runs, and only then; else it
// leaves them to the power settings.
TEST_F(AttractMode, KeepsTheDisplayAwakeOnlyWhenAsked)
{
    addTables(2);
    const EXECUTION_STATE awake = ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED;
    for (DWORD keepAwake : {0, 1}) {
        SCOPED_TRACE(keepAwake);
        SetThreadExecutionState(ES_CONTINUOUS);
        setRegDword("", "Attract Keep Awake", keepAwake);
        ASSERT_TRUE(start());
        idle(defaultIdleMs);
        ASSERT_TRUE(shows(tableName(0)));
        EXPECT_EQ(executionState(), keepAwake ? awake : ES_CONTINUOUS);
        pressKey(VK_SHIFT);
        ASSERT_TRUE(shows(""));
        EXPECT_EQ(executionState(), (EXECUTION_STATE)ES_CONTINUOUS);
        shell.end();
    }
}

// The real shell on the real clock, with the shortest idle time.
class AttractModeShell : public ShellSession {};

TEST_F(AttractModeShell, RunsOnTheRealClock)
{
    setRegDword("", "Attract Idle Seconds", 5);
    addTable("Real One", "C:\\no such folder\\one.exe");
    addTable("Real Two", "C:\\no such folder\\two.exe");
    ASSERT_TRUE(startShell());
    DWORD shown = GetTickCount();
    ASSERT_TRUE(bringToFront(window, answerTimeoutMs));
    EXPECT_TRUE(waitUntil([&] { return focus() == cancelButton(); }, answerTimeoutMs));
    ASSERT_TRUE(waitUntil([&] { return labelText() == "Real One"; }, 10000));
    DWORD began = GetTickCount() - shown;
    EXPECT_EQ(focus(), background()) << "the frame flashes as for a player";
    // The shell counts from its showing, which the test sees a little later.
    EXPECT_GE(began, 4500u);
    EXPECT_LE(began, 7000u);
    ASSERT_TRUE(waitUntil([&] { return labelText() == "Real Two"; }, 6000));
    DWORD stepped = GetTickCount() - shown - began;
    EXPECT_GE(stepped, 3900u);
    EXPECT_LE(stepped, 5500u);
    pressKey(VK_RETURN);
    // The selection is put back before the focus: the label empties a moment before Cancel has
    // the focus again.
    ASSERT_TRUE(waitUntil([&] { return labelText().empty(); }, answerTimeoutMs));
    EXPECT_TRUE(waitUntil([&] { return focus() == cancelButton(); }, answerTimeoutMs))
        << "the focus is where it was before";
    EXPECT_FALSE(IsWindowEnabled(okButton()));
    EXPECT_TRUE(noMessageBoxFor(shell->id(), quietMs));
    closeShellWindow(window);
    DWORD status = 1;
    EXPECT_TRUE(waitForEnd(&status));
    EXPECT_EQ(status, 0u);
}

// pinballcat attract shows and sets the idle time, and refuses anything else.
TEST(PinballcatAttract, ShowsSetsAndRefuses)
{
    RegistrySandbox sandbox;
    auto cat = [](const std::string &arguments) {
        ConsoleRun run;
        EXPECT_TRUE(runConsoleProgram("\"" + buildDirectory() + "pinballcat.exe\" attract " + arguments,
                                      20000, &run));
        return run;
    };
    struct Set {
        const char *arguments;
        const char *shown;
        DWORD seconds, keepAwake;
    } sets[] = {
        {"", "attract mode after 120 s without input\n", 120, 0},
        {"5", "attract mode after 5 s without input\n", 5, 0},
        {"3600 --keep-awake",
         "attract mode after 3600 s without input, keeping the display and the machine awake "
         "meanwhile\n",
         3600, 1},
        {"off", "attract mode off\n", 0, 0},
        {"0120", "attract mode after 120 s without input\n", 120, 0},
    };
    for (const Set &s : sets) {
        SCOPED_TRACE(s.arguments);
        ConsoleRun run = cat(s.arguments);
        EXPECT_EQ(run.status, 0u) << run.errors;
        EXPECT_EQ(run.output, s.shown);
        EXPECT_EQ(cat("").output, s.shown) << "shown as set";
        DWORD seconds = 120, keepAwake = 0;
        getRegDword("", "Attract Idle Seconds", &seconds);
        getRegDword("", "Attract Keep Awake", &keepAwake);
        EXPECT_EQ(seconds, s.seconds);
        EXPECT_EQ(keepAwake, s.keepAwake);
    }
    const char *refused[] = {"4", "3601", "-5", "+5", "1.5", "12x", "99999999999", "five",
                             "off --keep-awake", "120 --awake", "120 --keep-awake now", "\"\""};
    for (const char *arguments : refused) {
        SCOPED_TRACE(arguments);
        ConsoleRun run = cat(arguments);
        EXPECT_EQ(run.status, 2u);
        EXPECT_NE(run.errors.find("pinballcat: attract"), std::string::npos) << run.errors;
        EXPECT_EQ(cat("").output, "attract mode after 120 s without input\n") << "left as it was";
    }
}

}
