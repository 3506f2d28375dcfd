#include <gtest/gtest.h>

#include "common/src/memory.h"
#include "settings/catalogue.h"
#include "settings/settings_store.h"
#include "shell/globals.h"
#include "shell/startup.h"
#include "shell/table_launch.h"
#include "tests/support/cdrom.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/fixed_display_depth.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"

#include <string.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Every box of the shell: caption, text, buttons, icon, no owner, and whether it is task-modal,
// which shows as the other windows of the box's thread being disabled while it is open.

const char childSwitch[] = "--release-null-block";
const char probeTitle[] = "message box probe";

// A top-level window of this thread, for task-modal boxes to disable.
HWND createProbe()
{
    return CreateWindowExA(0, "STATIC", probeTitle, WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
}

struct SeenBox {
    MessageBoxContent content;
    bool probeEnabled = true;
};

// Shows a box on this thread and reads it from another; Cancel where the box has it, else
// its only button, answers it. The table that a CD prompt asks for reaches the disc while the
// box is open, so that a prompt without Cancel cannot come back without end.
::testing::AssertionResult seeBoxHere(const std::function<void()> &show, SeenBox *seen)
{
    HWND probe = createProbe();
    BoxAnswerer answerer({"Cancel"}, [&](size_t) {
        seen->probeEnabled = IsWindowEnabled(probe);
        putOnDisc("table.exe", "table");
    });
    show();
    std::vector<MessageBoxContent> boxes = answerer.finish();
    DestroyWindow(probe);
    if (boxes.size() != 1)
        return ::testing::AssertionFailure() << boxes.size() << " boxes instead of one";
    seen->content = boxes[0];
    return ::testing::AssertionSuccess();
}

// The assertion box ends its process, so a copy of this program shows it.
::testing::AssertionResult seeAssertionBox(SeenBox *seen)
{
    ChildProcess child;
    if (!child.start("\"" + testDirectory() + "message_boxes_test.exe\" " + childSwitch))
        return ::testing::AssertionFailure() << "could not start the child";
    if (!waitForMessageBox(child.id(), 10000, &seen->content))
        return ::testing::AssertionFailure() << "no box from the child";
    HWND probe = FindWindowA(NULL, probeTitle);
    DWORD probeProcess = 0;
    GetWindowThreadProcessId(probe, &probeProcess);
    if (probeProcess != child.id())
        return ::testing::AssertionFailure() << "no probe window in the child";
    seen->probeEnabled = IsWindowEnabled(probe);
    answerMessageBox(seen->content, "OK");
    DWORD status = 0;
    if (!child.waitForExit(10000, &status) || status != (DWORD)-1234)
        return ::testing::AssertionFailure() << "the child did not end with -1234";
    return ::testing::AssertionSuccess();
}

class MessageBoxes : public ::testing::Test {
protected:
    RegistrySandbox sandbox;
    std::string exePath;
    std::string cdLabel = "Disc 1";
    TableEntry table{};
    std::string notAProgram;

    void SetUp() override
    {
        appInstance = GetModuleHandleA(NULL);
        emptyDisc();
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        notAProgram = std::string(temp) + "not a table.exe";
        writeWholeFile(notAProgram, "text", 4);
    }
    void TearDown() override
    {
        emptyDisc();
        DeleteFileA(notAProgram.c_str());
        setDisplayDepth(8);
        releaseSettings();
    }
    void select(const std::string &path)
    {
        exePath = path;
        table.exePath = &exePath[0];
        table.cdLabel = &cdLabel[0];
    }
    void runShellHere(const char *commandLine)
    {
        runShell(GetModuleHandleA(NULL), commandLine);
        releaseSettings();
    }
};

TEST_F(MessageBoxes, EachShowsItsCaptionTextButtonsAndIcon)
{
    const std::vector<std::string> ok = {"OK"};
    struct Case {
        const char *what;
        std::function<void()> show;  // none: the assertion box, shown by a child process
        const char *caption;
        std::string text;
        std::vector<std::string> buttons;
        LPCSTR icon;  // a system icon, or none
        bool taskModal;
    } cases[] = {
        {"display under 256 colours",
         [&] {
             setDisplayDepth(4);
             runShellHere("");
             setDisplayDepth(8);
         },
         "Error:", "Vantrel! requires at least 256 color (8-bit)", ok, IDI_HAND, false},
        {"caller words that do not match", [&] { runShellHere("select=2 confirm=128"); }, "Error:",
         "Unrecognized parameters.", ok, IDI_HAND, true},
        {"CD prompt",
         [&] {
             select("E:\\table.exe");
             emptyDisc();
             char startPath[textBufferSize];
             checkTablePresent(&table, startPath);
         },
         "Vantrel! 2 Demo", "Insert CD labeled 'Disc 1'", {"OK", "Cancel"}, IDI_EXCLAMATION, true},
        {"table missing from a fixed disk",
         [&] {
             select("C:\\Tables\\missing.exe");
             char startPath[textBufferSize];
             checkTablePresent(&table, startPath);
         },
         "Error:", "Unable to find the pinball table: C:\\Tables\\missing.exe", ok, IDI_HAND, true},
        {"table not found at launch", [&] { runTable("C:\\Tables\\gone.exe"); }, "Error:",
         "Unable to find the pinball table: C:\\Tables\\gone.exe", ok, IDI_HAND, true},
        {"table that cannot start", [&] { runTable(notAProgram.c_str()); }, "Error:",
         "Unable to run the pinball table (error #11)", ok, IDI_HAND, true},
        {"checked heap assertion", nullptr, "Assertion Failed",
         "0&&\"freeing NULL!\" in file common\\src\\memory, at line 164", ok, NULL, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SeenBox seen;
        ASSERT_TRUE(c.show ? seeBoxHere(c.show, &seen) : seeAssertionBox(&seen));
        EXPECT_EQ(seen.content.caption, c.caption);
        EXPECT_EQ(seen.content.text, c.text);
        EXPECT_EQ(seen.content.buttons, c.buttons);
        EXPECT_EQ(seen.content.icon, c.icon ? LoadIconA(NULL, c.icon) : NULL);
        EXPECT_EQ(seen.content.owner, (HWND)NULL);
        EXPECT_EQ(!seen.probeEnabled, c.taskModal) << "task-modal disables the thread's windows";
    }
}

}

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], childSwitch) == 0) {
        createProbe();
        memoryfree(NULL);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
