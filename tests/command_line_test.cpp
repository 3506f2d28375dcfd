#include <gtest/gtest.h>

#include "shell/command_line.h"
#include "shell/globals.h"

namespace {

TEST(CommandLine, ConfirmValueIsTheSeventhPowerModulo2To32)
{
    EXPECT_EQ(confirmValue(0x1234), 0x5EB94000ul);
    EXPECT_EQ(confirmValue(2), 0x80ul);
    EXPECT_EQ(confirmValue(0x10000), 0ul);
    EXPECT_EQ(confirmValue(0xFFFFFFFFul), 0xFFFFFFFFul);
}

TEST(CommandLine, WordsAreCaseSensitiveAndFoundInsideLongerWords)
{
    EXPECT_TRUE(hasWord("xrestartx", "restart"));
    EXPECT_TRUE(hasWord("select=2 confirm=80 restart", "restart"));
    EXPECT_FALSE(hasWord("RESTART", "restart"));
    EXPECT_FALSE(hasWord("Restart", "restart"));
    EXPECT_FALSE(hasWord("", "restart"));
}

TEST(CommandLine, NumbersAreReadAfterTheFirstOccurrence)
{
    unsigned long hex = 0;
    EXPECT_TRUE(readHexAfterWord("select=  abCD select=12", "select=", &hex));
    EXPECT_EQ(hex, 0xABCDul);
    EXPECT_FALSE(readHexAfterWord("select=zz", "select=", &hex));
    EXPECT_FALSE(readHexAfterWord("select=", "select=", &hex));
    EXPECT_FALSE(readHexAfterWord("confirm=1", "select=", &hex));
    int decimal = 0;
    EXPECT_TRUE(readDecimalAfterWord("tid=-12 tid=4", "tid=", &decimal));
    EXPECT_EQ(decimal, -12);
    EXPECT_FALSE(readDecimalAfterWord("tid=x", "tid=", &decimal));
}

struct CallerCase {
    const char *commandLine;
    CallerWords result;
    unsigned long callerWindow;
    short preselectTableId;
    int playLogoMovie;
};

const CallerCase callerCases[] = {
    {"", noCaller, 0, 0, 1},
    {"tid=5 restart", noCaller, 0, 0, 1},
    {"SELECT=2 confirm=80", noCaller, 0, 0, 1},
    {"select=1234 confirm=5EB94000", callerAccepted, 0x1234, 0, 0},
    {"select=1234 confirm=5eb94000 tid=7", callerAccepted, 0x1234, 7, 0},
    {"tid=-3 select=2 confirm=80", callerAccepted, 2, -3, 0},
    {"select=10000 confirm=0 tid=65537", callerAccepted, 0x10000, 1, 0},
    {"select=2 confirm=80 tid=", callerAccepted, 2, 0, 0},
    {"xselect=2x confirm=80", callerAccepted, 2, 0, 0},
    {"select=2", callerWithoutConfirm, 0, 0, 0},
    {"select=2 confirm=128 tid=5", callerMismatch, 2, 0, 0},
    {"select=zz confirm=0 tid=5", callerMismatch, 0, 0, 0},
    {"select=0 confirm=", callerMismatch, 0, 0, 0},
    {"select=2 confirm=qq", callerMismatch, 2, 0, 0},
};

TEST(CommandLine, CallerWordsSetTheCallerStateAsTheyAreAccepted)
{
    for (const CallerCase &c : callerCases) {
        SCOPED_TRACE(c.commandLine);
        callerWindow = NULL;
        preselectTableId = 0;
        playLogoMovie = 1;
        EXPECT_EQ(readCallerWords(c.commandLine), c.result);
        EXPECT_EQ((unsigned long)(ULONG_PTR)callerWindow, c.callerWindow);
        EXPECT_EQ(preselectTableId, c.preselectTableId);
        EXPECT_EQ(playLogoMovie, c.playLogoMovie);
    }
}

}
