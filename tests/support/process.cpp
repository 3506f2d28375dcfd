#include <gtest/gtest.h>

#include "tests/support/process.h"

#include <vector>

ChildProcess::~ChildProcess()
{
    if (!started)
        return;
    end();
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

void ChildProcess::end()
{
    if (running()) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
    }
}

bool ChildProcess::start(const std::string &commandLine)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started = CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info);
    return started;
}

bool ChildProcess::waitForExit(DWORD timeoutMs, DWORD *status)
{
    if (!started || WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(info.hProcess, status);
    return true;
}

bool ChildProcess::running() const
{
    return started && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

std::string testDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string text(path, length);
    return text.substr(0, text.find_last_of('\\') + 1);
}

std::string buildDirectory()
{
    std::string tests = testDirectory();
    return tests.substr(0, tests.find_last_of('\\', tests.size() - 2) + 1);
}

std::string shellExePath()
{
    return buildDirectory() + "pinballshell.exe";
}

std::string shellCommand(const std::string &arguments)
{
    std::string command = "\"" + shellExePath() + "\"";
    if (!arguments.empty())
        command += " " + arguments;
    return command;
}

::testing::AssertionResult runShellToEnd(const std::string &arguments, DWORD timeoutMs,
                                         DWORD *status)
{
    ChildProcess shell;
    if (!shell.start(shellCommand(arguments)))
        return ::testing::AssertionFailure() << "could not start the shell: " << GetLastError();
    if (!shell.waitForExit(timeoutMs, status))
        return ::testing::AssertionFailure() << "the shell with \"" << arguments
                                             << "\" did not end within " << timeoutMs << " ms";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult endProgramOfWindow(HWND window, UINT request, DWORD timeoutMs)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
    if (!process)
        return ::testing::AssertionFailure() << "cannot open the process of the window";
    PostMessageA(window, request, 0, 0);
    bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process, 1);
    CloseHandle(process);
    if (!ended)
        return ::testing::AssertionFailure() << "the program did not end when asked";
    return ::testing::AssertionSuccess();
}
