#include <gtest/gtest.h>

#include "tests/support/memory_use.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/seeded_runs.h"
#include "tests/support/shell_session.h"
#include "tests/support/shell_window.h"
#include "tests/support/table_program.h"

#include <ctype.h>
#include <stdio.h>

#include <map>
#include <string>
#include <vector>

namespace {

// One stored value of the wrong make.
struct Garbage {
    const char *name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<BYTE> text(size_t length, bool terminated)
{
    std::vector<BYTE> data(length, 'k');
    if (terminated)
        data.push_back(0);
    return data;
}

std::vector<Garbage> garbageKinds()
{
    std::vector<BYTE> junk;
    for (int i = 0; i < 64; i++)
        junk.push_back((BYTE)(i * 37 + 0x80));
    junk[5] = 0;
    return {
        {"number where text belongs, text where a number belongs", REG_DWORD, {7, 0, 0, 0}},
        {"empty", REG_SZ, {}},
        {"499 characters", REG_SZ, text(499, true)},
        {"500 characters", REG_SZ, text(500, true)},
        {"5000 characters", REG_SZ, text(5000, true)},
        {"no terminator", REG_SZ, text(500, false)},
        {"binary junk", REG_BINARY, junk},
    };
}

void storeGarbage(const std::string &subkey, const char *name, const Garbage &garbage, bool number)
{
    DWORD type = garbage.type;
    std::vector<BYTE> data = garbage.data;
    if (number && type == REG_DWORD) {
        type = REG_SZ;
        data = {'7', 0};
    }
    setRegBinary(subkey, name, type, data.data(), (DWORD)data.size());
}

// Every value of the key tree by its path, and every key.
typedef std::map<std::string, std::pair<DWORD, std::vector<BYTE>>> FlatValues;

void flatten(const RegistryKey &key, const std::string &path, FlatValues *values, std::map<std::string, size_t> *keys)
{
    (*keys)[path] = key.values.size() + key.subkeys.size();
    for (const RegistryValue &value : key.values)
        (*values)[path + "|" + value.name] = {value.type, value.data};
    for (const RegistryKey &child : key.subkeys)
        flatten(child, path + "\\" + child.name, values, keys);
}

// What the shell changed: nothing but its own two values, and the empty keys that reading
// a table's subkey makes when it is missing.
::testing::AssertionResult wroteOnlyItsOwnValues(const RegistryKey &before, const RegistryKey &after)
{
    FlatValues valuesBefore, valuesAfter;
    std::map<std::string, size_t> keysBefore, keysAfter;
    flatten(before, "", &valuesBefore, &keysBefore);
    flatten(after, "", &valuesAfter, &keysAfter);
    for (const char *own : {"|Shell Version", "|Shell Exe"}) {
        valuesBefore.erase(own);
        valuesAfter.erase(own);
    }
    if (valuesBefore != valuesAfter)
        return ::testing::AssertionFailure() << "values changed: " << valuesBefore.size() << " before, "
                                             << valuesAfter.size() << " after";
    for (const auto &key : keysAfter)
        if (!keysBefore.count(key.first) && key.second != 0)
            return ::testing::AssertionFailure() << "a new key with something in it: " << key.first;
    return ::testing::AssertionSuccess();
}

// Once it waits for input, a shell that read garbage answers a sent message at once, and holds
// no more memory than one that read a clean catalogue, beyond this slack.
const double answerBoundMs = 1000;
const DWORD answerTimeoutMs = 5000;
const SIZE_T memorySlack = 4 << 20;

// What one run of the shell took: from its start until it waited for input, to answer a sent
// message then, and its peak working set.
struct RunFigures {
    double untilIdleMs;
    double answerMs;
    SIZE_T peakWorkingSet;
};

std::string lowered(std::string text)
{
    for (char &c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

class RegistryGarbage : public ShellSession {
protected:
    void addGoodTable(const std::string &subkey)
    {
        setRegString("", ("Table" + std::to_string(tables++)).c_str(), subkey);
        setRegString(subkey, "Table Name", subkey);
        setRegString(subkey, "Table Exe", tableProgramPath());
    }
    // Runs the shell on the catalogue as it stands, to its window and through a close.
    void runAndCheck(size_t fewestFrames, size_t mostFrames, RunFigures *figures)
    {
        RegistryKey before = settingsSnapshot();
        double start = nowMs();
        ASSERT_TRUE(startShell());
        figures->untilIdleMs = nowMs() - start;
        figures->answerMs = answerMs(window, answerTimeoutMs);
        figures->peakWorkingSet = memoryOf(shell->info.hProcess).PeakWorkingSetSize;
        EXPECT_GE(figures->answerMs, 0) << "the window did not answer";
        EXPECT_LE(figures->answerMs, answerBoundMs);
        size_t shown = frames().size();
        EXPECT_GE(shown, fewestFrames);
        EXPECT_LE(shown, mostFrames);
        closeShellWindow(window);
        DWORD status = 1;
        ASSERT_TRUE(waitForEnd(&status));
        EXPECT_EQ(status, 0u);
        RegistryKey after = settingsSnapshot();
        EXPECT_TRUE(wroteOnlyItsOwnValues(before, after));
        FlatValues valuesBefore, valuesAfter;
        std::map<std::string, size_t> keys;
        flatten(before, "", &valuesBefore, &keys);
        flatten(after, "", &valuesAfter, &keys);
        if (valuesBefore["|Shell Version"] != valuesAfter["|Shell Version"]) {
            // Only as the current shell, with its own path.
            EXPECT_EQ(valuesAfter["|Shell Version"], std::make_pair((DWORD)REG_DWORD, std::vector<BYTE>{3, 0, 0, 0}));
            std::string shellExe;
            EXPECT_TRUE(getRegString("", "Shell Exe", &shellExe));
            EXPECT_EQ(lowered(shellExe), lowered(shellExePath()));
        }
        printf("[ figures  ] %zu tables shown, waiting for input %.0f ms after the start, answered in "
               "%.1f ms, peak working set %lu KB\n",
               shown, figures->untilIdleMs, figures->answerMs, (unsigned long)(figures->peakWorkingSet / 1024));
    }
};

// Each kind of garbage in every value at once: in the shell's own values, in the optional
// values of tables that are shown anyway, and in a name, an executable and a TableN value,
// which may end the list there. The same five tables without garbage come first, as the
// measure of the memory that the garbage may not add to.
TEST_F(RegistryGarbage, EveryValueOfTheWrongMakeLeavesTheShellShowingWhatItCan)
{
    const char *optional[] = {"Table Bitmap", "Table Id", "Table CD"};
    const char *required[] = {"Table Name", "Table Exe"};
    for (const char *value : optional)
        addGoodTable(std::string("Bad ") + value);
    for (const char *value : required)
        addGoodTable(std::string("Bad ") + value);
    RunFigures clean = {};
    runAndCheck(5, 5, &clean);
    endShell();
    if (HasFatalFailure())
        return;
    for (const Garbage &garbage : garbageKinds()) {
        SCOPED_TRACE(garbage.name);
        deleteSettingsKey();
        tables = 0;
        storeGarbage("", "Shell Version", garbage, true);
        storeGarbage("", "Shell Exe", garbage, false);
        storeGarbage("", "Last Table Played", garbage, false);
        for (const char *value : optional) {
            std::string subkey = std::string("Bad ") + value;
            addGoodTable(subkey);
            storeGarbage(subkey, value, garbage, value == std::string("Table Id"));
        }
        for (const char *value : required) {
            std::string subkey = std::string("Bad ") + value;
            addGoodTable(subkey);
            storeGarbage(subkey, value, garbage, false);
        }
        storeGarbage("", ("Table" + std::to_string(tables)).c_str(), garbage, false);
        RunFigures figures = {};
        runAndCheck(3, 6, &figures);
        EXPECT_LE(figures.peakWorkingSet, clean.peakWorkingSet + memorySlack);
        endShell();
    }
}

// Gaps end the list; two TableN naming one subkey give two entries; a subkey path with
// backslashes reaches a key further down.
TEST_F(RegistryGarbage, GapsLoopsAndNestedPathsGiveTheEntriesTheyName)
{
    addGoodTable("Looped");
    setRegString("", "Table1", "Looped");
    tables = 2;
    addGoodTable("Nested\\Deeper\\Table");
    setRegString("", "Table4", "After The Gap");
    setRegString("After The Gap", "Table Name", "After The Gap");
    setRegString("After The Gap", "Table Exe", tableProgramPath());
    RunFigures figures = {};
    runAndCheck(3, 3, &figures);
}

} // namespace
