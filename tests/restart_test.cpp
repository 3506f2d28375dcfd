#include <gtest/gtest.h>

#include "tests/support/input.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/shell_stand_in.h"
#include "tests/support/table_program.h"

#include <algorithm>

namespace {

const DWORD shellTimeoutMs = 20000;

// "restart" from the start of the run to its end, with the real shell and table programs. A
// stand-in for a running shell shows whether the run reached shell mode (it then hands over
// and ends with -1).
class Restart : public ::testing::Test {
protected:
    RegistrySandbox sandbox;
    ShellStandIn runningShell;

    DWORD runShell(const std::string &arguments)
    {
        ChildProcess shell;
        EXPECT_TRUE(shell.start(shellCommand(arguments)));
        EXPECT_TRUE(runningShell.pumpUntilExit(shell, shellTimeoutMs));
        DWORD status = 1234;
        EXPECT_TRUE(shell.waitForExit(0, &status));
        return status;
    }
};

// The table played last, a copy of the table program with the catalogue entry "Comet Run";
// its path.
std::string recordCometAsLastTable()
{
    std::string comet = copyTableProgram("comet.exe");
    setRegString("", "Table0", "Comet Run");
    setRegString("Comet Run", "Table Name", "Comet Run");
    setRegString("Comet Run", "Table Exe", comet);
    setRegString("", "Last Table Played", "Comet Run");
    return comet;
}

// The caller is closed first, also one that takes a while to end: after it answered, while it
// saves inside its handler for longer than one send may wait, or after its window is gone. Then
// the table played last runs, shown, with "-nomovie" behind its path.
TEST_F(Restart, ClosesTheCallerThenRerunsTheTablePlayedLast)
{
    struct Case {
        const char *variable;
        DWORD ms;
    } cases[] = {
        {"PINBALL_TABLE_QUIT_DELAY_MS", 0},
        {"PINBALL_TABLE_QUIT_DELAY_MS", 8000},
        {"PINBALL_TABLE_QUIT_HANG_MS", 8000},
        {"PINBALL_TABLE_RUNS_ON_MS", 4000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + std::to_string(c.ms));
        std::string comet = recordCometAsLastTable();
        std::string log = freshTableLogPath("restart_rerun");
        ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
        std::string callerExe = copyTableProgram("caller.exe");
        TableProgram caller;
        {
            ScopedEnvironment slowQuit(c.variable, std::to_string(c.ms));
            ASSERT_TRUE(caller.start(callerExe, "", log));
        }

        DWORD start = GetTickCount();
        EXPECT_EQ(runShell(callerWords(caller.window) + " restart"), 0u);
        EXPECT_GE(GetTickCount() - start, c.ms) << "the caller was slow that long to end";
        EXPECT_EQ(runningShell.handOvers(), 0) << "nothing of shell mode runs";
        ASSERT_TRUE(waitForTableLogLine(log, "subkey Comet Run", 10000));
        std::vector<std::string> expected = {"start \"" + callerExe + "\"",
                                             sentQuitLine(caller.window), "end",
                                             "start " + comet + " -nomovie", "show 5",
                                             "subkey Comet Run"};
        std::vector<std::string> lines = tableLogLines(log);
        lines.resize(std::min(lines.size(), expected.size()));
        EXPECT_EQ(lines, expected);

        EXPECT_TRUE(endStartedTableProgram(10000));
    }
}

// A caller whose window had already stopped taking messages when it was asked is not waited
// for: the table played last runs beside it at once.
TEST_F(Restart, CallerHungBeforeTheRequestIsNotWaitedFor)
{
    std::string comet = recordCometAsLastTable();
    std::string log = freshTableLogPath("restart_hung");
    ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
    TableProgram caller;
    {
        ScopedEnvironment hang("PINBALL_TABLE_HANG_MS", "60000");
        ASSERT_TRUE(caller.start(copyTableProgram("caller.exe"), "", log));
    }
    ASSERT_TRUE(waitUntil([&caller] { return IsHungAppWindow(caller.window) != FALSE; }, 10000))
        << "the system takes the caller's window for hung";

    DWORD start = GetTickCount();
    EXPECT_EQ(runShell(callerWords(caller.window) + " restart"), 0u);
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_TRUE(waitForTableLogLine(log, "start " + comet + " -nomovie", 10000));
    EXPECT_TRUE(caller.process.running());

    caller.process.end();
    EXPECT_TRUE(endStartedTableProgram(10000));
}

// A caller that answers the request but keeps its window holds the restart: the table played
// last does not start beside it, until its process is gone.
TEST_F(Restart, CallerThatIgnoresTheRequestHoldsTheRestartUntilItsProcessEnds)
{
    std::string comet = recordCometAsLastTable();
    std::string log = freshTableLogPath("restart_ignored");
    ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
    TableProgram caller;
    ASSERT_TRUE(caller.start(testDirectory() + "tableprog_ignores_quit.exe", "", log));

    ChildProcess shell;
    ASSERT_TRUE(shell.start(shellCommand(callerWords(caller.window) + " restart")));
    const DWORD heldMs = 8000;
    EXPECT_FALSE(runningShell.pumpUntilExit(shell, heldMs)) << "the shell still waits";
    EXPECT_FALSE(waitForTableLogLine(log, "start " + comet, 0)) << "nothing started yet";
    ASSERT_TRUE(waitForTableLogLine(log, sentQuitLine(caller.window), 0));

    caller.process.end();
    EXPECT_TRUE(runningShell.pumpUntilExit(shell, 5000)) << "the caller's end ends the wait";
    EXPECT_TRUE(waitForTableLogLine(log, "start " + comet + " -nomovie", 10000));
    EXPECT_TRUE(endStartedTableProgram(10000));
}

// With no last table recorded the run goes on in shell mode; with a last table whose
// executable is not recorded it ends quietly with 0.
TEST_F(Restart, WithoutARecordedTableGoesToShellModeOrEnds)
{
    EXPECT_EQ(runShell("restart"), (DWORD)-1);
    EXPECT_EQ(runningShell.handOvers(), 1);

    setRegString("", "Last Table Played", "Gone");
    setRegString("Gone", "Table Name", "Gone Table");
    ChildProcess shell;
    ASSERT_TRUE(shell.start(shellCommand("restart")));
    ASSERT_TRUE(runningShell.pumpUntilExit(shell, shellTimeoutMs));
    DWORD status = 1234;
    ASSERT_TRUE(shell.waitForExit(0, &status));
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(runningShell.handOvers(), 1) << "no second hand-over";
}

}
