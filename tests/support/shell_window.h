#ifndef PINBALL_TEST_SHELL_WINDOW_H
#define PINBALL_TEST_SHELL_WINDOW_H

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/process.h"

#include <atomic>
#include <string>
#include <thread>

// The shown main window of the shell run by process processId (any process when 0); NULL
// when none came within timeoutMs. A logo movie playing first is skipped as a player would.
HWND waitForShellWindow(DWORD processId, DWORD timeoutMs);

// How long the thread of `window` took to answer a sent WM_NULL, in ms; a negative value when it
// gave no answer within timeoutMs.
double answerMs(HWND window, DWORD timeoutMs);

// Asks the shell owning `window` to close it, as the window's close command does.
void closeShellWindow(HWND window);

// Starts the shell with arguments, waits for its window, closes it and waits for the end;
// fails when no window came or the shell did not end.
::testing::AssertionResult runShellClosingItsWindow(const std::string &arguments, DWORD timeoutMs,
                                                    DWORD *status);

// Closes the window of a shell that was started without a handle of ours (by a table program)
// and waits for that shell to end; one that does not end is killed.
::testing::AssertionResult closeStartedShell(DWORD timeoutMs);

// While it lives, closes every shell window that this process shows, so that a shell run
// inside a test returns from its main loop.
class ShellWindowCloser {
public:
    ShellWindowCloser();
    ~ShellWindowCloser();
    ShellWindowCloser(const ShellWindowCloser &) = delete;
    ShellWindowCloser &operator=(const ShellWindowCloser &) = delete;
    int closed() const { return closedCount; }

private:
    std::atomic<bool> stopping{false};
    std::atomic<int> closedCount{0};
    std::thread watcher;
};

#endif
