#include <gtest/gtest.h>

#include "tests/support/process.h"
#include "tests/support/program_files.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/table_program.h"

#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>

#include <string>
#include <vector>

namespace {

// The checker waits as long as the shell would for a program that ignores WM_QUIT.
const DWORD checkTimeoutMs = 90000;

// Whether a process of that executable file name still runs.
bool programRuns(const std::string &fileName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, fileName.c_str()) == 0;
    CloseHandle(snapshot);
    return found;
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        result.push_back(text.substr(0, end).substr(start));
    return result;
}

// Each checked program is a table of the catalogue, so that it can find its own entry.
class CheckTable : public ::testing::Test {
protected:
    RegistrySandbox sandbox;

    ConsoleRun checkTable(const std::string &exe, const std::string &subkey)
    {
        setRegString("", "Table0", subkey);
        setRegString(subkey, "Table Name", subkey);
        setRegString(subkey, "Table Exe", exe);
        ConsoleRun run;
        EXPECT_TRUE(runConsoleProgram("\"" + buildDirectory() + "pinballcat.exe\" check-table \"" +
                                          exe + "\"",
                                      checkTimeoutMs, &run));
        return run;
    }
};

TEST_F(CheckTable, TheProjectsTableProgramPassesEveryStep)
{
    std::string exe = copyTableProgram("checked table.exe");
    std::string logPath = freshTableLogPath("check_table");
    ScopedEnvironment log("PINBALL_TABLE_LOG", logPath);
    ConsoleRun run = checkTable(exe, "Checked");
    EXPECT_EQ(run.status, 0u) << run.output;
    std::vector<std::string> output = lines(run.output);
    ASSERT_EQ(output.size(), 6u) << run.output;
    EXPECT_EQ(output[0], "pass  start          \"" + exe + "\" -nomovie");
    unsigned long window = 0;
    char rest[64] = "";
    ASSERT_EQ(sscanf(output[1].c_str(), "pass  window         window %lX %63[^0-9]", &window, rest), 2)
        << output[1];
    EXPECT_STREQ(rest, "of the table class after ");
    EXPECT_EQ(output[2], "pass  tableMessage   answered when sent");
    EXPECT_EQ(output[3], "pass  tableMessage   taken when posted, and the program still answers");
    EXPECT_EQ(output[4], "pass  WM_QUIT        its window went and the program ended with status 0");
    EXPECT_EQ(output[5], "pass  last played    \"Checked\", Table0 Checked");

    // What reached the program: the shell's command line and show command, both kinds of
    // tableMessage, and WM_QUIT sent with its own window.
    std::vector<std::string> seen = tableLogLines(logPath);
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[0], "start \"" + exe + "\" -nomovie");
    EXPECT_EQ(seen[1], "show 5");
    EXPECT_EQ(seen[2], "subkey Checked");
    EXPECT_EQ(seen[3], "tableMessage sent wParam=0 lParam=0");
    EXPECT_EQ(seen[4], "tableMessage posted wParam=0 lParam=0");
    EXPECT_EQ(seen[5], sentQuitLine((HWND)(ULONG_PTR)window));
    EXPECT_EQ(seen[6], "end");
}

TEST_F(CheckTable, EachBrokenRuleFailsItsStepAndTheProgramIsEnded)
{
    struct Case {
        const char *variant;
        std::vector<std::string> failed;  // the steps that fail, with the start of their reason
    } cases[] = {
        {"tableprog_no_window.exe",
         {"FAIL  window         the program ended with status 0 before it showed a window"}},
        {"tableprog_wrong_class.exe",
         {"FAIL  window         no top-level window of class 5e106b20-da56-11ce-a2a1-0040332e9761 "
          "within 10 s; it shows class \"TableProgramClass\" titled \"Broken\""}},
        {"tableprog_ignores_quit.exe",
         {"FAIL  WM_QUIT        its window is still there after WM_QUIT was sent to it"}},
        {"tableprog_writes_nothing.exe", {"FAIL  last played    it wrote no \"Last Table Played\""}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.variant);
        setRegString("", "Last Table Played", "Earlier");
        ConsoleRun run = checkTable(testDirectory() + c.variant, "Broken");
        EXPECT_EQ(run.status, 1u);
        std::vector<std::string> failed;
        for (const std::string &line : lines(run.output))
            if (line.compare(0, 4, "FAIL") == 0)
                failed.push_back(line);
        ASSERT_EQ(failed.size(), c.failed.size()) << run.output;
        for (size_t i = 0; i < failed.size(); ++i)
            EXPECT_EQ(failed[i].substr(0, c.failed[i].size()), c.failed[i]);
        EXPECT_FALSE(programRuns(c.variant)) << "the checker ends what it started";
        std::string lastPlayed;
        ASSERT_TRUE(getRegString("", "Last Table Played", &lastPlayed));
        EXPECT_EQ(lastPlayed, c.failed.back().find("wrote no") != std::string::npos ? "Earlier" : "Broken")
            << "a value the program did not replace is put back";
    }
}

TEST_F(CheckTable, AProgramThatIsNoFileFailsAtTheStart)
{
    ConsoleRun run = checkTable("C:\\nowhere\\table.exe", "Nowhere");
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.output, "FAIL  start          there is no such file: C:\\nowhere\\table.exe\n");
}


// Such a program is not started: the check says in words why the Windows that runs it cannot
// start it. 16-bit and DOS programs are refused where Windows is 64-bit only.
TEST_F(CheckTable, AProgramThisWindowsCannotStartFailsAtTheStart)
{
    const TestHost host = testHost();
    struct Case {
        const char *name;
        Bytes contents;
        std::string why;
        bool refusedHere;
    } cases[] = {
        {"win16 table.exe", newHeaderProgram("NE"),
         "is a 16-bit Windows program, which 64-bit Windows cannot start; play it on a 32-bit "
         "Windows, in a virtual machine if need be",
         !host.runs16Bit},
        {"dos table.exe", dosHeader(0),
         "is a DOS program, which 64-bit Windows cannot start; play it in a DOS emulator, or on a "
         "32-bit Windows in a virtual machine",
         !host.runs16Bit},
        {"alpha table.exe", peProgram(IMAGE_FILE_MACHINE_ALPHA),
         "is a program for the Alpha processor, which this " + host.name +
             " Windows cannot start; it needs a Windows built for that processor",
         true},
        {"notes table.exe", Bytes(100, 'n'), "is no program: it has no program header", true},
    };
    for (const Case &c : cases) {
        if (!c.refusedHere)
            continue;
        SCOPED_TRACE(c.name);
        NamedFile file(c.name, c.contents);
        ConsoleRun run = checkTable(file.path, "Old");
        EXPECT_EQ(run.status, 1u);
        EXPECT_EQ(run.output, "FAIL  start          " + file.path + " " + c.why + "\n");
    }
}

}
