#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "shell/globals.h"
#include "shell/startup.h"
#include "tests/support/dialogs.h"
#include "tests/support/memory_use.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/seeded_runs.h"
#include "tests/support/shell_stand_in.h"
#include "tests/support/shell_window.h"

#include <stdio.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

const char badParameters[] = "Unrecognized parameters.";
// Start-up takes a few text buffers, whatever the line; the first run, which also loads what
// start-up needs, stays far below this as well.
const SIZE_T largestAllocation = 16 << 20;

// A line and what the shell must make of it: the status, and whether it says first that the
// parameters are not recognised. With a running shell standing in, every run that reaches
// shell mode hands over to it and ends with -1.
struct Line {
    std::string text;
    int status;
    bool refused; // a box, then 0
    bool either;  // a pair whose numbers the generator does not know: refused, or -1
};

std::string hex(DWORD value, bool capitals)
{
    char digits[16];
    sprintf(digits, capitals ? "%lX" : "%lx", (unsigned long)value);
    return digits;
}

// The check value a table program passes with its window, worked out here on its own.
DWORD seventhPower(DWORD window)
{
    DWORD power = 1;
    for (int factor = 0; factor < 7; factor++)
        power *= window;
    return power;
}

// A window handle that names no window, so that closing the caller touches nothing.
DWORD noWindow(Random &random)
{
    for (;;) {
        DWORD value = random.next() & 0xFFFFFF;
        if (!IsWindow((HWND)(ULONG_PTR)value))
            return value;
    }
}

// Never empty: a number glued to the next word would take its hexadecimal letters.
const char *const separators[] = {" ", "  ", "\t", " \" ", "\"", " '", "\t\"\t"};
const char *const extras[] = {"restart", "-nocolor", "-nomovie", "tid=", "tid=99999999999999999999", "tid=-1",
                              "RESTART", "Restart", "xrestartx", "SELECT=12", "Confirm=", "selec", "confir",
                              "select", "confirm", "FFFFFFFFFFFFFFFFFFFF", "0x", "-", "\"\"", "\t\t"};

std::string separator(Random &random)
{
    return random.pick(separators);
}

// A caller's words as a table program writes them, then one near miss: the words cut, in
// capitals, repeated, moved apart by quotes and tabs, with huge numbers or a wrong check.
Line nearMiss(Random &random)
{
    DWORD window = noWindow(random);
    bool capitals = random.percent(50);
    std::string select = "select=" + hex(window, capitals), confirm = "confirm=" + hex(seventhPower(window), capitals);
    std::string tail;
    for (DWORD n = random.below(4); n > 0; n--)
        tail += separator(random) + random.pick(extras);
    Line line = {select + separator(random) + confirm + tail, -1, false, false};
    // A box takes a while to answer, so refusals are a few of the cases.
    switch (random.below(16)) {
    case 0:
        line.text = confirm + separator(random) + select + tail;
        break;
    case 1: {
        std::string wrong = hex(seventhPower(window) ^ (1u << random.below(32)), capitals);
        line = {select + " confirm=" + wrong + tail, 0, true, false};
        break;
    }
    case 2:
        line = {select + tail, 0, false, false};
        break;
    case 3:
        line = {"SELECT=" + hex(window, capitals) + " " + confirm + tail, -1, false, false};
        break;
    case 4:
        line = {select + " " + confirm + " " + select + "0 confirm=0" + tail, -1, false, false};
        break;
    case 5:
        line = {"select=" + std::string(8 + random.below(40), 'F') + " " + confirm + tail, 0, true, true};
        break;
    case 6:
        line = {select.substr(0, random.below((DWORD)select.size())) + " " + confirm + tail, -1, false, false};
        if (line.text.find("select=") != std::string::npos)
            line = {line.text, 0, true, true};
        break;
    case 7:
        line.text = std::string(random.below(32000), random.percent(50) ? ' ' : '\t') + line.text;
        break;
    default:
        break;
    }
    if (line.text.find("select=") == std::string::npos) {
        line = {line.text, -1, false, false};
    } else if (line.text.find("confirm=") == std::string::npos) {
        line = {line.text, 0, false, false};
    }
    return line;
}

// Pieces of words, numbers, quotes, tabs and any other byte, up to 32 KB. Few hold both words
// of a caller, which are refused with a box.
Line randomLine(Random &random)
{
    DWORD words = random.below(16);
    const char *const callerWords[] = {"select=", "confirm="};
    std::string text;
    size_t length = random.percent(2) ? 32000 : random.below(200);
    while (text.size() < length) {
        switch (random.below(4)) {
        case 0:
            text += random.pick(extras);
            break;
        case 1:
            if (words < 3)
                text += callerWords[words == 2 ? random.below(2) : words] + hex(random.next(), random.percent(50));
            break;
        case 2:
            text += separator(random);
            break;
        default:
            text += (char)(1 + random.below(255));
            break;
        }
    }
    bool select = text.find("select=") != std::string::npos, confirm = text.find("confirm=") != std::string::npos;
    if (!select)
        return {text, -1, false, false};
    return confirm ? Line{text, 0, true, true} : Line{text, 0, false, false};
}

Line lineOfCase(unsigned long long seed, unsigned long index)
{
    Random random = caseRandom(seed, index);
    return random.percent(50) ? nearMiss(random) : randomLine(random);
}

std::string shortened(const std::string &text)
{
    return text.size() <= 120 ? text : text.substr(0, 120) + "... (" + std::to_string(text.size()) + " characters)";
}

// The start-up of the shell in this process with a running shell standing in.
class CommandLines : public ::testing::Test {
protected:
    RegistrySandbox sandbox;
    ShellStandIn runningShell;
    ShellWindowCloser closer;

    void TearDown() override { releaseSettings(); }
};

TEST_F(CommandLines, RandomAndNearMissLinesEndWithTheirStatuses)
{
    unsigned long long seed = runSeed("command lines");
    unsigned long runs = runCount(10000, 100000);
    std::atomic<unsigned long> boxes{0};
    BoxAnswerer answerer(std::vector<std::string>(runs, "OK"), [&](size_t) { ++boxes; });
    unsigned long failures = 0, handedOver = 0, refused = 0;
    double longest = 0;
    SIZE_T largest = 0;
    unsigned long index = 0;
    for (; index < runs && failures < 20; index++) {
        Line line = lineOfCase(seed, index);
        playLogoMovie = 1;
        callerWindow = NULL;
        preselectTableId = 0;
        unsigned long boxesBefore = boxes;
        PeakGrowth growth;
        double start = nowMs();
        int status = runShell(GetModuleHandleA(NULL), line.text.c_str());
        longest = std::max(longest, nowMs() - start);
        largest = std::max(largest, growth.bytes());
        releaseSettings();
        bool boxShown = boxes != boxesBefore;
        bool expected = line.either ? (status == 0 && boxShown) || (status == -1 && !boxShown)
                                    : status == line.status && boxShown == line.refused;
        handedOver += status == -1;
        refused += boxShown;
        if (!expected) {
            failures++;
            ADD_FAILURE() << "case " << index << ": \"" << shortened(line.text) << "\" ended with " << status
                          << (boxShown ? " after a box" : " without a box");
        }
    }
    for (const MessageBoxContent &box : answerer.finish())
        EXPECT_EQ(box.text, badParameters);
    printf("[ figures  ] %lu lines, %lu handed over to the running shell, %lu refused with a box, "
           "0 crashes, longest start-up %.1f ms, largest peak working set growth %lu KB\n",
           index, handedOver, refused, longest, (unsigned long)(largest / 1024));
    EXPECT_LE(largest, largestAllocation);
    EXPECT_EQ(index, runs);
}

// A sample of the same lines through the real program: its exit status and its boxes.
TEST_F(CommandLines, SampleRunsThroughTheProgramEndsTheSame)
{
    unsigned long long seed = runSeed("command lines, real program");
    unsigned long runs = runCount(12, 200);
    for (unsigned long index = 0; index < runs; index++) {
        Line line = lineOfCase(seed, index);
        if (index == 0)
            line = {"select=1 confirm=1 restart " + std::string(32000, 'x'), -1, false, false};
        SCOPED_TRACE("case " + std::to_string(index) + ": \"" + shortened(line.text) + "\"");
        ChildProcess shell;
        ASSERT_TRUE(shell.start(shellCommand(line.text)));
        MessageBoxContent box;
        bool boxShown = line.refused && waitForMessageBox(shell.id(), line.either ? 3000 : 10000, &box);
        if (boxShown) {
            EXPECT_EQ(box.text, badParameters);
            answerMessageBox(box, "OK");
        }
        ASSERT_TRUE(runningShell.pumpUntilExit(shell, 20000));
        DWORD status = 0;
        ASSERT_TRUE(shell.waitForExit(0, &status));
        if (line.either) {
            EXPECT_EQ((int)status, boxShown ? 0 : -1);
        } else {
            EXPECT_EQ((int)status, line.status);
            EXPECT_EQ(boxShown, line.refused);
        }
    }
}

} // namespace
