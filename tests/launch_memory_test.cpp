#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "shell/restart_mode.h"
#include "shell/table_launch.h"
#include "tests/support/dialogs.h"
#include "tests/support/failing_memory.h"
#include "tests/support/registry_sandbox.h"

namespace {

class LaunchWithoutMemory : public ::testing::Test {
protected:
    void SetUp() override { appInstance = GetModuleHandleA(NULL); }
    void TearDown() override { failAllocationsAfter(-1); }
};

// Without a buffer for its text the user cannot be told: the operation fails silently.
TEST_F(LaunchWithoutMemory, NoMessageBufferMeansASilentFailure)
{
    char cdPath[] = "E:\\absent.exe";
    char fixedPath[] = "C:\\Tables\\absent.exe";
    char label[] = "Disc";
    TableEntry onCd{}, onDisk{};
    onCd.exePath = cdPath;
    onCd.cdLabel = label;
    onDisk.exePath = fixedPath;
    onDisk.cdLabel = label;

    char startPath[textBufferSize];
    BoxAnswerer answerer({});
    failAllocationsAfter(0);
    EXPECT_EQ(checkTablePresent(&onCd, startPath), 0);
    EXPECT_EQ(checkTablePresent(&onDisk, startPath), 0);
    EXPECT_EQ(runTable(fixedPath), 0);
    EXPECT_EQ(blocksInUse(), 0);
    EXPECT_TRUE(answerer.finish().empty());
}

TEST_F(LaunchWithoutMemory, RestartWithoutItsBuffersEndsAndReleasesTheSettings)
{
    RegistrySandbox sandbox;
    setRegString("", "Last Table Played", "Gone");
    setRegString("Gone", "Table Exe", "C:\\Tables\\gone.exe");
    for (int allowed : {0, 1}) {
        SCOPED_TRACE(allowed);
        setSettingsBase(loadString(IDS_SETTINGS_KEY));
        ASSERT_EQ(blocksInUse(), 1);
        BoxAnswerer answerer({});
        failAllocationsAfter(allowed);
        EXPECT_EQ(runRestartMode(), runEnds);
        failAllocationsAfter(-1);
        EXPECT_EQ(settingsBasePath, nullptr);
        EXPECT_EQ(blocksInUse(), 0);
        EXPECT_TRUE(answerer.finish().empty());
    }
}

}
