#ifndef PINBALL_TEST_TABLE_PROGRAM_H
#define PINBALL_TEST_TABLE_PROGRAM_H

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/process.h"

#include <string>
#include <vector>

// The project's table program (build/tableprog.exe) as the shell's peer. When the environment
// variable PINBALL_TABLE_LOG names a file, it appends one line per event:
//   start <its command line>
//   show <n>                               (the show command, when its starter gave one)
//   subkey <its catalogue subkey>          (when its "Table Exe" is found in the catalogue)
//   tableMessage sent|posted wParam=<hex> lParam=<hex>
//   WM_QUIT sent|posted wParam=<hex> lParam=<hex>
//   shell <command line it started the shell with>   (F2, F3 or its buttons)
//   WinExec answered <result> in <ms> ms    (when PINBALL_TABLE_WINEXEC_SHELL is 1: the shell
//                                            is started with WinExec, not CreateProcess)
//   broadcast answered in <ms> ms           (when PINBALL_TABLE_BROADCASTS_AT_END is 1: after
//                                            its loop it sends WM_DISPLAYCHANGE to every window)
//   end
// More variables stand for slow and hung programs: a WM_QUIT that reaches its window is
// answered at once but the window stays PINBALL_TABLE_QUIT_DELAY_MS milliseconds, or is worked
// on inside the window procedure for PINBALL_TABLE_QUIT_HANG_MS milliseconds before the window
// goes; PINBALL_TABLE_HANG_MS makes the program take no messages for that long once its window
// is shown; PINBALL_TABLE_RUNS_ON_MS keeps it running that long after its window is gone, before
// it logs "end".

// Full path of build/tableprog.exe.
std::string tableProgramPath();
// Copies the table program, or the variant `source`, to `fileName` in a folder beside the tests;
// returns the full path.
std::string copyTableProgram(const std::string &fileName,
                             const std::string &source = tableProgramPath());
// A fresh (deleted) log path beside the tests, named after `name`.
std::string freshTableLogPath(const std::string &name);

// The log's lines without line ends; empty when the file does not exist.
std::vector<std::string> tableLogLines(const std::string &path);
// The index of the first of `lines` that starts with `prefix`; -1 when none does.
int lineStartingWith(const std::vector<std::string> &lines, const std::string &prefix);
// The same of the log at `path` as it is now.
int tableLogLineIndex(const std::string &path, const std::string &prefix);
// Waits until a line of the log starts with `prefix`; that line in *line when given.
::testing::AssertionResult waitForTableLogLine(const std::string &path, const std::string &prefix,
                                               DWORD timeoutMs, std::string *line = nullptr);

// Sets an environment variable of this process (inherited by the programs it starts) and
// restores the old value when it goes.
struct ScopedEnvironment {
    std::string name;
    std::string previous;
    bool hadPrevious = false;
    ScopedEnvironment(const std::string &name, const std::string &value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;
};

// A running table program with a log of its own; killed by ChildProcess if a test leaves it.
struct TableProgram {
    ChildProcess process;
    std::string logPath;
    HWND window = NULL;

    // Starts `exePath` with `arguments`, logging to `logPath`, and waits for its window.
    ::testing::AssertionResult start(const std::string &exePath, const std::string &arguments,
                                     const std::string &logPath);
    std::vector<std::string> log() const { return tableLogLines(logPath); }
};

// Ends a table program that was started without a handle of ours (WinExec): finds its window,
// asks it to quit and waits for its process; one that does not end is killed.
::testing::AssertionResult endStartedTableProgram(DWORD timeoutMs);

// The words by which a table program with this window starts the shell.
std::string callerWords(HWND window);
// The log line of a WM_QUIT sent to `window` with its own handle, as the shell closes a caller.
std::string sentQuitLine(HWND window);

#endif
