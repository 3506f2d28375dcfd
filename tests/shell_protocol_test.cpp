#include <gtest/gtest.h>

#include "tests/support/cdrom.h"
#include "tests/support/dialogs.h"
#include "tests/support/input.h"
#include "tests/support/shell_session.h"
#include "tests/support/table_program.h"

namespace {

const DWORD inputTimeoutMs = 5000;
const char postedNotification[] = "tableMessage posted wParam=0 lParam=0";

typedef ShellSession ShellProtocol;

// A second shell brings the first forward, restoring it when minimised, and ends with -1; the
// first keeps its selection.
TEST_F(ShellProtocol, SecondShellBringsTheFirstForward)
{
    addTable("Alpha", "C:\\tables\\alpha.exe");
    ASSERT_TRUE(startShell());
    ASSERT_TRUE(bringToFront(window, inputTimeoutMs));
    ASSERT_TRUE(clickWindow(pictureIn(frames()[0])));
    ASSERT_TRUE(waitUntil([this] { return labelText() == "Alpha"; }, inputTimeoutMs));
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL,
                                 NULL, NULL, NULL);
    for (bool minimised : {false, true}) {
        SCOPED_TRACE(minimised ? "minimised" : "behind another window");
        ASSERT_TRUE(bringToFront(other, inputTimeoutMs));
        if (minimised) {
            ShowWindow(window, SW_MINIMIZE);
            ASSERT_TRUE(waitUntil([this] { return IsIconic(window) != FALSE; }, inputTimeoutMs));
        }
        ChildProcess second;
        ASSERT_TRUE(second.start(shellCommand("")));
        DWORD status = 0;
        ASSERT_TRUE(second.waitForExit(15000, &status));
        EXPECT_EQ(status, (DWORD)-1);
        EXPECT_TRUE(waitUntil([this] { return GetForegroundWindow() == window && !IsIconic(window); },
                              inputTimeoutMs));
        EXPECT_EQ(labelText(), "Alpha");
        EXPECT_TRUE(shell->running());
    }
    DestroyWindow(other);
}

// The shell started by a table program, with the program's own log and tables that are
// copies of it. Nova records nothing as played last, so that whatever the shell would record
// there shows.
class ShellFromTable : public ShellSession {
protected:
    std::string log = freshTableLogPath("shell_from_table");
    ScopedEnvironment logFile{"PINBALL_TABLE_LOG", log};
    std::string cometExe = copyTableProgram("comet.exe");
    std::string novaExe =
        copyTableProgram("nova.exe", testDirectory() + "tableprog_writes_nothing.exe");
    TableProgram caller;
    // How slow the caller is to end: the environment variable of the table program and its
    // milliseconds (by default it works 0 ms inside its WM_QUIT handler).
    const char *callerSlowness = "PINBALL_TABLE_QUIT_HANG_MS";
    std::string callerSlowMs = "0";

    void SetUp() override
    {
        ShellSession::SetUp();
        addTable("Comet Run", cometExe, 7);
        addTable("Nova", novaExe, 8);
        {
            ScopedEnvironment slow(callerSlowness, callerSlowMs);
            ASSERT_TRUE(caller.start(cometExe, "", log));
        }
        ASSERT_TRUE(startShell(callerWords(caller.window) + " tid=7"));
        ASSERT_TRUE(bringToFront(window, inputTimeoutMs));
    }

    void TearDown() override
    {
        endShell();
        endTablePrograms(log);
    }

    std::vector<std::string> logLines() const { return tableLogLines(log); }

    void expectCallerOnlyNotified()
    {
        DWORD status = 1;
        ASSERT_TRUE(waitForEnd(&status));
        EXPECT_EQ(status, 0u);
        ASSERT_TRUE(waitForTableLogLine(log, postedNotification, 5000));
        std::vector<std::string> expected = {"start \"" + cometExe + "\"", "subkey Table 0",
                                             postedNotification};
        EXPECT_EQ(logLines(), expected);
        EXPECT_TRUE(caller.process.running());
    }

    int lineIndex(const std::string &prefix) const { return tableLogLineIndex(log, prefix); }

    // Chooses Nova: the caller is closed first and Nova started once the caller's process has
    // ended; Nova is then told that the shell has ended, and "Last Table Played" is left to it.
    void chooseAnotherTableAndCheckTheHandOver()
    {
        // The caller's table is preselected with the pictures holding the focus: one step on,
        // then Enter twice.
        ASSERT_TRUE(waitUntil([this] { return labelText() == "Comet Run"; }, inputTimeoutMs));
        pressKey(VK_RIGHT);
        ASSERT_TRUE(waitUntil([this] { return labelText() == "Nova"; }, inputTimeoutMs));
        pressKey(VK_RETURN);
        ASSERT_TRUE(waitUntil([this] { return focus() == okButton(); }, inputTimeoutMs));
        pressKey(VK_RETURN);
        DWORD status = 1;
        ASSERT_TRUE(waitForEnd(&status, 20000));
        EXPECT_EQ(status, 0u);
        DWORD callerStatus = 1;
        EXPECT_TRUE(caller.process.waitForExit(5000, &callerStatus));
        ASSERT_TRUE(waitForTableLogLine(log, "start " + novaExe, 10000));
        int quitAt = lineIndex(sentQuitLine(caller.window)), endAt = lineIndex("end"),
            startAt = lineIndex("start " + novaExe);
        EXPECT_GE(quitAt, 0);
        EXPECT_LT(quitAt, endAt);
        EXPECT_LT(endAt, startAt) << "the caller was gone before the new table started";
        EXPECT_EQ(logLines()[startAt], "start " + novaExe + " -nomovie");
        ASSERT_TRUE(waitForTableLogLine(log, postedNotification, 5000));
        EXPECT_GT(lineIndex(postedNotification), startAt) << "the new table took it";
        std::string lastPlayed;
        EXPECT_TRUE(getRegString("", "Last Table Played", &lastPlayed));
        EXPECT_EQ(lastPlayed, "Table 0") << "the caller's record stays: Nova records nothing";
    }
};

// Cancelling, or choosing the caller's own table again, closes and starts nothing; the caller
// is only told that the shell has ended.
TEST_F(ShellFromTable, CancelClosesNothing)
{
    ASSERT_TRUE(clickWindow(cancelButton()));
    expectCallerOnlyNotified();
}

TEST_F(ShellFromTable, TheCallersOwnTableClosesNothing)
{
    ASSERT_TRUE(waitUntil([this] { return labelText() == "Comet Run"; }, inputTimeoutMs))
        << "the caller's table is preselected";
    ASSERT_TRUE(clickWindow(okButton()));
    expectCallerOnlyNotified();
}

// Choosing another table hands over to it; this caller ends at once.
TEST_F(ShellFromTable, AnotherTableClosesTheCallerThenStarts)
{
    chooseAnotherTableAndCheckTheHandOver();
}

// A caller that saves for 8 s inside its WM_QUIT handler, longer than one send is given, still
// goes before the new table starts and takes no message meant for it.
class ShellFromSavingTable : public ShellFromTable {
protected:
    ShellFromSavingTable() { callerSlowMs = "8000"; }
};

TEST_F(ShellFromSavingTable, AnotherTableWaitsForTheCallerToSave)
{
    chooseAnotherTableAndCheckTheHandOver();
}

// A caller that runs on for 4 s once its window is gone (writing its scores, restoring the
// display mode) has ended before the new table starts.
class ShellFromTableRunningOn : public ShellFromTable {
protected:
    ShellFromTableRunningOn()
    {
        callerSlowness = "PINBALL_TABLE_RUNS_ON_MS";
        callerSlowMs = "4000";
    }
};

TEST_F(ShellFromTableRunningOn, AnotherTableWaitsForTheCallersProcessToEnd)
{
    chooseAnotherTableAndCheckTheHandOver();
}

// A WM_QUIT that another program sends to the shell's window asks the shell to end: the window
// hides at once and the run ends with nothing started, although another table is selected.
TEST_F(ShellFromTable, QuitSentByAnotherProgramEndsTheRunWithNothingStarted)
{
    ASSERT_TRUE(waitUntil([this] { return labelText() == "Comet Run"; }, inputTimeoutMs));
    pressKey(VK_RIGHT);
    ASSERT_TRUE(waitUntil([this] { return labelText() == "Nova"; }, inputTimeoutMs));
    DWORD_PTR reply = 1;
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_QUIT, 0, 0, SMTO_ABORTIFHUNG, inputTimeoutMs,
                                    &reply));
    EXPECT_EQ(reply, 0u);
    EXPECT_FALSE(IsWindowVisible(window)) << "hidden by the time it answered";
    expectCallerOnlyNotified();
}

// A table whose executable is missing, asked for with OK or a double-click, is refused with a
// message (a CD prompt for the CD-ROM drive without its disc); the window stays open with the
// table selected and goes on taking input.
TEST_F(ShellProtocol, MissingExecutableLeavesTheWindowOpen)
{
    emptyDisc();
    struct Case {
        const char *exe;
        bool doubleClick;
        const char *caption, *text, *answer;
    } cases[] = {
        {"C:\\missing\\gone.exe", false, "Error:", "Unable to find the pinball table: C:\\missing\\gone.exe", "OK"},
        {"C:\\missing\\gone.exe", true, "Error:", "Unable to find the pinball table: C:\\missing\\gone.exe", "OK"},
        {"E:\\gone.exe", false, "Vantrel! 2 Demo", "Insert CD labeled 'Unrecognized CD'", "Cancel"},
        {"E:\\gone.exe", true, "Vantrel! 2 Demo", "Insert CD labeled 'Unrecognized CD'", "Cancel"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.exe) + (c.doubleClick ? ", double-click" : ", OK"));
        deleteSettingsKey();
        tables = 0;
        addTable("Alpha", "C:\\tables\\alpha.exe");
        addTable("Gone", c.exe);
        ASSERT_TRUE(startShell());
        ASSERT_TRUE(bringToFront(window, inputTimeoutMs));
        HWND gone = pictureIn(frames()[1]);
        if (c.doubleClick) {
            ASSERT_TRUE(doubleClickWindow(gone));
        } else {
            ASSERT_TRUE(clickWindow(gone));
            ASSERT_TRUE(waitUntil([this] { return labelText() == "Gone"; }, inputTimeoutMs));
            ASSERT_TRUE(clickWindow(okButton()));
        }
        MessageBoxContent box;
        ASSERT_TRUE(waitForMessageBox(shell->id(), 5000, &box));
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.text, c.text);
        ASSERT_TRUE(answerMessageBox(box, c.answer));
        ASSERT_TRUE(waitUntil([&box] { return !IsWindow(box.window); }, inputTimeoutMs));
        EXPECT_EQ(labelText(), "Gone");
        EXPECT_TRUE(IsWindowEnabled(okButton()));
        // Input after the refusal still reaches the window: the run has not ended.
        ASSERT_TRUE(bringToFront(window, inputTimeoutMs));
        pressKey(VK_LEFT);
        EXPECT_TRUE(waitUntil([this] { return labelText() == "Alpha"; }, inputTimeoutMs))
            << "label \"" << labelText() << "\"";
        EXPECT_TRUE(IsWindowVisible(window));
        endShell();
    }
}

}
