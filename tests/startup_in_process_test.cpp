#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "shell/globals.h"
#include "shell/startup.h"
#include "tests/support/dialogs.h"
#include "tests/support/fixed_display_depth.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/shell_window.h"
#include "tests/support/shell_stand_in.h"
#include "tests/support/shell_window.h"
#include "tests/support/table_program.h"

#include <string>
#include <vector>

namespace {

// Start-up run in this process, on a display of the test's choosing. With no table program
// and no other shell about, a run that goes on reaches shell mode, whose window is closed, and
// ends with 0.
class StartUpHere : public ::testing::Test {
protected:
    RegistrySandbox sandbox;
    // A run that goes on reaches shell mode here, in this process: its window is closed.
    ShellWindowCloser closer;

    void TearDown() override
    {
        setDisplayDepth(8);
        releaseSettings();
        SetEnvironmentVariableA(handedOverVariable, NULL);
    }
    int run(const char *commandLine)
    {
        playLogoMovie = 1;
        return runShell(GetModuleHandleA(NULL), commandLine);
    }
};

TEST_F(StartUpHere, DisplayUnder256ColoursEndsWithMinusOneAfterItsBox)
{
    struct Case {
        int depth;
        const char *words;
        bool refused;
    } cases[] = {
        {1, "", true},
        {4, "", true},
        {7, "select=2", true},
        {8, "", false},
        {24, "", false},
        {unknownDisplayDepth, "", false},
        {4, "-nocolor", false},
        {4, "select=2 x-nocolorx", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.depth) + " bits, \"" + c.words + "\"");
        deleteSettingsKey();
        setDisplayDepth(c.depth);
        BoxAnswerer answerer({"OK"});
        int status = run(c.words);
        const std::vector<MessageBoxContent> &boxes = answerer.finish();
        releaseSettings();
        DWORD version = 0;
        if (c.refused) {
            EXPECT_EQ(status, -1);
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "Vantrel! requires at least 256 color (8-bit)");
            EXPECT_FALSE(getRegDword("", "Shell Version", &version)) << "the run ended first";
        } else {
            EXPECT_EQ(status, 0);
            EXPECT_TRUE(boxes.empty());
            EXPECT_TRUE(getRegDword("", "Shell Version", &version)) << "the run went on";
        }
    }
}

// The system's own box for a drive without a disc would come before the shell's CD prompt.
TEST_F(StartUpHere, CriticalErrorsComeBackToTheShell)
{
    UINT previous = SetErrorMode(0);
    EXPECT_EQ(run("select=2"), 0);
    UINT mode = SetErrorMode(previous);
    EXPECT_NE(mode & SEM_FAILCRITICALERRORS, 0u);
}

// A shell started by a hand-over goes on instead of handing over again: here it reaches shell
// mode and hands over to the shell that stands in. The mark is gone afterwards, so that nothing
// the shell starts inherits it, also when this shell's own hand-over failed.
TEST_F(StartUpHere, HandOverMarkIsHonouredAndTakenOff)
{
    struct Case {
        const char *what;
        bool marked;
        std::string shellExe;
    } cases[] = {
        {"marked, with a later shell that would start", true,
         copyTableProgram("marked_later_shell.exe")},
        {"unmarked, with a later shell that cannot start", false, "C:\\missing\\shell.exe"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        setRegDword("", "Shell Version", 4);
        setRegString("", "Shell Exe", c.shellExe);
        SetEnvironmentVariableA(handedOverVariable, c.marked ? "1" : NULL);
        ShellStandIn runningShell;
        int status = run("");
        releaseSettings();
        if (status != -1) {
            EXPECT_TRUE(endStartedTableProgram(10000)) << "the later shell was started";
        }
        EXPECT_EQ(status, -1) << "the run went on into shell mode";
        EXPECT_EQ(runningShell.handOvers(), 1);
        EXPECT_EQ(GetEnvironmentVariableA(handedOverVariable, NULL, 0), 0u);
    }
}

}
