#include <gtest/gtest.h>

#include "shell/globals.h"
#include "shell/names.h"
#include "shell/table_programs.h"
#include "tests/support/memory_use.h"
#include "tests/support/seeded_runs.h"
#include "tests/support/table_program.h"

#include <stdio.h>

#include <string>
#include <thread>

namespace {

// Slack for starting and ending the waits on a busy machine.
const double slackMs = 1000;
// What waiting on a peer may add to this process's peak working set: the waits take no
// buffers, but a thread of the test may run meanwhile.
const SIZE_T memoryBound = 4 << 20;

void reportHold(const char *what, double took, const PeakGrowth &growth)
{
    SIZE_T grew = growth.bytes();
    printf("[ figures  ] %s held the shell %.0f ms, peak working set growth %lu KB\n", what, took,
           (unsigned long)(grew / 1024));
    EXPECT_LE(grew, memoryBound) << what;
}

// A table program that misbehaves as its environment says, standing as the caller that
// started the shell; ended whatever the test does.
class FaultyPeer : public ::testing::Test {
protected:
    TableProgram peer;

    void startPeer(const char *variable, const char *value)
    {
        ScopedEnvironment fault(variable, value);
        ASSERT_TRUE(peer.start(copyTableProgram("faulty_peer.exe"), "", freshTableLogPath("faulty_peer")));
        callerWindow = peer.window;
    }
    void TearDown() override
    {
        callerWindow = NULL;
        peer.process.end();
    }
    // How long closing the caller held the shell.
    static double closeCallerMs()
    {
        PeakGrowth growth;
        double start = nowMs();
        closeCaller();
        double took = nowMs() - start;
        reportHold("closeCaller", took, growth);
        return took;
    }
    static double notifyMs()
    {
        PeakGrowth growth;
        double start = nowMs();
        EXPECT_EQ(notifyTableProgram(sendTableNotification), 1);
        double took = nowMs() - start;
        reportHold("notifying the table program", took, growth);
        return took;
    }
};

// A caller whose thread stays inside its WM_QUIT handler was working on the request: the send,
// and the wait after it, stop at the bound; later sends give up on the window, hung by then.
TEST_F(FaultyPeer, CallerStuckOnTheRequestHoldsTheShellOnlyToTheBound)
{
    startPeer("PINBALL_TABLE_QUIT_HANG_MS", "60000");
    double took = closeCallerMs();
    EXPECT_GE(took, callerCloseTimeoutMs - 50.0) << "the window stayed, so the wait ran to its bound";
    EXPECT_LE(took, callerCloseTimeoutMs + slackMs);
    EXPECT_TRUE(IsWindow(peer.window));
    EXPECT_LE(notifyMs(), slackMs);
}

// A caller that answers WM_QUIT and keeps its window, or whose process runs on once its window
// is gone, is waited for up to the same bound.
TEST_F(FaultyPeer, CallerThatStaysHoldsTheShellOnlyToTheBound)
{
    struct Case {
        const char *variable;
        bool windowStays;
    } cases[] = {
        {"PINBALL_TABLE_QUIT_DELAY_MS", true},
        {"PINBALL_TABLE_RUNS_ON_MS", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.variable);
        startPeer(c.variable, "120000");
        double took = closeCallerMs();
        EXPECT_GE(took, callerCloseTimeoutMs - 50.0);
        EXPECT_LE(took, callerCloseTimeoutMs + slackMs);
        EXPECT_EQ(IsWindow(peer.window) != FALSE, c.windowStays);
        EXPECT_TRUE(peer.process.running());
        peer.process.end();
    }
}

// A caller that dies while the shell waits for its window ends the wait at once.
TEST_F(FaultyPeer, CallerThatDiesWhileTheShellWaitsEndsTheWait)
{
    startPeer("PINBALL_TABLE_QUIT_DELAY_MS", "120000");
    const DWORD diesAfterMs = 1000;
    std::thread killer([this, diesAfterMs] {
        Sleep(diesAfterMs);
        TerminateProcess(peer.process.info.hProcess, 9);
    });
    double took = closeCallerMs();
    killer.join();
    EXPECT_GE(took, diesAfterMs - 50.0);
    EXPECT_LE(took, diesAfterMs + slackMs);
    EXPECT_FALSE(IsWindow(peer.window));
}

// A window whose process was suspended long enough for the system to take it for hung answers
// nothing: closing and notifying give up on it at once.
TEST_F(FaultyPeer, SuspendedProcessIsGivenUpAtOnce)
{
    startPeer("PINBALL_TABLE_QUIT_DELAY_MS", "0");
    ASSERT_NE(SuspendThread(peer.process.info.hThread), (DWORD)-1);
    double suspendedAt = nowMs();
    while (!IsHungAppWindow(peer.window) && nowMs() - suspendedAt < 10000)
        Sleep(50);
    ASSERT_TRUE(IsHungAppWindow(peer.window));
    double closing = closeCallerMs();
    double notifying = notifyMs();
    ResumeThread(peer.process.info.hThread);
    EXPECT_LE(closing, slackMs);
    EXPECT_LE(notifying, slackMs);
}

} // namespace
