#ifndef PINBALL_TEST_PROCESS_H
#define PINBALL_TEST_PROCESS_H

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

// A program started by a test; the handles are closed by the destructor, and a program
// still running then is killed so that no test leaves a process behind.
struct ChildProcess {
    PROCESS_INFORMATION info{};
    bool started = false;

    ChildProcess() = default;
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    ~ChildProcess();

    // Starts `commandLine` (program path first, quoted as needed). Returns false on failure.
    bool start(const std::string &commandLine);
    // Takes the running program `processId`, started by another program, as this one's.
    bool adopt(DWORD processId);
    // Waits up to timeoutMs for the end; true and the exit status when it ended.
    bool waitForExit(DWORD timeoutMs, DWORD *status);
    bool running() const;
    // Kills the program if it still runs and waits for its end.
    void end();
    DWORD id() const { return info.dwProcessId; }
};

// Whether the running process `processId` has a module of that file name ("winmm.dll", case
// ignored) loaded now; false also when its modules cannot be listed.
bool moduleLoaded(DWORD processId, const char *moduleName);

// What a console program that ran to its end printed, with "\n" for its line ends.
struct ConsoleRun {
    DWORD status = 0;
    std::string output;
    std::string errors;
};
// Runs `commandLine` with its output and error output captured until it ends; a failure when
// it did not end within timeoutMs (it is then ended).
::testing::AssertionResult runConsoleProgram(const std::string &commandLine, DWORD timeoutMs,
                                             ConsoleRun *run);

// Full path of build/pinballshell.exe, found from the test executable's own location.
std::string shellExePath();
// Directory of the running test executable, with a trailing backslash.
std::string testDirectory();
// The build directory that holds pinballshell.exe and tableprog.exe, one level above.
std::string buildDirectory();
// The command line that runs the shell with `arguments`.
std::string shellCommand(const std::string &arguments);

// Starts the shell with arguments and waits for its end (no window expected); returns its
// exit status, or a gtest failure if it did not end within timeoutMs.
::testing::AssertionResult runShellToEnd(const std::string &arguments, DWORD timeoutMs,
                                         DWORD *status);

// Posts `request` to `window` of a program started without a handle of ours and waits for that
// program to end; one that does not end within timeoutMs is killed, and the result fails.
::testing::AssertionResult endProgramOfWindow(HWND window, UINT request, DWORD timeoutMs);

#endif
