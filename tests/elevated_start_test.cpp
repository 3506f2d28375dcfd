#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "shell/globals.h"
#include "shell/table_launch.h"
#include "tests/support/dialogs.h"
#include "tests/support/input.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/rights_start.h"
#include "tests/support/shell_session.h"
#include "tests/support/shell_thread.h"
#include "tests/support/table_program.h"
#include "ui/shell_state.h"

#include <string>
#include <vector>

namespace {

const DWORD logTimeoutMs = 10000;

std::string currentFolder()
{
    char folder[MAX_PATH];
    GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

// The start and show lines that a table program logged, once it logged both.
std::vector<std::string> startLines(const std::string &log)
{
    std::string start, show;
    EXPECT_TRUE(waitForTableLogLine(log, "start ", logTimeoutMs, &start));
    EXPECT_TRUE(waitForTableLogLine(log, "show ", logTimeoutMs, &show));
    return {start, show};
}

class RightsStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        appInstance = GetModuleHandleA(NULL);
        resetStarts();
    }
    void TearDown() override { resetStarts(); }
};

// A table whose start fails for want of administrator rights is started again through the
// system's shell, which asks the player: the same program, command line, working folder and
// window state as WinExec's start, with no box. The table program's own log shows the same
// lines as after a start that WinExec made.
TEST_F(RightsStart, TableThatNeedsRightsIsStartedAgainAskingThePlayer)
{
    const std::string exe = copyTableProgram("rights table.exe");
    const std::string log = freshTableLogPath("rights_table");
    ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
    BoxAnswerer answerer({});
    ASSERT_EQ(runTable(exe.c_str()), tableStarted);
    std::vector<std::string> plain = startLines(log);
    EXPECT_TRUE(endStartedTableProgram(logTimeoutMs));
    EXPECT_TRUE(askingStarts().empty()) << "a table that starts is started as before";
    EXPECT_EQ(winExecStarts(), 1);

    DeleteFileA(log.c_str());
    failNextStartForRights();
    ASSERT_EQ(runTable(exe.c_str()), tableStarted);
    std::vector<AskingStart> asked = askingStarts();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].verb, "runas");
    EXPECT_EQ(asked[0].file, exe);
    EXPECT_EQ(asked[0].parameters, "-nomovie");
    EXPECT_EQ(asked[0].directory, currentFolder());
    EXPECT_EQ(asked[0].show, SW_SHOW);
    EXPECT_EQ(startLines(log), plain) << "started for real, as WinExec started it";
    EXPECT_TRUE(endStartedTableProgram(logTimeoutMs));
    EXPECT_EQ(winExecStarts(), 2);
    EXPECT_TRUE(answerer.finish().empty()) << "nothing is said of a start that worked";
}

// Declined by the player: nothing starts and nothing is said. Any other failure of the asking
// start is told with its own reason, not with WinExec's number.
TEST_F(RightsStart, DeclineSaysNothingAndOtherFailuresTellTheirReason)
{
    const std::string exe = copyTableProgram("rights_declined.exe");
    const std::string log = freshTableLogPath("rights_declined");
    ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
    struct Case {
        const char *what;
        std::string path;
        DWORD answer;
        TableStart start;
        std::vector<std::string> boxes;
    } cases[] = {
        {"declined", exe, ERROR_CANCELLED, tableStartDeclined, {}},
        {"refused", exe, ERROR_ACCESS_DENIED, tableNotStarted,
         {"Unable to run the pinball table (error #5)"}},
        {"gone by the second start", "C:\\no such folder\\rights.exe", 0, tableNotStarted,
         {"Unable to find the pinball table: C:\\no such folder\\rights.exe"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        resetStarts();
        failNextStartForRights();
        answerAskingStarts(c.answer);
        BoxAnswerer answerer({"OK"});
        EXPECT_EQ(runTable(c.path.c_str()), c.start);
        std::vector<std::string> texts;
        for (const MessageBoxContent &box : answerer.finish()) {
            EXPECT_EQ(box.caption, "Error:");
            texts.push_back(box.text);
        }
        EXPECT_EQ(texts, c.boxes);
        EXPECT_EQ(askingStarts().size(), 1u);
    }
    EXPECT_TRUE(tableLogLines(log).empty()) << "no table program started";
}

// WinExec's other failures are told as before, and nothing is started again.
TEST_F(RightsStart, OtherFailuresOfTheFirstStartAskNothing)
{
    const std::string notAProgram = freshTableLogPath("not a program") + ".exe";
    HANDLE file = CreateFileA(notAProgram.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "text", 4, &written, NULL);
    CloseHandle(file);
    BoxAnswerer answerer({"OK"});
    EXPECT_EQ(runTable(notAProgram.c_str()), tableNotStarted);
    const std::vector<MessageBoxContent> &boxes = answerer.finish();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Unable to run the pinball table (error #11)");
    EXPECT_TRUE(askingStarts().empty());
    DeleteFileA(notAProgram.c_str());
}

// In the window: the player who declines is back in the window as they left it, the table
// still selected; choosing again then starts it, and the run ends as after any start.
class RightsStartFromWindow : public RightsStart {
protected:
    RegistrySandbox sandbox;
    ShellThread shell;

    void addTable(int n, const std::string &exe)
    {
        std::string subkey = "Rights " + std::to_string(n);
        setRegString("", ("Table" + std::to_string(n)).c_str(), subkey);
        setRegString(subkey, "Table Name", subkey);
        setRegString(subkey, "Table Exe", exe);
        setRegDword(subkey, "Table Id", (DWORD)(n + 1));
    }
    bool shown() const { return IsWindowVisible(shell.window) != FALSE; }
    std::string label() const { return windowText(childrenOf(shell.window)[0]); }
};

TEST_F(RightsStartFromWindow, DeclinedGoesBackToTheWindowAndAgainStarts)
{
    const std::string exe = copyTableProgram("rights window.exe");
    const std::string log = freshTableLogPath("rights_window");
    ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
    addTable(0, "C:\\no such folder\\first.exe");
    addTable(1, exe);
    ASSERT_TRUE(shell.start());
    ASSERT_TRUE(bringToFront(shell.window, 5000));
    failNextStartForRights();
    answerAskingStarts(ERROR_CANCELLED);
    ASSERT_TRUE(doubleClickWindow(tableEntries[1].pictureWindow));
    ASSERT_TRUE(waitUntil([&] { return askingStarts().size() == 1; }, logTimeoutMs));
    ASSERT_TRUE(waitUntil([&] { return shown(); }, logTimeoutMs)) << "back to the window";
    EXPECT_FALSE(shell.ended());
    EXPECT_EQ(label(), "Rights 1") << "the table chosen is still selected";
    EXPECT_TRUE(noMessageBoxFor(GetCurrentProcessId(), 300));
    EXPECT_TRUE(tableLogLines(log).empty());

    answerAskingStarts(0);
    failNextStartForRights();
    ASSERT_TRUE(doubleClickWindow(tableEntries[1].pictureWindow));
    ASSERT_TRUE(shell.waitForEnd(logTimeoutMs));
    EXPECT_EQ(shell.exitCode, 0);
    EXPECT_EQ(askingStarts().size(), 2u);
    std::string start;
    EXPECT_TRUE(waitForTableLogLine(log, "start ", logTimeoutMs, &start));
    EXPECT_EQ(start, "start \"" + exe + "\" -nomovie");
    EXPECT_TRUE(endStartedTableProgram(logTimeoutMs));
}

// pinballcat check names the tables that will ask: by their manifest, or by the player's
// "run as administrator"; the others not.
TEST(RightsCheck, CheckNamesTheTablesThatWillAsk)
{
    RegistrySandbox sandbox;
    const std::string manifest =
        copyTableProgram("asks_rights.exe", testDirectory() + "tableprog_asks_rights.exe");
    const std::string layered = copyTableProgram("run_as_admin.exe");
    const std::string plain = copyTableProgram("plain_rights.exe");
    const char layersKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
    const std::string layers = "~ RUNASADMIN 256COLOR";
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, layersKey, layered.c_str(), REG_SZ, layers.c_str(),
                              (DWORD)layers.size() + 1),
              ERROR_SUCCESS);
    const std::string exes[] = {manifest, layered, plain};
    for (int i = 0; i < 3; ++i) {
        std::string subkey = "Checked " + std::to_string(i);
        setRegString("", ("Table" + std::to_string(i)).c_str(), subkey);
        setRegString(subkey, "Table Name", subkey);
        setRegString(subkey, "Table Exe", exes[i]);
    }
    ConsoleRun run;
    ASSERT_TRUE(runConsoleProgram("\"" + buildDirectory() + "pinballcat.exe\" check", 20000, &run));
    RegDeleteKeyValueA(HKEY_CURRENT_USER, layersKey, layered.c_str());
    EXPECT_EQ(run.status, 0u) << run.output;
    const std::string asks = ": Windows asks the player to allow it at every start";
    const std::string lines[] = {
        "ok    Table0 Checked 0: executable found; needs administrator rights (its manifest "
        "asks for them)" + asks + ";",
        "ok    Table1 Checked 1: executable found; needs administrator rights (RUNASADMIN is "
        "among its compatibility settings)" + asks + ";",
        "ok    Table2 Checked 2: executable found;",
    };
    for (const std::string &line : lines)
        EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
}

}
