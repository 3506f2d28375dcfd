#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "tests/support/catalogue_reset.h"
#include "tests/support/failing_memory.h"
#include "tests/support/registry_sandbox.h"

#include <string>

namespace {

class CatalogueWithoutMemory : public ::testing::Test {
protected:
    RegistrySandbox sandbox;

    void SetUp() override
    {
        appInstance = GetModuleHandleA(NULL);
        for (int n = 0; n < 3; ++n) {
            std::string subkey = "T" + std::to_string(n);
            setRegString("", ("Table" + std::to_string(n)).c_str(), subkey);
            setRegString(subkey, "Table Name", "Table " + std::to_string(n));
            setRegString(subkey, "Table Exe", "C:\\" + subkey + ".exe");
            // The middle table has no picture, so its record holds one buffer less.
            if (n != 1)
                setRegString(subkey, "Table Bitmap", "C:\\" + subkey + ".bmp");
        }
        // A fourth table without an executable ends every complete load by giving its record up.
        setRegString("", "Table3", "T3");
        setRegString("T3", "Table Name", "Table 3");
    }
    void TearDown() override { failAllocationsAfter(-1); }
};

int buffersOfCountedRecords()
{
    int buffers = 0;
    for (int i = 0; i < tableCount; ++i)
        buffers += 3 + (tableEntries[i].bitmapPath != nullptr);
    return buffers;
}

// Every allocation of a load fails in turn: the list ends at the record being built, that
// record gives back what it took, and the records counted before it stay whole.
TEST_F(CatalogueWithoutMemory, FailedAllocationEndsTheListAndReleasesTheRecord)
{
    int fullLoadBlocks = -1;
    int previousCount = 0;
    for (int allowed = 0; fullLoadBlocks < 0; ++allowed) {
        SCOPED_TRACE("allocations allowed: " + std::to_string(allowed));
        ASSERT_LT(allowed, 200) << "the load never completed";
        resetCatalogue();
        setSettingsBase(loadString(IDS_SETTINGS_KEY));
        int before = blocksInUse();
        failAllocationsAfter(allowed);
        loadCatalogue();
        failAllocationsAfter(-1);

        EXPECT_EQ(blocksInUse() - before, buffersOfCountedRecords())
            << "only the counted records keep buffers";
        EXPECT_GE(tableCount, previousCount);
        previousCount = tableCount;
        for (int i = 0; i < tableCount; ++i) {
            EXPECT_EQ(tableEntries[i].name, "Table " + std::to_string(i));
            EXPECT_EQ(tableEntries[i].exePath, "C:\\T" + std::to_string(i) + ".exe");
            EXPECT_STREQ(tableEntries[i].cdLabel, "Unrecognized CD");
        }
        if (tableCount == 3)
            fullLoadBlocks = blocksInUse() - before;
        releaseSettings();
    }
    EXPECT_EQ(fullLoadBlocks, 11);
    resetCatalogue();
}

}
