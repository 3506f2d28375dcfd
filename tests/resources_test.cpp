#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/support/process.h"

#include <windows.h>

#include <stdio.h>

#include <map>
#include <set>
#include <string>
#include <vector>

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
        // The manifest, which declares the DPI awareness.
        {"#24", {"#1"}},
    };
    EXPECT_EQ(found, expected);
}

// The shell's languages, English first, as the version names them; the string tables but
// English's carry the language alone (the neutral sublanguage), for every country of it.
const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const std::vector<WORD> shellLanguages = {
    english,
    MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
    MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),
    MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN),
    MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN),
    MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH),
};

std::vector<WORD> stringTableLanguages()
{
    std::vector<WORD> languages = {english};
    for (size_t i = 1; i < shellLanguages.size(); ++i)
        languages.push_back(MAKELANGID(PRIMARYLANGID(shellLanguages[i]), SUBLANG_NEUTRAL));
    return languages;
}

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR into)
{
    reinterpret_cast<std::set<WORD> *>(into)->insert(language);
    return TRUE;
}

// The strings 0 to 15 of one language's table, by id; an id without a string is left out.
std::map<int, std::wstring> stringBlock(HMODULE module, WORD language)
{
    std::map<int, std::wstring> texts;
    HRSRC found = FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA(1), language);
    if (!found)
        return texts;
    const WCHAR *at = static_cast<const WCHAR *>(LockResource(LoadResource(module, found)));
    for (int id = 0; id < 16; ++id) {
        WORD length = *at++;
        if (length)
            texts[id] = std::wstring(at, length);
        at += length;
    }
    return texts;
}

// The conversions of a format text in order ("%s", "%d"); "%%" is none.
std::wstring conversions(const std::wstring &text)
{
    std::wstring found;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'%')
            continue;
        if (text[i + 1] != L'%')
            found += text.substr(i, 2);
        ++i;
    }
    return found;
}

// Every language has every string that English has, and no other, with the same conversions
// in the same order; the title and the settings key are the same text in all of them. No table
// is language neutral: Windows would take it before the player's language.
TEST_F(ShellResources, EveryLanguageHoldsTheEnglishStrings)
{
    std::set<WORD> found;
    EnumResourceLanguagesA(module, RT_STRING, MAKEINTRESOURCEA(1), collectLanguage,
                           reinterpret_cast<LONG_PTR>(&found));
    const std::vector<WORD> languages = stringTableLanguages();
    EXPECT_EQ(found, std::set<WORD>(languages.begin(), languages.end()));

    std::map<int, std::wstring> englishTexts = stringBlock(module, english);
    ASSERT_EQ(englishTexts.size(), 11u);
    for (WORD language : languages) {
        SCOPED_TRACE(::testing::Message() << "language 0x" << std::hex << language);
        std::map<int, std::wstring> texts = stringBlock(module, language);
        std::set<int> ids, englishIds;
        for (const auto &text : texts)
            ids.insert(text.first);
        for (const auto &text : englishTexts)
            englishIds.insert(text.first);
        EXPECT_EQ(ids, englishIds);
        for (const auto &text : englishTexts) {
            if (!texts.count(text.first))
                continue;
            SCOPED_TRACE(::testing::Message() << "string " << text.first);
            EXPECT_EQ(conversions(texts[text.first]), conversions(text.second));
            if (text.first == IDS_TITLE || text.first == IDS_SETTINGS_KEY) {
                EXPECT_TRUE(texts[text.first] == text.second) << "a name or data, translated";
            }
        }
    }
}

TEST_F(ShellResources, VersionListsTheLanguages)
{
    DWORD size = GetFileVersionInfoSizeA(shellExePath().c_str(), NULL);
    ASSERT_NE(size, 0u);
    std::vector<char> version(size);
    ASSERT_TRUE(GetFileVersionInfoA(shellExePath().c_str(), 0, size, version.data()));
    struct Translation {
        WORD language, codePage;
    } *translations = NULL;
    UINT bytes = 0;
    ASSERT_TRUE(VerQueryValueA(version.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void **>(&translations), &bytes));
    std::vector<WORD> languages;
    for (UINT i = 0; i < bytes / sizeof *translations; ++i) {
        languages.push_back(translations[i].language);
        EXPECT_EQ(translations[i].codePage, 1252);
        char block[64];
        snprintf(block, sizeof block, "\\StringFileInfo\\%04X%04X\\ProductName",
                 translations[i].language, translations[i].codePage);
        char *name = NULL;
        UINT length = 0;
        EXPECT_TRUE(VerQueryValueA(version.data(), block, reinterpret_cast<void **>(&name), &length))
            << block;
        if (name) {
            EXPECT_STREQ(name, "Vantrel! 2 Demo") << block;
        }
    }
    EXPECT_EQ(languages, shellLanguages);
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
