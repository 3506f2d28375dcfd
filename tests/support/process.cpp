#include <gtest/gtest.h>

#include "tests/support/process.h"

#include <tlhelp32.h>

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

bool ChildProcess::adopt(DWORD processId)
{
    info.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                FALSE, processId);
    info.dwProcessId = processId;
    started = info.hProcess != NULL;
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

bool moduleLoaded(DWORD processId, const char *moduleName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = Module32First(snapshot, &module); more && !found;
         more = Module32Next(snapshot, &module))
        found = lstrcmpiA(module.szModule, moduleName) == 0;
    CloseHandle(snapshot);
    return found;
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

namespace {

struct Pipe {
    HANDLE read = NULL;
    HANDLE write = NULL;
    ~Pipe()
    {
        if (read)
            CloseHandle(read);
        if (write)
            CloseHandle(write);
    }
};

// Moves what the pipe holds now into `text`, without blocking.
void drain(const Pipe &pipe, std::string *text)
{
    DWORD available = 0;
    while (PeekNamedPipe(pipe.read, NULL, 0, NULL, &available, NULL) && available > 0) {
        char buffer[4096];
        DWORD got = 0;
        if (!ReadFile(pipe.read, buffer, sizeof buffer, &got, NULL) || got == 0)
            return;
        text->append(buffer, got);
    }
}

std::string withNewlines(const std::string &text)
{
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

}

::testing::AssertionResult runConsoleProgram(const std::string &commandLine, DWORD timeoutMs,
                                             ConsoleRun *run)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    Pipe output, errors;
    if (!CreatePipe(&output.read, &output.write, &inherit, 0) ||
        !CreatePipe(&errors.read, &errors.write, &inherit, 0))
        return ::testing::AssertionFailure() << "no pipes: " << GetLastError();
    SetHandleInformation(output.read, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errors.read, HANDLE_FLAG_INHERIT, 0);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output.write;
    startup.hStdError = errors.write;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, TRUE, 0, NULL, NULL, &startup, &info))
        return ::testing::AssertionFailure() << "could not start " << commandLine << ": "
                                             << GetLastError();
    std::string out, err;
    DWORD start = GetTickCount();
    bool ended = false;
    while (!ended && GetTickCount() - start < timeoutMs) {
        ended = WaitForSingleObject(info.hProcess, 5) == WAIT_OBJECT_0;
        drain(output, &out);
        drain(errors, &err);
    }
    if (!ended) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
    }
    GetExitCodeProcess(info.hProcess, &run->status);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    run->output = withNewlines(out);
    run->errors = withNewlines(err);
    if (!ended)
        return ::testing::AssertionFailure() << commandLine << " did not end within " << timeoutMs
                                             << " ms; it printed:\n" << run->output << run->errors;
    return ::testing::AssertionSuccess();
}
