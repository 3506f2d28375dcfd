#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "tests/support/failing_memory.h"
#include "tests/support/registry_sandbox.h"

namespace {

class SettingsWithoutMemory : public ::testing::Test {
protected:
    RegistrySandbox sandbox;
    void TearDown() override
    {
        failAllocationsAfter(-1);
        releaseSettings();
    }
};

TEST_F(SettingsWithoutMemory, NoBasePathSwitchesTheStoreOff)
{
    failAllocationsAfter(0);
    setSettingsBase("Software\\Corvane\\Vantrel2Demo");
    EXPECT_EQ(settingsBasePath, nullptr);
    EXPECT_EQ(readSettingInt(NULL, "Shell Version", 3), 3);
    writeSettingInt(NULL, "Shell Version", 9);
    EXPECT_FALSE(settingsKeyExists(""));
}

TEST_F(SettingsWithoutMemory, NoKeyPathBufferSendsTheAccessToTheBaseKey)
{
    setSettingsBase("Software\\Corvane\\Vantrel2Demo");
    failAllocationsAfter(0);
    writeSettingString("Table0", "Table Name", "Moonlight Mile");
    EXPECT_FALSE(settingsKeyExists("Table0"));
    std::string text;
    ASSERT_TRUE(getRegString("", "Table Name", &text));
    EXPECT_EQ(text, "Moonlight Mile");
    EXPECT_EQ(blocksInUse(), 1) << "only the base path is held";
}

}
