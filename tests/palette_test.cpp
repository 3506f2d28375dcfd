#include <gtest/gtest.h>

#include "gfx/bitmaps.h"
#include "gfx/shell_palette.h"
#include "shell/globals.h"
#include "tests/support/other_palette.h"

#include <windows.h>

#include <set>
#include <vector>

namespace {

LRESULT CALLBACK plainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// A visible top-level window of the test in which the palette is realised.
class ShellPaletteTest : public ::testing::Test {
protected:
    HWND window = NULL;
    void SetUp() override
    {
        appInstance = GetModuleHandleA(NULL);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = plainWndProc;
        windowClass.hInstance = appInstance;
        windowClass.lpszClassName = "PaletteTestWindow";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "PaletteTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, NULL,
                                 NULL, appInstance, NULL);
        ASSERT_NE(window, nullptr);
        SetForegroundWindow(window);
    }
    void TearDown() override
    {
        deleteShellPalette();
        DestroyWindow(window);
        UnregisterClassA("PaletteTestWindow", appInstance);
    }
};

std::vector<PALETTEENTRY> expectedEntries()
{
    HMODULE module = GetModuleHandleA(NULL);
    const BYTE *data = (const BYTE *)LockResource(LoadResource(module, FindResourceA(module, "BKGND_BMP", RT_BITMAP)));
    const RGBQUAD *table = (const RGBQUAD *)(data + 40);
    std::vector<PALETTEENTRY> entries(256, PALETTEENTRY{0, 0, 0, 0});
    for (int i = 0; i < 236; i++)
        entries[10 + i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, PC_NOCOLLAPSE};
    return entries;
}

std::vector<PALETTEENTRY> shellEntries()
{
    std::vector<PALETTEENTRY> entries(256);
    EXPECT_EQ(GetPaletteEntries(ShellPalette, 0, 256, entries.data()), 256u);
    return entries;
}

::testing::AssertionResult sameEntries(const std::vector<PALETTEENTRY> &got, const std::vector<PALETTEENTRY> &want)
{
    for (size_t i = 0; i < want.size(); i++) {
        const PALETTEENTRY &a = got[i], &b = want[i];
        if (a.peRed != b.peRed || a.peGreen != b.peGreen || a.peBlue != b.peBlue || a.peFlags != b.peFlags)
            return ::testing::AssertionFailure()
                   << "entry " << i << " is " << (int)a.peRed << "," << (int)a.peGreen << "," << (int)a.peBlue
                   << " flags " << (int)a.peFlags << ", want " << (int)b.peRed << "," << (int)b.peGreen << ","
                   << (int)b.peBlue << " flags " << (int)b.peFlags;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(ShellPaletteTest, HoldsTheBackgroundColoursBetweenBlackStaticEntries)
{
    HMODULE module = GetModuleHandleA(NULL);
    const BITMAPINFOHEADER *background =
        (const BITMAPINFOHEADER *)LockResource(LoadResource(module, FindResourceA(module, "BKGND_BMP", RT_BITMAP)));
    ASSERT_EQ(background->biClrUsed, 236u);
    std::vector<PALETTEENTRY> expected = expectedEntries();

    EXPECT_EQ(buildShellPalette(window), 1);
    ASSERT_NE(ShellPalette, nullptr);
    EXPECT_TRUE(sameEntries(shellEntries(), expected));

    deleteShellPalette();
    EXPECT_EQ(ShellPalette, nullptr);
    EXPECT_EQ(buildShellPalette(window), 1);
    ASSERT_NE(ShellPalette, nullptr);
    EXPECT_TRUE(sameEntries(shellEntries(), expected));
}

std::vector<PALETTEENTRY> systemEntries(HWND window)
{
    std::vector<PALETTEENTRY> system(256);
    HDC dc = GetDC(window);
    EXPECT_EQ(GetSystemPaletteEntries(dc, 0, 256, system.data()), 256u);
    ReleaseDC(window, dc);
    return system;
}

// How many of the background's colours the system palette lacks.
int missingBackgroundColours(HWND window)
{
    std::set<COLORREF> present;
    for (const PALETTEENTRY &entry : systemEntries(window))
        present.insert(RGB(entry.peRed, entry.peGreen, entry.peBlue));
    std::vector<PALETTEENTRY> expected = expectedEntries();
    int missing = 0;
    for (int i = 10; i < 246; i++)
        missing += present.count(RGB(expected[i].peRed, expected[i].peGreen, expected[i].peBlue)) == 0;
    return missing;
}

// The build itself realises the palette: its colours are in the system palette at once.
TEST_F(ShellPaletteTest, BuildingPutsItsColoursIntoTheSystemPalette)
{
    realiseOtherColours(window);
    ASSERT_GT(missingBackgroundColours(window), 100);
    ASSERT_EQ(buildShellPalette(window), 1);
    EXPECT_EQ(missingBackgroundColours(window), 0);
}

TEST_F(ShellPaletteTest, RealisingSelectsItAndPutsItsColoursIntoTheSystemPalette)
{
    ASSERT_EQ(buildShellPalette(window), 1);
    realiseOtherColours(window);
    ASSERT_GT(missingBackgroundColours(window), 100);
    HDC dc = GetDC(window);
    realizeShellPalette(dc);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), (HGDIOBJ)ShellPalette);
    ReleaseDC(window, dc);
    EXPECT_EQ(missingBackgroundColours(window), 0);
}

TEST_F(ShellPaletteTest, PicturesAreMadeWithAndWithoutThePalette)
{
    for (int withPalette : {0, 1}) {
        SCOPED_TRACE(withPalette);
        if (withPalette)
            buildShellPalette(window);
        HBITMAP background = loadResourceBitmap(window, "bkgnd_bmp", 1);
        ASSERT_NE(background, nullptr);
        BITMAP info;
        ASSERT_EQ(GetObjectA(background, sizeof info, &info), (int)sizeof info);
        EXPECT_EQ(info.bmWidth, 580);
        EXPECT_EQ(info.bmHeight, 388);
        DeleteObject(background);
    }
}

} // namespace
