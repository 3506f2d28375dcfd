#include <gtest/gtest.h>

#include "tests/support/process.h"

#include <windows.h>

#include <map>
#include <set>
#include <string>

namespace {

// The shipped executable, loaded as data so that its own resources are examined.
class ShellResources : public ::testing::Test {
protected:
    static HMODULE module;
    static void SetUpTestSuite()
    {
        module = LoadLibraryExA(shellExePath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() { FreeLibrary(module); }
    void SetUp() override { ASSERT_NE(module, nullptr) << shellExePath(); }
};
HMODULE ShellResources::module = NULL;

std::string resourceName(LPCSTR name)
{
    return IS_INTRESOURCE(name) ? "#" + std::to_string((ULONG_PTR)name) : std::string(name);
}

BOOL CALLBACK collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR into)
{
    reinterpret_cast<std::set<std::string> *>(into)->insert(resourceName(name));
    return TRUE;
}

BOOL CALLBACK collectType(HMODULE module, LPSTR type, LONG_PTR into)
{
    std::set<std::string> names;
    EnumResourceNamesA(module, type, collectName, reinterpret_cast<LONG_PTR>(&names));
    (*reinterpret_cast<std::map<std::string, std::set<std::string>> *>(into))[resourceName(type)] =
        names;
    return TRUE;
}

TEST_F(ShellResources, ExactlyTheShippedResources)
{
    std::map<std::string, std::set<std::string>> found;
    EnumResourceTypesA(module, collectType, reinterpret_cast<LONG_PTR>(&found));
    std::map<std::string, std::set<std::string>> expected = {
        {"#2", {"BKGND_BMP", "NO_PB_BMP", "PB_ONCD_BMP"}},
        {"#3", {"#1", "#2", "#3"}},
        {"#6", {"#1"}},
        {"#14", {"ICON_1"}},
        {"#16", {"#1"}},
    };
    EXPECT_EQ(found, expected);
}

TEST_F(ShellResources, BitmapsAreEightBitDibsWithTheirColourTables)
{
    struct Case {
        const char *name;
        LONG width, height;
        DWORD colours;
    } cases[] = {{"bkgnd_bmp", 580, 388, 236}, {"no_pb_bmp", 120, 120, 257}, {"pb_oncd_bmp", 119, 120, 257}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        HRSRC found = FindResourceA(module, c.name, RT_BITMAP);
        ASSERT_NE(found, nullptr);
        const BITMAPINFOHEADER *header =
            static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(module, found)));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biSize, 40u);
        EXPECT_EQ(header->biWidth, c.width);
        EXPECT_EQ(header->biHeight, c.height);
        EXPECT_EQ(header->biBitCount, 8);
        EXPECT_EQ(header->biCompression, (DWORD)BI_RGB);
        EXPECT_EQ(header->biClrUsed, c.colours);
        DWORD rowBytes = (c.width + 3) & ~3;
        EXPECT_EQ(SizeofResource(module, found), 40 + c.colours * 4 + rowBytes * c.height);
    }
}

TEST_F(ShellResources, IconGroupHoldsThree16ColourImages)
{
    HRSRC found = FindResourceA(module, "ICON_1", RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colourCount, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
    struct Group {
        WORD reserved, type, count;
        GroupEntry entries[3];
    };
#pragma pack(pop)
    const Group *group = static_cast<const Group *>(LockResource(LoadResource(module, found)));
    ASSERT_EQ(group->count, 3);
    const int sizes[3] = {32, 16, 48};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(group->entries[i].width, sizes[i]);
        EXPECT_EQ(group->entries[i].height, sizes[i]);
        EXPECT_EQ(group->entries[i].colourCount, 16);
        EXPECT_EQ(group->entries[i].bitCount, 4);
    }
}

TEST_F(ShellResources, VersionNamesTheProduct)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_VERSION);
    ASSERT_NE(found, nullptr);
    const char *data = static_cast<const char *>(LockResource(LoadResource(module, found)));
    std::string block(data, SizeofResource(module, found));
    std::string wide;
    for (char c : std::string("Vantrel! 2 Demo")) {
        wide += c;
        wide += '\0';
    }
    EXPECT_NE(block.find(wide), std::string::npos);
}

}
