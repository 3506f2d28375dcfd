#include <gtest/gtest.h>

#include "tests/support/input.h"
#include "tests/support/shell_session.h"
#include "tests/support/table_program.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

const DWORD inputTimeoutMs = 5000;
// What the shell may add to a caller's end before the next table starts; far below the 30 s
// that a caller waiting for an unanswering shell is held.
const DWORD promptMs = 3000;

// The shell waiting for the program that started it to end, while that program waits for the
// shell: inside WinExec (which returns once the shell is idle) or in a broadcast on its way out.
// The caller is a copy of the table program, its table Comet Run preselected; Nova and Orbit
// record nothing as played last.
class CallerWait : public ShellSession {
protected:
    std::string log = freshTableLogPath("caller_wait");
    ScopedEnvironment logFile{"PINBALL_TABLE_LOG", log};
    std::string cometExe = copyTableProgram("comet.exe");
    std::string novaExe =
        copyTableProgram("nova.exe", testDirectory() + "tableprog_writes_nothing.exe");
    std::string orbitExe =
        copyTableProgram("orbit.exe", testDirectory() + "tableprog_writes_nothing.exe");
    TableProgram caller;

    void SetUp() override
    {
        ShellSession::SetUp();
        addTable("Comet Run", cometExe, 7);
        addTable("Nova", novaExe, 8);
        addTable("Orbit", orbitExe, 9);
        setRegString("", "Shell Exe", shellExePath());
    }

    void TearDown() override
    {
        endShell();
        endTablePrograms(log);
    }

    // Starts the caller with the table program's variable `variable` set to 1.
    ::testing::AssertionResult startCaller(const char *variable)
    {
        ScopedEnvironment behaviour(variable, "1");
        return caller.start(cometExe, "", log);
    }

    // The caller starts the shell as a table program does: F2 to choose, F3 to restart.
    void pressOnCaller(WORD key) { PostMessageA(caller.window, WM_KEYDOWN, key, 0); }

    int lineIndex(const std::string &prefix) const { return tableLogLineIndex(log, prefix); }

    // The milliseconds that the log line beginning with `prefix` gives before " ms".
    ::testing::AssertionResult loggedMs(const std::string &prefix, unsigned long *ms) const
    {
        std::vector<std::string> lines = tableLogLines(log);
        int at = lineStartingWith(lines, prefix);
        if (at < 0)
            return ::testing::AssertionFailure() << "no line \"" << prefix << "...\"";
        const std::string &line = lines[at];
        size_t in = line.rfind(" in ");
        if (in == std::string::npos)
            return ::testing::AssertionFailure() << "no time in \"" << line << "\"";
        *ms = strtoul(line.c_str() + in + 4, NULL, 10);
        return ::testing::AssertionSuccess();
    }

    // The caller's WinExec of the shell returned promptly, with a success.
    void expectWinExecAnsweredPromptly() const
    {
        unsigned long ms = 0;
        ASSERT_TRUE(loggedMs("WinExec answered 33 in", &ms)) << "started, with WinExec's 33";
        printf("[ figures  ] the caller's WinExec of the shell returned in %lu ms\n", ms);
        EXPECT_LT(ms, promptMs) << "the shell counted as idle while it waited";
    }

    // `table` started after the caller had ended, within promptMs of the moment `askedAt` at
    // which the player's choice (or the restart) asked the caller to go.
    void expectStartedAfterTheCallersEnd(const std::string &table, DWORD askedAt)
    {
        ASSERT_TRUE(waitForTableLogLine(log, "start " + table + " -nomovie", 10000));
        DWORD took = GetTickCount() - askedAt;
        printf("[ figures  ] the next table started %lu ms after the caller was asked to go\n",
               (unsigned long)took);
        EXPECT_LT(took, promptMs) << "the next table was held back";
        int endAt = lineIndex("end"), startAt = lineIndex("start " + table);
        EXPECT_GE(endAt, 0);
        EXPECT_LT(endAt, startAt) << "the caller was gone before the next table started";
    }

    // With the shell's window up and the caller's table preselected, the player steps to Nova
    // and presses Enter twice; the moment of the second Enter.
    DWORD chooseNova()
    {
        EXPECT_TRUE(bringToFront(window, inputTimeoutMs));
        EXPECT_TRUE(waitUntil([this] { return labelText() == "Comet Run"; }, inputTimeoutMs));
        pressKey(VK_RIGHT);
        EXPECT_TRUE(waitUntil([this] { return labelText() == "Nova"; }, inputTimeoutMs));
        pressKey(VK_RETURN);
        EXPECT_TRUE(waitUntil([this] { return focus() == okButton(); }, inputTimeoutMs));
        DWORD at = GetTickCount();
        pressKey(VK_RETURN);
        return at;
    }
};

// A table that restarts the shell with WinExec: the shell closes it and waits for its process,
// and the table, inside WinExec, waits for the shell to be idle. The table recorded itself as
// played last, so it is started again.
TEST_F(CallerWait, WinExecRestartIsNotHeld)
{
    ASSERT_TRUE(startCaller("PINBALL_TABLE_WINEXEC_SHELL"));
    DWORD askedAt = GetTickCount();
    pressOnCaller(VK_F3);
    expectStartedAfterTheCallersEnd(cometExe, askedAt);
    expectWinExecAnsweredPromptly();
}

// The same table choosing from the shell's window: WinExec returned when the window came up,
// and the caller's end lets the chosen table start.
TEST_F(CallerWait, WinExecCallerChoosingAnotherTableIsNotHeld)
{
    ASSERT_TRUE(startCaller("PINBALL_TABLE_WINEXEC_SHELL"));
    pressOnCaller(VK_F2);
    ASSERT_TRUE(adoptStartedShell());
    ASSERT_TRUE(waitForTableLogLine(log, "WinExec answered", inputTimeoutMs));
    expectWinExecAnsweredPromptly();
    DWORD askedAt = chooseNova();
    expectStartedAfterTheCallersEnd(novaExe, askedAt);
    DWORD status = 1;
    EXPECT_TRUE(waitForEnd(&status));
    EXPECT_EQ(status, 0u);
}

// A table that restores the display mode by hand after its loop sends WM_DISPLAYCHANGE to every
// top-level window, the shell's hidden one among them, while the shell waits for it to end.
TEST_F(CallerWait, BroadcastOnTheCallersWayOutIsAnswered)
{
    ASSERT_TRUE(startCaller("PINBALL_TABLE_BROADCASTS_AT_END"));
    ASSERT_TRUE(startShell(callerWords(caller.window) + " tid=7"));
    DWORD askedAt = chooseNova();
    expectStartedAfterTheCallersEnd(novaExe, askedAt);
    unsigned long ms = 0;
    ASSERT_TRUE(loggedMs("broadcast answered in", &ms));
    printf("[ figures  ] the caller's broadcast on its way out was answered in %lu ms\n", ms);
    EXPECT_LT(ms, promptMs);
    EXPECT_LT(lineIndex("broadcast answered"), lineIndex("end"));
}

// While the shell waits for a caller that runs on after its window is gone, a double-click on
// another table, sent to the hidden window, and a posted double-click and Start key start
// nothing: the table chosen is the one started, once.
TEST_F(CallerWait, InputDuringTheWaitStartsNothingElse)
{
    {
        ScopedEnvironment runsOn("PINBALL_TABLE_RUNS_ON_MS", "3000");
        ASSERT_TRUE(caller.start(cometExe, "", log));
    }
    ASSERT_TRUE(startShell(callerWords(caller.window) + " tid=7"));
    HWND orbit = pictureIn(frames()[2]);
    chooseNova();
    ASSERT_TRUE(waitUntil([this] { return lineIndex("end") < 0 && !IsWindow(caller.window); },
                          inputTimeoutMs))
        << "the shell now waits for the caller's process";
    ASSERT_TRUE(shell->running());
    DWORD_PTR reply = 0;
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        EXPECT_TRUE(SendMessageTimeoutA(orbit, message, MK_LBUTTON, 0, SMTO_ABORTIFHUNG,
                                        inputTimeoutMs, &reply))
            << "the waiting shell answers";
    PostMessageA(orbit, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    PostMessageA(window, WM_KEYDOWN, '1', 0);
    EXPECT_LT(lineIndex("end"), 0) << "all of it reached the shell during the wait";

    DWORD status = 1;
    ASSERT_TRUE(waitForEnd(&status, 15000));
    EXPECT_EQ(status, 0u);
    ASSERT_TRUE(waitForTableLogLine(log, "start " + novaExe + " -nomovie", 10000));
    Sleep(500);
    int starts = 0;
    for (const std::string &line : tableLogLines(log))
        starts += line.compare(0, 6, "start ") == 0;
    EXPECT_EQ(starts, 2) << "the caller and Nova";
    EXPECT_LT(lineIndex("start " + orbitExe), 0);
}

} // namespace
