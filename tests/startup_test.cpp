#include <gtest/gtest.h>

#include "shell/names.h"
#include "tests/support/dialogs.h"
#include "tests/support/input.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/shell_stand_in.h"
#include "tests/support/shell_window.h"
#include "tests/support/table_program.h"

#include <algorithm>
#include <vector>

namespace {

const DWORD shellTimeoutMs = 15000;

class StartUp : public ::testing::Test {
protected:
    RegistrySandbox sandbox;

    static int countLines(const std::vector<std::string> &lines, const std::string &text)
    {
        return (int)std::count(lines.begin(), lines.end(), text);
    }
};

std::string quitLine(HWND window)
{
    char line[64];
    wsprintfA(line, "WM_QUIT sent wParam=%lX lParam=0", (unsigned long)(ULONG_PTR)window);
    return line;
}

const char sentNotification[] = "tableMessage sent wParam=0 lParam=0";

// Accepted pairs go on to the shell window; "select=" alone ends at once. A message box
// would keep the shell from ending.
TEST_F(StartUp, AcceptedPairsShowTheWindowAndSelectAloneEndsWithoutAMessage)
{
    const char *pairs[] = {"select=1234 confirm=5EB94000", "select=2 confirm=80",
                           "select=10000 confirm=0 tid=3"};
    for (const char *words : pairs) {
        SCOPED_TRACE(words);
        DWORD status = 1;
        ASSERT_TRUE(runShellClosingItsWindow(words, shellTimeoutMs, &status));
        EXPECT_EQ(status, 0u);
    }
    DWORD status = 1;
    ASSERT_TRUE(runShellToEnd("select=2", shellTimeoutMs, &status));
    EXPECT_EQ(status, 0u);
}

TEST_F(StartUp, MismatchedCallerPairsAreRefusedWithAMessage)
{
    const char *pairs[] = {"select=2 confirm=128", "select=zz confirm=80", "select=2 confirm=qq",
                           "select=2 confirm="};
    for (const char *words : pairs) {
        SCOPED_TRACE(words);
        ChildProcess shell;
        ASSERT_TRUE(shell.start(shellCommand(words)));
        MessageBoxContent box;
        ASSERT_TRUE(waitForMessageBox(shell.id(), shellTimeoutMs, &box));
        EXPECT_EQ(box.caption, "Error:");
        EXPECT_EQ(box.text, "Unrecognized parameters.");
        EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
        ASSERT_TRUE(answerMessageBox(box, "OK"));
        DWORD status = 1;
        ASSERT_TRUE(shell.waitForExit(shellTimeoutMs, &status));
        EXPECT_EQ(status, 0u);
    }
}

// A shell started by a table program does not close its caller unless asked; closing the
// shell's window only posts the notification that the shell has ended.
TEST_F(StartUp, CallerIsLeftAloneWithoutRestart)
{
    TableProgram caller;
    ASSERT_TRUE(caller.start(tableProgramPath(), "", freshTableLogPath("caller_alone")));
    DWORD status = 1;
    ASSERT_TRUE(runShellClosingItsWindow(callerWords(caller.window) + " tid=4", shellTimeoutMs,
                                         &status));
    EXPECT_EQ(status, 0u);
    ASSERT_TRUE(waitForTableLogLine(caller.logPath, "tableMessage", 5000));
    EXPECT_TRUE(caller.process.running());
    std::vector<std::string> expected = {caller.log()[0], "tableMessage posted wParam=0 lParam=0"};
    EXPECT_EQ(caller.log(), expected);
}

TEST_F(StartUp, EveryRunRecordsThisShellWhenNoLaterOneIsStored)
{
    struct Case {
        const char *arguments;
        int storedVersion;
    };
    const Case cases[] = {{"", -1}, {"select=2", -1}, {"", 2}, {"select=2 restart", 3}};
    // Without "select=" the run reaches the shell window.
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + ", stored version " + std::to_string(c.storedVersion));
        deleteSettingsKey();
        if (c.storedVersion >= 0) {
            setRegDword("", "Shell Version", c.storedVersion);
            setRegString("", "Shell Exe", "C:\\old\\shell.exe");
        }
        DWORD status = 1;
        if (c.arguments[0])
            ASSERT_TRUE(runShellToEnd(c.arguments, shellTimeoutMs, &status));
        else
            ASSERT_TRUE(runShellClosingItsWindow(c.arguments, shellTimeoutMs, &status));
        EXPECT_EQ(status, 0u);
        DWORD version = 0;
        ASSERT_TRUE(getRegDword("", "Shell Version", &version));
        EXPECT_EQ(version, 3u);
        std::string exe;
        ASSERT_TRUE(getRegString("", "Shell Exe", &exe));
        EXPECT_EQ(lstrcmpiA(exe.c_str(), shellExePath().c_str()), 0) << exe;
    }
}

// A later shell is run with the stored text alone as its command line, and this one ends.
TEST_F(StartUp, StoredLaterShellIsStartedInsteadOfThisOne)
{
    std::string laterShell = copyTableProgram("latershell.exe");
    setRegDword("", "Shell Version", 4);
    setRegString("", "Shell Exe", laterShell);
    std::string log = freshTableLogPath("later_shell");
    {
        ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
        DWORD status = 1;
        ASSERT_TRUE(runShellToEnd("select=2 confirm=80", shellTimeoutMs, &status));
        EXPECT_EQ(status, 0u);
    }
    std::string line;
    ASSERT_TRUE(waitForTableLogLine(log, "start ", 10000, &line));
    EXPECT_EQ(line, "start " + laterShell);
    EXPECT_TRUE(endStartedTableProgram(10000));
    DWORD version = 0;
    ASSERT_TRUE(getRegDword("", "Shell Version", &version));
    EXPECT_EQ(version, 4u);
}

// The shell and every process started from it, and from those, in one job: the job counts
// them, and closing it ends whatever still runs, so that a shell that keeps starting itself
// cannot outlive the test.
class ShellFamily {
public:
    ShellFamily() : job(CreateJobObjectA(NULL, NULL))
    {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    ~ShellFamily()
    {
        TerminateJobObject(job, 1);
        CloseHandle(job);
        if (started) {
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    }
    ShellFamily(const ShellFamily &) = delete;
    ShellFamily &operator=(const ShellFamily &) = delete;

    // Starts the shell with `arguments` in `folder`; it joins the job before it runs.
    ::testing::AssertionResult start(const std::string &arguments, const std::string &folder)
    {
        std::string command = shellCommand(arguments);
        std::vector<char> line(command.begin(), command.end());
        line.push_back('\0');
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started = CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, CREATE_SUSPENDED, NULL,
                                 folder.c_str(), &startup, &info);
        if (!started)
            return ::testing::AssertionFailure() << "could not start " << command;
        if (!AssignProcessToJobObject(job, info.hProcess))
            return ::testing::AssertionFailure() << "could not put the shell in a job";
        ResumeThread(info.hThread);
        return ::testing::AssertionSuccess();
    }
    // The exit status of the shell that start() began.
    ::testing::AssertionResult waitForFirst(DWORD timeoutMs, DWORD *status)
    {
        if (WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return ::testing::AssertionFailure() << "the shell did not end";
        GetExitCodeProcess(info.hProcess, status);
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult waitUntilAllEnded(DWORD timeoutMs)
    {
        for (DWORD start = GetTickCount(); accounting().ActiveProcesses > 0; Sleep(10))
            if (GetTickCount() - start >= timeoutMs)
                return ::testing::AssertionFailure()
                       << accounting().ActiveProcesses << " processes of "
                       << accounting().TotalProcesses << " still run";
        return ::testing::AssertionSuccess();
    }
    DWORD processesStarted() { return accounting().TotalProcesses; }

private:
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting()
    {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION counts = {};
        QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &counts, sizeof counts,
                                  NULL);
        return counts;
    }
    HANDLE job;
    PROCESS_INFORMATION info{};
    bool started = false;
};

// A second name of the shell's file, in a folder with a blank in its name; removed at the end.
struct ShellHardLink {
    std::string folder = testDirectory() + "linked shell\\";
    std::string path = folder + "linked shell.exe";
    ShellHardLink()
    {
        CreateDirectoryA(folder.c_str(), NULL);
        DeleteFileA(path.c_str());
        CreateHardLinkA(path.c_str(), shellExePath().c_str(), NULL);
    }
    ~ShellHardLink()
    {
        DeleteFileA(path.c_str());
        RemoveDirectoryA(folder.c_str());
    }
};

// A later shell that cannot be run is ignored, and so is one that WinExec would run as this
// very program, however it is spelt (starting it would start this again without end): only
// this shell runs, the run goes on, which a running table program sees as a notification,
// and the stored values stay. The shell runs in the tests' folder, below its own.
TEST_F(StartUp, UnusableOrSelfNamingLaterShellIsPassedOver)
{
    std::string self = shellExePath();
    std::string upper = self;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    char shortName[MAX_PATH] = "";
    GetShortPathNameA(self.c_str(), shortName, sizeof shortName);
    ASSERT_NE(self, shortName);
    ShellHardLink link;
    ASSERT_EQ(GetFileAttributesA(link.path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u) << link.path;
    const std::string storedExes[] = {
        "", "C:\\missing\\shell.exe", self, upper, "\"" + self + "\"", shortName,
        self + " -nocolor", "\"" + self + "\" -nocolor",
        // Found by WinExec in the shell's own folder, not in the current one.
        "pinballshell.exe", "pinballshell -nocolor", "..\\pinballshell.exe",
        // Unquoted, the path grows word by word until it names a file.
        link.path + " -nocolor", "\"" + link.path + "\""};
    TableProgram table;
    ASSERT_TRUE(table.start(tableProgramPath(), "", freshTableLogPath("unusable_later_shell")));
    int notifications = 0;
    for (const std::string &storedExe : storedExes) {
        SCOPED_TRACE("Shell Exe \"" + storedExe + "\"");
        setRegDword("", "Shell Version", 5);
        setRegString("", "Shell Exe", storedExe);
        ShellFamily shells;
        ASSERT_TRUE(shells.start("", testDirectory()));
        DWORD status = 1;
        ASSERT_TRUE(shells.waitForFirst(shellTimeoutMs, &status));
        EXPECT_EQ(status, 0u);
        EXPECT_TRUE(shells.waitUntilAllEnded(5000));
        EXPECT_EQ(shells.processesStarted(), 1u);
        EXPECT_EQ(countLines(table.log(), sentNotification), ++notifications);
        DWORD version = 0;
        std::string exe;
        ASSERT_TRUE(getRegDword("", "Shell Version", &version));
        ASSERT_TRUE(getRegString("", "Shell Exe", &exe));
        EXPECT_EQ(version, 5u);
        EXPECT_EQ(exe, storedExe);
    }
}

// Whatever leads from "Shell Exe" back to this shell, here another program that starts it,
// a shell started by a hand-over does not hand over again: it goes on, and all end.
TEST_F(StartUp, ShellStartedByAHandOverDoesNotHandOverAgain)
{
    setRegDword("", "Shell Version", 4);
    setRegString("", "Shell Exe", "cmd.exe /c \"" + shellExePath() + "\"");
    TableProgram table;
    ASSERT_TRUE(table.start(tableProgramPath(), "", freshTableLogPath("handed_over_shell")));
    ShellFamily shells;
    ASSERT_TRUE(shells.start("", testDirectory()));
    DWORD status = 1;
    ASSERT_TRUE(shells.waitForFirst(shellTimeoutMs, &status));
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(shells.waitUntilAllEnded(shellTimeoutMs));
    EXPECT_EQ(countLines(table.log(), sentNotification), 1) << "the second shell went on";
    EXPECT_GE(shells.processesStarted(), 3u) << "the shell, the other program and the shell again";
}

// A plain start while a table program runs notifies it and ends, before "restart" is
// looked at: the table program stays, and no last table is rerun.
TEST_F(StartUp, PlainStartNotifiesARunningTableProgramAndEnds)
{
    std::string lastTable = copyTableProgram("lasttable.exe");
    setRegString("", "Last Table Played", "Last");
    setRegString("Last", "Table Exe", lastTable);
    TableProgram table;
    ASSERT_TRUE(table.start(tableProgramPath(), "", freshTableLogPath("plain_start")));
    std::string rerunLog = freshTableLogPath("plain_start_rerun");
    ScopedEnvironment logFile("PINBALL_TABLE_LOG", rerunLog);
    const char *arguments[] = {"", "restart", "-nocolor"};
    int notifications = 0;
    for (const char *words : arguments) {
        SCOPED_TRACE(words);
        DWORD status = 1;
        ASSERT_TRUE(runShellToEnd(words, shellTimeoutMs, &status));
        EXPECT_EQ(status, 0u);
        EXPECT_EQ(countLines(table.log(), sentNotification), ++notifications);
        EXPECT_TRUE(table.process.running());
        EXPECT_TRUE(tableLogLines(rerunLog).empty()) << "no table was rerun";
    }
}

// "restart" from a table program closes it first: its window is asked to end with
// WM_QUIT carrying its own handle, and nothing else reaches it. With no table played last the
// shell window follows.
TEST_F(StartUp, RestartClosesTheCallingTableProgram)
{
    TableProgram caller;
    ASSERT_TRUE(caller.start(tableProgramPath(), "", freshTableLogPath("restart_closes")));
    DWORD status = 1;
    ASSERT_TRUE(runShellClosingItsWindow(callerWords(caller.window) + " restart", shellTimeoutMs,
                                         &status));
    EXPECT_EQ(status, 0u);
    DWORD callerStatus = 1;
    ASSERT_TRUE(caller.process.waitForExit(5000, &callerStatus));
    std::vector<std::string> log = caller.log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], quitLine(caller.window));
    EXPECT_EQ(log[2], "end");
}

// A caller that had stopped answering before it was asked does not hold the shell. (One that
// stops only while it works on the request is waited for: restart_test.)
TEST_F(StartUp, HungCallerDoesNotFreezeTheShell)
{
    struct HungWindow {
        HANDLE ready = CreateEventA(NULL, TRUE, FALSE, NULL);
        HANDLE release = CreateEventA(NULL, TRUE, FALSE, NULL);
        HWND window = NULL;
        static DWORD WINAPI run(void *parameter)
        {
            HungWindow *self = static_cast<HungWindow *>(parameter);
            self->window = CreateWindowExA(0, "STATIC", "hung", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                           NULL, NULL);
            SetEvent(self->ready);
            WaitForSingleObject(self->release, INFINITE);
            DestroyWindow(self->window);
            return 0;
        }
    } hung;
    HANDLE thread = CreateThread(NULL, 0, HungWindow::run, &hung, 0, NULL);
    ASSERT_NE(thread, (HANDLE)NULL);
    WaitForSingleObject(hung.ready, 5000);
    ASSERT_NE(hung.window, (HWND)NULL);
    bool hungBeforeAsked =
        waitUntil([&hung] { return IsHungAppWindow(hung.window) != FALSE; }, 10000);

    DWORD start = GetTickCount();
    DWORD status = 1;
    bool ended = runShellClosingItsWindow(callerWords(hung.window) + " restart", 30000, &status);
    DWORD elapsed = GetTickCount() - start;
    SetEvent(hung.release);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(hung.ready);
    CloseHandle(hung.release);
    ASSERT_TRUE(hungBeforeAsked) << "the system takes the window for hung";
    ASSERT_TRUE(ended);
    EXPECT_EQ(status, 0u);
    EXPECT_LT(elapsed, 12000u);
}

// A shell already in shell mode is asked to come forward, and the new one ends with -1.
TEST_F(StartUp, SecondShellHandsOverToTheRunningOne)
{
    ShellStandIn runningShell;
    ASSERT_NE(runningShell.window, (HWND)NULL);
    ChildProcess shell;
    ASSERT_TRUE(shell.start(shellCommand("")));
    ASSERT_TRUE(runningShell.pumpUntilExit(shell, shellTimeoutMs));
    DWORD status = 0;
    ASSERT_TRUE(shell.waitForExit(0, &status));
    EXPECT_EQ(status, (DWORD)-1);
    EXPECT_EQ(runningShell.handOvers(), 1);
}

// A running shell or table program that does not answer holds a starting shell only for a
// bounded time: this thread owns the window and does not look at its messages meanwhile.
TEST_F(StartUp, PeersThatDoNotAnswerDoNotHoldTheShell)
{
    struct Case {
        const char *className;
        DWORD status;
    };
    const Case cases[] = {{tableClassName, 0}, {shellClassName, (DWORD)-1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.className);
        WNDCLASSA silentClass = {};
        silentClass.lpfnWndProc = DefWindowProcA;
        silentClass.hInstance = GetModuleHandleA(NULL);
        silentClass.lpszClassName = c.className;
        ASSERT_NE(RegisterClassA(&silentClass), 0);
        HWND silent = CreateWindowExA(0, c.className, "silent", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                      GetModuleHandleA(NULL), NULL);
        ChildProcess shell;
        ASSERT_TRUE(shell.start(shellCommand("")));
        DWORD status = 1234;
        EXPECT_TRUE(shell.waitForExit(12000, &status));
        EXPECT_EQ(status, c.status);
        DestroyWindow(silent);
        UnregisterClassA(c.className, GetModuleHandleA(NULL));
    }
}

}
