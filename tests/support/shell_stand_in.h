#ifndef PINBALL_TEST_SHELL_STAND_IN_H
#define PINBALL_TEST_SHELL_STAND_IN_H

#include <windows.h>

#include "tests/support/process.h"

#include <vector>

// A window of the shell's main class in the test process, standing for a shell already in
// shell mode: a shell that reaches shell mode hands over to it. It records what it receives.
struct ShellStandIn {
    HWND window = NULL;
    std::vector<MSG> received;

    ShellStandIn();
    ~ShellStandIn();
    ShellStandIn(const ShellStandIn &) = delete;
    ShellStandIn &operator=(const ShellStandIn &) = delete;

    // Dispatches this thread's messages until `process` ends or timeoutMs pass; true when it ended.
    bool pumpUntilExit(ChildProcess &process, DWORD timeoutMs);
    // How many times the registered shell message arrived.
    int handOvers() const;
};

#endif
