#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/settings_fixture.h"
#include "tests/test_strings.h"

#include <string.h>

namespace {

using SettingsStore = SettingsTest;

TEST_F(SettingsStore, FirstReadCreatesTheBaseKeyAndGivesTheDefault)
{
    ASSERT_FALSE(settingsKeyExists(""));
    EXPECT_EQ(readSettingInt(NULL, "Shell Version", 3), 3);
    EXPECT_TRUE(settingsKeyExists(""));
    EXPECT_EQ(keyPathBuffer, nullptr) << "the key path is released after every access";
}

TEST_F(SettingsStore, ReadFromMissingSubkeyCreatesItEmpty)
{
    char text[500];
    readSettingString("Table Nine", "Table Name", text, "none", sizeof text);
    EXPECT_STREQ(text, "none");
    EXPECT_TRUE(settingsKeyExists("Table Nine"));
    EXPECT_EQ(readSettingInt("Table Nine", "Table Id", -1), -1);
}

// A key held open by the test, closed whatever the outcome.
struct HeldKey {
    HKEY key;
    explicit HeldKey(const char *subkey) : key(openSettings(subkey)) {}
    ~HeldKey() { closeSettings(key); }
};

// Keys held open together read as single accesses do: the base key and a table's key at once,
// a missing subkey created by the open, and the key path not held meanwhile.
TEST_F(SettingsStore, KeysHeldOpenTogetherReadLikeSingleAccesses)
{
    writeSettingString(NULL, "Table0", "Alpha");
    writeSettingInt("Alpha", "Table Id", 9);
    HeldKey base(NULL), table("Alpha"), missing("Nowhere");
    ASSERT_TRUE(base.key && table.key && missing.key);
    EXPECT_EQ(keyPathBuffer, nullptr);
    EXPECT_TRUE(settingsKeyExists("Nowhere"));
    char text[500];
    readKeyString(base.key, "Table0", text, "", sizeof text);
    EXPECT_STREQ(text, "Alpha");
    EXPECT_EQ(readKeyInt(table.key, "Table Id", -1), 9);
    EXPECT_EQ(readKeyInt(missing.key, "Table Id", -1), -1);
    readKeyString(missing.key, "Table Name", text, "none", sizeof text);
    EXPECT_STREQ(text, "none");
    readKeyString(NULL, "Table0", text, "no key", sizeof text);
    EXPECT_STREQ(text, "no key");
}

TEST_F(SettingsStore, ValuesRoundTripInBaseKeyAndSubkey)
{
    writeSettingInt(NULL, "Shell Version", -7);
    writeSettingString(NULL, "Shell Exe", "C:\\Games\\shell.exe");
    writeSettingString("Table0", "Table Name", "Haunted Harbour");
    EXPECT_EQ(readSettingInt(NULL, "Shell Version", 3), -7);
    DWORD stored = 0;
    ASSERT_TRUE(getRegDword("", "Shell Version", &stored));
    EXPECT_EQ(stored, static_cast<DWORD>(-7));
    std::string text;
    ASSERT_TRUE(getRegString("Table0", "Table Name", &text));
    EXPECT_EQ(text, "Haunted Harbour");
    char buffer[500];
    readSettingString(NULL, "Shell Exe", buffer, "", sizeof buffer);
    EXPECT_STREQ(buffer, "C:\\Games\\shell.exe");
}

TEST_F(SettingsStore, IntegerReadTakesRawBytesOfAnotherType)
{
    setRegString("", "Shell Version", "7");
    EXPECT_EQ(readSettingInt(NULL, "Shell Version", 3), 55);
}

TEST_F(SettingsStore, DefaultIsCutToTheBuffer)
{
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    readSettingString(NULL, "Missing", buffer, "abcdefghijk", 5);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(buffer[5], 'x') << "nothing is written beyond the given size";
}

// Stored strings that do not fit, or have no terminator, still leave a terminated text
// within the buffer, and never touch the bytes behind it.
TEST_F(SettingsStore, StoredStringAlwaysEndsTerminatedWithinTheBuffer)
{
    struct Case {
        const char *data;
        DWORD size;
        const char *expected;
        const char *alsoAccepted;
    } cases[] = {
        {"hello", 6, "hello", NULL},
        {"hello", 5, "hello", NULL},                   // no terminator stored
        {"0123456789", 10, "012345678", "dflt"},       // fills the buffer exactly, unterminated:
                                                       // cut, or refused for want of a terminator
        {"0123456789abcdef", 17, "dflt", NULL},        // too long: the default stays
        {"", 1, "dflt", NULL},                         // an empty text: the default stays
        {"", 0, "dflt", NULL},                         // no data at all: the default stays
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.data);
        setRegBinary("", "Table0", REG_SZ, c.data, c.size);
        char buffer[16];
        memset(buffer, '#', sizeof buffer);
        readSettingString(NULL, "Table0", buffer, "dflt", 10);
        if (!c.alsoAccepted || strcmp(buffer, c.alsoAccepted) != 0) {
            EXPECT_STREQ(buffer, c.expected);
        }
        for (int i = 10; i < 16; ++i)
            EXPECT_EQ(buffer[i], '#') << "byte " << i;
    }
}

TEST_F(SettingsStore, KeyPathJoinsBaseAndSubkey)
{
    EXPECT_STREQ(settingsKeyPath("Table3"), "Software\\Corvane\\Vantrel2Demo\\Table3");
    EXPECT_STREQ(settingsKeyPath(NULL), "Software\\Corvane\\Vantrel2Demo");
    releaseSettingsKeyPath();
    EXPECT_EQ(keyPathBuffer, nullptr);
}

TEST_F(SettingsStore, SwitchedOffStoreGivesDefaultsAndWritesNothing)
{
    releaseSettings();
    EXPECT_EQ(settingsBasePath, nullptr);
    EXPECT_EQ(readSettingInt(NULL, "Shell Version", 3), 3);
    char buffer[10];
    readSettingString(NULL, "Shell Exe", buffer, "none", sizeof buffer);
    EXPECT_STREQ(buffer, "none");
    writeSettingInt(NULL, "Shell Version", 3);
    writeSettingString(NULL, "Shell Exe", "x");
    EXPECT_FALSE(settingsKeyExists(""));
}

TEST(StringTable, TextsOfTheShell)
{
    appInstance = GetModuleHandleA(NULL);
    struct Case {
        unsigned short id;
        const char *text;
    } cases[] = {
        {IDS_TITLE, "Vantrel! 2 Demo"},
        {IDS_SETTINGS_KEY, "Software\\Corvane\\Vantrel2Demo"},
        {2, ""},
        {3, ""},
        {IDS_TABLE_NOT_FOUND, "Unable to find the pinball table: %s"},
        {IDS_ERROR_CAPTION, "Error:"},
        {IDS_RUN_FAILED, "Unable to run the pinball table (error #%d)"},
        {IDS_BAD_PARAMETERS, "Unrecognized parameters."},
        {IDS_INSERT_CD, "Insert CD labeled '%s'"},
        {IDS_UNKNOWN_CD, "Unrecognized CD"},
        {IDS_OK, "OK"},
        {IDS_CANCEL, "Cancel"},
        {IDS_NEEDS_256_COLOURS, "Vantrel! requires at least 256 color (8-bit)"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(loadString(c.id), c.text) << "string " << c.id;
}

TEST(StringTable, FourthLoadReusesTheFirstBuffer)
{
    appInstance = GetModuleHandleA(NULL);
    const char *first = loadString(IDS_OK);
    const char *second = loadString(IDS_CANCEL);
    const char *third = loadString(IDS_TITLE);
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
    EXPECT_NE(first, third);
    EXPECT_STREQ(first, "OK") << "a text survives two further loads";
    const char *fourth = loadString(IDS_ERROR_CAPTION);
    EXPECT_EQ(fourth, first);
    EXPECT_STREQ(first, "Error:");
    EXPECT_STREQ(second, "Cancel");
}

TEST(StringTable, LongStringIsCutTo254Characters)
{
    appInstance = GetModuleHandleA(NULL);
    const char *text = loadString(IDS_TEST_LONG);
    ASSERT_EQ(strlen(text), 254u);
    EXPECT_EQ(text[0], 'a');
    EXPECT_EQ(text[253], 'a' + 253 % 26);
}

}
