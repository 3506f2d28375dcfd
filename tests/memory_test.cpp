#include <gtest/gtest.h>

#include "common/src/memory.h"
#include "tests/support/dialogs.h"
#include "tests/support/leftover_processes.h"
#include "tests/support/process.h"

#include <string.h>

namespace {

const char childSwitch[] = "--release-bad-block=";

// Runs in a child process: damages a block in one of four ways and releases it.
int releaseBadBlock(const char *damage)
{
    if (strcmp(damage, "null") == 0) {
        memoryfree(NULL);
    } else if (strcmp(damage, "near") == 0 || strcmp(damage, "far") == 0) {
        unsigned char *block =
            static_cast<unsigned char *>(memoryalloc(strcmp(damage, "near") == 0 ? 16 : 70000));
        block[-2] = 0;
        memoryfree(block);
    } else {
        unsigned char *block = static_cast<unsigned char *>(memoryalloc(16));
        block[-4] = 'x';
        memoryfree(block);
    }
    return 0;
}

TEST(CheckedMemory, HeaderTagFollowsTheRequestedSize)
{
    struct Case {
        unsigned long size;
        unsigned char tag;
    } cases[] = {{0, 0x5A}, {1, 0x5A}, {65499, 0x5A}, {65500, 0xA5}, {65536, 0xA5}, {200000, 0xA5}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.size);
        unsigned char *block = static_cast<unsigned char *>(memoryalloc(c.size));
        ASSERT_NE(block, nullptr);
        const unsigned char expected[4] = {c.tag, 0xAA, 0x55, 0xAA};
        EXPECT_EQ(memcmp(block - 4, expected, 4), 0);
        if (c.size)
            memset(block, 0xEE, c.size);
        memoryfree(block);
    }
}

TEST(CheckedMemory, RequestThatCannotBeHeldGivesNone)
{
    EXPECT_EQ(memoryalloc(0xFFFFFFFFul), nullptr);
    EXPECT_EQ(memoryalloc(0xFFFFFFFDul), nullptr);
}

struct BadRelease {
    const char *damage;
    const char *text;
};

class AssertionBox : public ::testing::TestWithParam<BadRelease> {};

TEST_P(AssertionBox, ShowsTheCheckAndEndsWithMinus1234)
{
    ChildProcess child;
    std::string self = testDirectory() + "memory_test.exe";
    ASSERT_TRUE(child.start("\"" + self + "\" " + childSwitch + GetParam().damage));
    MessageBoxContent box;
    ASSERT_TRUE(waitForMessageBox(child.id(), 10000, &box));
    EXPECT_EQ(box.caption, "Assertion Failed");
    EXPECT_EQ(box.text, GetParam().text);
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(child.running()) << "the process must wait for the box to be answered";
    ASSERT_TRUE(answerMessageBox(box, "OK"));
    DWORD status = 0;
    ASSERT_TRUE(child.waitForExit(10000, &status));
    EXPECT_EQ(status, static_cast<DWORD>(-1234));
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheck, AssertionBox,
    ::testing::Values(
        BadRelease{"null", "0&&\"freeing NULL!\" in file common\\src\\memory, at line 164"},
        BadRelease{"near",
                   "0 && \"corrupted memory header on free\" in file common\\src\\memory, at line 180"},
        BadRelease{"far", "0 && \"corrupted memory header on farfree\" in file common\\src\\memory, "
                          "at line 189"},
        BadRelease{"tag", "0 && \"corrupted memory header on memoryfree\" in file "
                          "common\\src\\memory, at line 194"}),
    [](const ::testing::TestParamInfo<BadRelease> &info) { return std::string(info.param.damage); });

}

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (strncmp(argv[i], childSwitch, strlen(childSwitch)) == 0)
            return releaseBadBlock(argv[i] + strlen(childSwitch));
    return runAllTests(argc, argv);
}
