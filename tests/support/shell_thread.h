#ifndef PINBALL_TEST_SHELL_THREAD_H
#define PINBALL_TEST_SHELL_THREAD_H

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

// The shell run in this process on a thread of its own, from nothing as a new process would
// run it, with whatever modules the test linked in place of the shell's (a clock, a start).
// Whatever the test does, the end answers the shell's boxes with their last button, closes its
// window and joins its thread.
class ShellThread {
public:
    ShellThread() = default;
    ~ShellThread() { end(); }
    ShellThread(const ShellThread &) = delete;
    ShellThread &operator=(const ShellThread &) = delete;

    // Runs the shell without the logo movie and waits for its window.
    ::testing::AssertionResult start();
    // Runs the shell and waits for nothing: the movie plays first when playLogoMovie says so.
    void run();
    void end();
    // Waits until the run is over by itself.
    ::testing::AssertionResult waitForEnd(DWORD timeoutMs);
    bool ended() const { return finished.load(); }

    HWND window = NULL;
    int exitCode = 1234;

private:
    std::thread thread;
    std::atomic<bool> finished{false};
};

#endif
