#include <gtest/gtest.h>

#include "shell/names.h"
#include "tests/support/dialogs.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/shell_window.h"
#include "tests/support/table_program.h"

#include <algorithm>

namespace {

// The table program is the peer of every protocol test: it must find itself in the catalogue
// and report what reaches it exactly.
class TableProgramPeer : public ::testing::Test {
protected:
    RegistrySandbox sandbox;
    std::string harbourExe = copyTableProgram("harbour.exe");
    std::string cometExe = copyTableProgram("comet.exe");
    std::string upperComet = cometExe;

    void SetUp() override
    {
        setRegString("", "Table0", "Harbour Lights");
        setRegString("", "Table1", "Comet Run");
        setRegString("Harbour Lights", "Table Exe", harbourExe);
        setRegString("Harbour Lights", "Table Name", "Harbour Lights");
        std::transform(upperComet.begin(), upperComet.end(), upperComet.begin(), ::toupper);
        setRegString("Comet Run", "Table Exe", upperComet);
        setRegString("Comet Run", "Table Name", "Comet Run");
        setRegDword("Comet Run", "Table Id", 7);
    }
};

TEST_F(TableProgramPeer, FindsItsEntryAndLogsTheMessagesItReceives)
{
    TableProgram comet;
    ASSERT_TRUE(comet.start(cometExe, "-nomovie", freshTableLogPath("peer_messages")));
    EXPECT_EQ(windowText(comet.window), "Comet Run");
    std::string lastPlayed;
    ASSERT_TRUE(getRegString("", "Last Table Played", &lastPlayed));
    EXPECT_EQ(lastPlayed, "Comet Run");

    UINT tableMessage = RegisterWindowMessageA(tableMessageName);
    SendMessageA(comet.window, tableMessage, 0, 0);
    PostMessageA(comet.window, tableMessage, 1, 0x2A);
    PostMessageA(comet.window, WM_QUIT, 0xBEEF, 0);
    DWORD status = 1;
    ASSERT_TRUE(comet.process.waitForExit(10000, &status));
    EXPECT_EQ(status, 0u);
    std::vector<std::string> expected = {
        "start \"" + cometExe + "\" -nomovie",
        "subkey Comet Run",
        "tableMessage sent wParam=0 lParam=0",
        "tableMessage posted wParam=1 lParam=2A",
        "WM_QUIT posted wParam=BEEF lParam=0",
        "end",
    };
    EXPECT_EQ(comet.log(), expected);
}

TEST_F(TableProgramPeer, OutsideTheCatalogueItShowsItsFileNameAndRecordsNothing)
{
    std::string stray = copyTableProgram("stray.exe");
    TableProgram program;
    ASSERT_TRUE(program.start(stray, "", freshTableLogPath("peer_stray")));
    EXPECT_EQ(windowText(program.window), "stray.exe");
    std::string lastPlayed;
    EXPECT_FALSE(getRegString("", "Last Table Played", &lastPlayed));
    SendMessageA(program.window, WM_QUIT, (WPARAM)program.window, 0);
    DWORD status = 1;
    ASSERT_TRUE(program.process.waitForExit(10000, &status));
    std::vector<std::string> expected = {"start \"" + stray + "\"", sentQuitLine(program.window),
                                         "end"};
    EXPECT_EQ(program.log(), expected);
}

// F2 starts the shell with the program's window, check value and table id; F3 adds "restart",
// on which the shell closes the program and runs it again as the table played last.
TEST_F(TableProgramPeer, FunctionKeysStartTheShellWithTheCallerWords)
{
    setRegString("", "Shell Exe", shellExePath());
    setRegDword("", "Shell Version", 3);
    TableProgram comet;
    ASSERT_TRUE(comet.start(cometExe, "", freshTableLogPath("peer_keys")));
    std::string expected = "shell \"" + shellExePath() + "\" " + callerWords(comet.window) + " tid=7";

    PostMessageA(comet.window, WM_KEYDOWN, VK_F2, 0);
    std::string line;
    ASSERT_TRUE(waitForTableLogLine(comet.logPath, "shell ", 10000, &line));
    EXPECT_EQ(line, expected);
    ASSERT_TRUE(comet.process.running()) << "a shell started with F2 leaves its caller running";
    ASSERT_TRUE(closeStartedShell(10000));

    // The shell and the table it runs again inherit the log.
    PostMessageA(comet.window, WM_KEYDOWN, VK_F3, 0);
    DWORD status = 1;
    ASSERT_TRUE(comet.process.waitForExit(15000, &status)) << "the shell closes its caller";
    // Then it reruns the table played last, which logs to the same file; end it here.
    ASSERT_TRUE(waitForTableLogLine(comet.logPath, "start " + upperComet + " -nomovie", 10000));
    EXPECT_TRUE(endStartedTableProgram(10000));
    std::vector<std::string> log = comet.log();
    std::vector<std::string> afterF3(std::find(log.begin(), log.end(), expected + " restart"),
                                     log.end());
    std::vector<std::string> expectedAfterF3 = {
        expected + " restart", sentQuitLine(comet.window), "end",
        "start " + upperComet + " -nomovie", "show 5", "subkey Comet Run",
        "WM_QUIT posted wParam=0 lParam=0", "end"};
    EXPECT_EQ(afterF3, expectedAfterF3);
}

}
