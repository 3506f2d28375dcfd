#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "shell/restart_mode.h"
#include "tests/support/cdrom.h"
#include "tests/support/dialogs.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/table_program.h"

#include <string>
#include <thread>
#include <vector>

namespace {

using RestartMode = SettingsTest;

TEST_F(RestartMode, NoLastTableLeavesItToShellMode)
{
    BoxAnswerer answerer({});
    EXPECT_EQ(runRestartMode(), runGoesOn);
    EXPECT_NE(settingsBasePath, nullptr) << "shell mode still needs the settings";
    EXPECT_TRUE(answerer.finish().empty());
}

TEST_F(RestartMode, LastTableWithoutExecutableEndsQuietly)
{
    setRegString("", "Last Table Played", "Table Seven");
    setRegString("Table Seven", "Table Name", "Seventh Heaven");
    BoxAnswerer answerer({});
    EXPECT_EQ(runRestartMode(), runEnds);
    EXPECT_EQ(settingsBasePath, nullptr) << "the settings are released on the way out";
    EXPECT_TRUE(answerer.finish().empty());
}

TEST_F(RestartMode, TableThatCannotStartIsReportedAndEnds)
{
    setRegString("", "Last Table Played", "Gone");
    setRegString("Gone", "Table Exe", "C:\\Tables\\gone.exe");
    BoxAnswerer answerer({"OK"});
    EXPECT_EQ(runRestartMode(), runEnds);
    EXPECT_EQ(settingsBasePath, nullptr);
    const std::vector<MessageBoxContent> &boxes = answerer.finish();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Unable to find the pinball table: C:\\Tables\\gone.exe");
}

void emptyQueue()
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        ;
}

// When the table's "start" line appears in its log, as GetTickCount tells it.
struct TableStartWatch {
    bool seen = false;
    DWORD at = 0;
    std::thread watcher;

    explicit TableStartWatch(const std::string &log)
        : watcher([this, log] {
              seen = waitForTableLogLine(log, "start ", 10000);
              at = GetTickCount();
          })
    {
    }
    ~TableStartWatch()
    {
        if (watcher.joinable())
            watcher.join();
    }
};

// The table runs again with "-nomovie", shown; once it runs, restart mode waits while a message
// is queued, and ends at once when none is.
TEST_F(RestartMode, LastTableRunsAgainThenWaitsOnlyWhileAMessageIsQueued)
{
    const std::string exe = copyTableProgram("restarttable.exe");
    for (bool queued : {false, true}) {
        SCOPED_TRACE(queued ? "a message queued" : "nothing queued");
        setSettingsBase(loadString(IDS_SETTINGS_KEY));
        setRegString("", "Last Table Played", "Table Two");
        setRegString("Table Two", "Table Exe", exe);
        const std::string log = freshTableLogPath("restart_mode");
        ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
        BoxAnswerer answerer({});
        emptyQueue();
        if (queued) {
            ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP, 7, 0));
        }
        TableStartWatch tableStart(log);
        EXPECT_EQ(runRestartMode(), runEnds);
        DWORD ended = GetTickCount();
        tableStart.watcher.join();

        ASSERT_TRUE(tableStart.seen);
        // Below 0 when the watch saw the line only after restart mode had ended.
        LONG waited = (LONG)(ended - tableStart.at);
        if (queued) {
            EXPECT_GE(waited, (LONG)restartWaitMs - 100) << "the wait follows the table's start";
        } else {
            EXPECT_LT(waited, (LONG)restartWaitMs / 2);
        }
        MSG message;
        EXPECT_EQ(PeekMessageA(&message, NULL, 0, 0, PM_REMOVE), queued ? TRUE : FALSE);
        EXPECT_EQ(settingsBasePath, nullptr);
        EXPECT_EQ(tableLogLines(log), (std::vector<std::string>{"start " + exe + " -nomovie",
                                                                "show 5"}));
        EXPECT_TRUE(endStartedTableProgram(10000));
        EXPECT_TRUE(answerer.finish().empty());
    }
}

// The last table's disc mounted in F: instead of E:, where its path lies, or instead of G:, a
// drive that is gone: restart mode starts it from F: when the disc carries the table's label,
// and reports it missing when it does not.
TEST_F(RestartMode, LastTableOnItsDiscInAnotherDriveRunsFromThere)
{
    struct Case {
        const char *recorded;
        const char *label;
        bool taken;
    } cases[] = {
        {"E:\\TWO\\two.exe", secondDiscLabel, true},
        {"E:\\TWO\\two.exe", "Vantrel2 Disc 3", false},
        {"G:\\TWO\\two.exe", secondDiscLabel, true},
        {"G:\\TWO\\two.exe", "Vantrel2 Disc 3", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.recorded) + " " + c.label);
        emptyDisc('E');
        emptyDisc('F');
        ASSERT_TRUE(putTableProgramOnDisc("TWO\\two.exe", 'F'));
        setSettingsBase(loadString(IDS_SETTINGS_KEY));
        setRegString("", "Last Table Played", "Table Two");
        setRegString("Table Two", "Table Exe", c.recorded);
        setRegString("Table Two", "Table CD", c.label);
        const std::string log = freshTableLogPath("restart_disc");
        ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
        BoxAnswerer answerer({"OK"});
        EXPECT_EQ(runRestartMode(), runEnds);
        const std::vector<MessageBoxContent> &boxes = answerer.finish();
        if (c.taken) {
            EXPECT_TRUE(boxes.empty());
            ASSERT_TRUE(waitForTableLogLine(log, "start ", 10000));
            EXPECT_EQ(tableLogLines(log)[0], "start F:\\TWO\\two.exe -nomovie");
            EXPECT_TRUE(endStartedTableProgram(10000));
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, std::string("Unable to find the pinball table: ") + c.recorded);
        }
        std::string kept;
        EXPECT_TRUE(getRegString("Table Two", "Table Exe", &kept));
        EXPECT_EQ(kept, c.recorded) << "the catalogue keeps its path";
        emptyDisc('F');
    }
}

// Processor time of this thread, in milliseconds.
double threadCpuMs()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    ULARGE_INTEGER k{{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    ULARGE_INTEGER u{{user.dwLowDateTime, user.dwHighDateTime}};
    return (double)(k.QuadPart + u.QuadPart) / 10000.0;
}

TEST(RestartWait, EmptyQueueEndsTheWaitAtOnce)
{
    emptyQueue();
    DWORD start = GetTickCount();
    waitWhileMessageQueued(restartWaitMs);
    EXPECT_LT(GetTickCount() - start, 100u);
}

TEST(RestartWait, QueuedMessageHoldsTheWaitWithoutTakingItOrBurningTheProcessor)
{
    emptyQueue();
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP, 7, 0));
    double cpuBefore = threadCpuMs();
    DWORD start = GetTickCount();
    waitWhileMessageQueued(restartWaitMs);
    DWORD elapsed = GetTickCount() - start;
    double cpu = threadCpuMs() - cpuBefore;

    EXPECT_GE(elapsed, restartWaitMs - 50);
    EXPECT_LT(elapsed, restartWaitMs + 500);
    EXPECT_LT(cpu, elapsed / 10.0) << "the wait must sleep, not spin";
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) << "the message was taken";
    EXPECT_EQ(message.message, (UINT)WM_APP);
    EXPECT_EQ(message.wParam, 7u);
}

}
