#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "tests/support/catalogue_reset.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/settings_fixture.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// Writes "Table<n>" = subkey and a complete table description under that subkey.
void addTable(int n, const std::string &subkey, const std::string &name)
{
    setRegString("", ("Table" + std::to_string(n)).c_str(), subkey);
    setRegString(subkey, "Table Name", name);
    setRegString(subkey, "Table Exe", "C:\\Tables\\" + subkey + ".exe");
    setRegString(subkey, "Table Bitmap", "C:\\Tables\\" + subkey + ".bmp");
    setRegDword(subkey, "Table Id", n);
    setRegString(subkey, "Table CD", "Disc " + subkey);
}

std::vector<std::string> loadedNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < tableCount; ++i)
        names.push_back(tableEntries[i].name);
    return names;
}

class Catalogue : public SettingsTest {
protected:
    void SetUp() override
    {
        resetCatalogue();
        SettingsTest::SetUp();
    }
    void TearDown() override
    {
        resetCatalogue();
        SettingsTest::TearDown();
    }
};

// Where the list ends. A key that loading must not read is a subkey name that does not exist:
// reading it would create it.
TEST_F(Catalogue, ListEndsAtTheFirstIncompleteTable)
{
    struct Case {
        const char *what;
        std::function<void()> registry;
        std::vector<std::string> names;
        const char *neverRead;
        CatalogueEnd end;
    } cases[] = {
        {"empty registry", [] {}, {}, nullptr, endAtMissingValue},
        {"gap after Table1",
         [] {
             addTable(0, "Alpha", "Alpha Table");
             addTable(1, "Beta", "Beta Table");
             setRegString("", "Table3", "Ghost");
         },
         {"Alpha Table", "Beta Table"}, "Ghost", endAtMissingValue},
        {"empty Table Name",
         [] {
             addTable(0, "Alpha", "Alpha Table");
             addTable(1, "Beta", "Beta Table");
             setRegString("Beta", "Table Name", "");
             addTable(2, "Gamma", "Gamma Table");
         },
         {"Alpha Table"}, nullptr, endAtMissingName},
        {"missing Table Name",
         [] {
             setRegString("", "Table0", "Nameless");
             setRegString("Nameless", "Table Exe", "C:\\Tables\\nameless.exe");
             addTable(1, "Beta", "Beta Table");
         },
         {}, nullptr, endAtMissingName},
        {"empty Table Exe",
         [] {
             addTable(0, "Alpha", "Alpha Table");
             setRegString("Alpha", "Table Exe", "");
             addTable(1, "Beta", "Beta Table");
         },
         {}, nullptr, endAtMissingExe},
        {"missing Table Exe",
         [] {
             addTable(0, "Alpha", "Alpha Table");
             addTable(1, "Beta", "Beta Table");
             addTable(2, "Gamma", "Gamma Table");
             RegDeleteKeyValueA(HKEY_CURRENT_USER, (std::string(shellSettingsKey) + "\\Gamma").c_str(),
                                "Table Exe");
             addTable(3, "Delta", "Delta Table");
         },
         {"Alpha Table", "Beta Table"}, nullptr, endAtMissingExe},
        {"empty Table0 value",
         [] {
             setRegString("", "Table0", "");
             setRegString("", "Table1", "Ghost");
         },
         {}, "Ghost", endAtMissingValue},
        {"thirteen tables",
         [] {
             for (int n = 0; n < 12; ++n)
                 addTable(n, "T" + std::to_string(n), "Table " + std::to_string(n));
             setRegString("", "Table12", "Ghost");
         },
         {"Table 0", "Table 1", "Table 2", "Table 3", "Table 4", "Table 5", "Table 6", "Table 7",
          "Table 8", "Table 9", "Table 10", "Table 11"},
         "Ghost", endWhenFull},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        deleteSettingsKey();
        resetCatalogue();
        c.registry();
        loadCatalogue();
        EXPECT_EQ(loadedNames(), c.names);
        EXPECT_EQ(catalogueEnd, c.end);
        if (c.neverRead) {
            EXPECT_FALSE(settingsKeyExists(c.neverRead)) << c.neverRead << " was read";
        }
    }
}

TEST_F(Catalogue, ValueNamingAMissingSubkeyEndsTheListAndLeavesItCreatedEmpty)
{
    addTable(0, "Alpha", "Alpha Table");
    setRegString("", "Table1", "Vanished");
    addTable(2, "Gamma", "Gamma Table");
    loadCatalogue();
    EXPECT_EQ(loadedNames(), std::vector<std::string>{"Alpha Table"});
    EXPECT_EQ(settingsValueCount("Vanished"), 0) << "the subkey exists and holds nothing";
}

TEST_F(Catalogue, RecordsCarryTheirValuesOrTheDefaults)
{
    addTable(0, "Full", "Full Table");
    setRegDword("Full", "Table Id", 0x1234);
    setRegString("", "Table1", "Bare");
    setRegString("Bare", "Table Name", "Bare Table");
    setRegString("Bare", "Table Exe", "E:\\bare.exe");
    addTable(2, "EmptyBitmap", "Empty Bitmap Table");
    setRegString("EmptyBitmap", "Table Bitmap", "");
    setRegString("EmptyBitmap", "Table CD", "");

    // Junk in every field shows that loading sets each one.
    memset(tableEntries, 0x5A, sizeof tableEntries);
    loadCatalogue();
    ASSERT_EQ(tableCount, 3);

    const TableEntry &full = tableEntries[0];
    EXPECT_STREQ(full.exePath, "C:\\Tables\\Full.exe");
    EXPECT_STREQ(full.bitmapPath, "C:\\Tables\\Full.bmp");
    EXPECT_STREQ(full.cdLabel, "Disc Full");
    EXPECT_EQ(full.tableId, 0x1234);
    EXPECT_EQ(full.driveType, (unsigned)DRIVE_FIXED);

    const TableEntry &bare = tableEntries[1];
    EXPECT_STREQ(bare.name, "Bare Table");
    EXPECT_EQ(bare.bitmapPath, nullptr);
    EXPECT_EQ(bare.tableId, -1);
    EXPECT_STREQ(bare.cdLabel, "Unrecognized CD");
    EXPECT_EQ(bare.driveType, (unsigned)DRIVE_CDROM);

    EXPECT_EQ(tableEntries[2].bitmapPath, nullptr);
    EXPECT_STREQ(tableEntries[2].cdLabel, "Unrecognized CD") << "an empty label";

    for (int i = 0; i < tableCount; ++i) {
        SCOPED_TRACE(i);
        const TableEntry &entry = tableEntries[i];
        EXPECT_EQ(entry.pictureBitmap, nullptr);
        EXPECT_EQ(entry.pictureDC, nullptr);
        EXPECT_EQ(entry.position, 0);
        EXPECT_EQ(entry.frameX, 0);
        EXPECT_EQ(entry.frameY, 0);
        EXPECT_EQ(entry.frameWindow, nullptr);
        EXPECT_EQ(entry.pictureWindow, nullptr);
    }
}

// Each table gets the type of its own drive, also when tables on several drives alternate.
TEST_F(Catalogue, TablesOnSeveralDrivesEachGetTheirDrivesType)
{
    const struct {
        const char *exe;
        unsigned int type;
    } tables[] = {
        {"C:\\Tables\\a.exe", DRIVE_FIXED},  {"E:\\b.exe", DRIVE_CDROM},
        {"C:\\c.exe", DRIVE_FIXED},           {"Q:\\d.exe", DRIVE_NO_ROOT_DIR},
        {"E:\\Tables\\e.exe", DRIVE_CDROM},  {"C:\\Tables\\f.exe", DRIVE_FIXED},
    };
    int n = 0;
    for (const auto &table : tables) {
        std::string subkey = "T" + std::to_string(n);
        addTable(n++, subkey, subkey);
        setRegString(subkey, "Table Exe", table.exe);
    }
    loadCatalogue();
    ASSERT_EQ(tableCount, n);
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(tables[i].exe);
        EXPECT_EQ(tableEntries[i].driveType, tables[i].type);
    }
}

TEST_F(Catalogue, LongestValuesFitTheirBuffers)
{
    const std::string longName(499, 'n');
    addTable(0, "Long", longName);
    setRegString("Long", "Table CD", std::string(600, 'c'));
    loadCatalogue();
    ASSERT_EQ(tableCount, 1);
    EXPECT_EQ(tableEntries[0].name, longName);
    EXPECT_STREQ(tableEntries[0].cdLabel, "Unrecognized CD") << "a label too long to read";
}

TEST(DriveProbe, RootEndsAfterTheFirstCharacterAndItsSeparators)
{
    struct Case {
        const char *path;
        const char *root;
    } cases[] = {
        {"D:\\x\\y.exe", "D:\\"},
        {"D:x.exe", "D:"},
        {"D:\\\\\\x.exe", "D:\\\\\\"},
        {"\\\\server\\share\\x.exe", "\\\\"},
        {"\\x.exe", "\\"},
        {"x.exe", "x"},
        {"tables\\x.exe", "t"},
        {"", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        std::string path = c.path;
        char *end = driveRootEnd(&path[0]);
        EXPECT_EQ(std::string(&path[0], end), c.root);
    }
}

TEST(DriveProbe, AsksForTheRootAndRestoresThePath)
{
    struct Case {
        const char *path;
        unsigned int type;
    } cases[] = {
        {"E:\\tables\\x.exe", DRIVE_CDROM},
        {"C:\\tables\\x.exe", DRIVE_FIXED},
        {"Q:\\x.exe", DRIVE_NO_ROOT_DIR},
        {"x.exe", GetDriveTypeA("x")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        std::string path = c.path;
        EXPECT_EQ(probeDriveType(&path[0]), c.type);
        EXPECT_EQ(path, c.path);
    }
}

}
