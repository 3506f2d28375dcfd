#include <gtest/gtest.h>

#include "shell/names.h"
#include "tests/support/bitmap_files.h"
#include "tests/support/dialogs.h"
#include "tests/support/process.h"
#include "tests/support/registry_sandbox.h"

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

// What the player sees of the real shell, read back from the screen: frames, pictures,
// placeholders and the background, and what a display change does to them.

namespace {

const DWORD waitMs = 5000;

// An 8-bit picture of the module's bitmap resource: colours and the index of each pixel, so a
// test knows what the shell must show for it.
struct IndexedPicture {
    int width = 0, height = 0;
    std::vector<COLORREF> colours;
    std::vector<BYTE> indices; // top-down rows

    COLORREF at(int x, int y) const { return colours[indices[y * width + x]]; }
};

IndexedPicture resourcePicture(const char *name)
{
    IndexedPicture picture;
    HMODULE module = GetModuleHandleA(NULL);
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(module, FindResourceA(module, name, RT_BITMAP))));
    if (!data)
        return picture;
    const BITMAPINFOHEADER *header = reinterpret_cast<const BITMAPINFOHEADER *>(data);
    const RGBQUAD *table = reinterpret_cast<const RGBQUAD *>(data + header->biSize);
    for (DWORD i = 0; i < header->biClrUsed; i++)
        picture.colours.push_back(RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue));
    const BYTE *bits = reinterpret_cast<const BYTE *>(table + header->biClrUsed);
    picture.width = header->biWidth;
    picture.height = header->biHeight;
    int stride = (picture.width + 3) & ~3;
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++)
            picture.indices.push_back(bits[(picture.height - 1 - y) * stride + x]);
    return picture;
}

// The colours of a rectangle of the screen, read through a 32-bit DIB section.
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;

    COLORREF at(int x, int y) const { return pixels[y * width + x]; }
    bool operator==(const Capture &other) const
    {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

// On the 8-bit display each process maps pixels to colours through its own copy of the system
// palette. Realising the palette that the shell builds from its background's colours gives
// this process the shell's mapping, so that pixels read back as the shell's colours.
HPALETTE shellMapping()
{
    static HPALETTE palette = NULL;
    if (palette)
        return palette;
    std::vector<COLORREF> colours = resourcePicture("BKGND_BMP").colours;
    std::vector<BYTE> block(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    LOGPALETTE *logical = reinterpret_cast<LOGPALETTE *>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    for (size_t i = 0; i < colours.size() && i < 236; i++)
        logical->palPalEntry[10 + i] = {GetRValue(colours[i]), GetGValue(colours[i]), GetBValue(colours[i]),
                                        PC_NOCOLLAPSE};
    palette = CreatePalette(logical);
    return palette;
}

Capture captureScreen(const RECT &area)
{
    Capture capture;
    capture.width = area.right - area.left;
    capture.height = area.bottom - area.top;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), capture.width, -capture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    SelectPalette(screen, shellMapping(), FALSE);
    RealizePalette(screen);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (section) {
        HGDIOBJ old = SelectObject(memory, section);
        BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        const DWORD *bgr = static_cast<const DWORD *>(bits);
        for (int i = 0; i < capture.width * capture.height; i++)
            capture.pixels.push_back(RGB((bgr[i] >> 16) & 0xFF, (bgr[i] >> 8) & 0xFF, bgr[i] & 0xFF));
        SelectObject(memory, old);
        DeleteObject(section);
    }
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return capture;
}

std::string colourText(COLORREF colour)
{
    return "(" + std::to_string(GetRValue(colour)) + ", " + std::to_string(GetGValue(colour)) + ", " +
           std::to_string(GetBValue(colour)) + ")";
}

std::string coloursText(const std::set<COLORREF> &colours)
{
    std::string text;
    for (COLORREF colour : colours)
        text += colourText(colour) + " ";
    return text;
}

// The whole of a window (frame and all) as it stands on the screen.
Capture captureWindow(HWND window)
{
    RECT area;
    GetWindowRect(window, &area);
    return captureScreen(area);
}


// A table picture of the given size in the background's colours, in blocks of ten pixels
// that each take another colour, as the shell's art tool draws the demo's pictures.
IndexedPicture patternPicture(int width, int height, int seed)
{
    IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colours = resourcePicture("BKGND_BMP").colours;
    int count = (int)picture.colours.size();
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            picture.indices.push_back((BYTE)((x / 10 * 7 + y / 10 * 31 + seed) % count));
    return picture;
}

Bytes bitmapFile(const IndexedPicture &picture)
{
    int stride = (picture.width + 3) & ~3;
    DWORD tableSize = (DWORD)picture.colours.size() * 4;
    DWORD bitsOffset = 14 + 40 + tableSize;
    Bytes file;
    put16(file, 0x4D42);
    put32(put32(put32(file, bitsOffset + stride * picture.height), 0), bitsOffset);
    put32(put32(put32(file, 40), picture.width), picture.height);
    put16(put16(file, 1), 8);
    put32(put32(file, BI_RGB), stride * picture.height);
    put32(put32(put32(put32(file, 2835), 2835), (DWORD)picture.colours.size()), 0);
    for (COLORREF colour : picture.colours)
        put32(file, (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour));
    for (int y = picture.height - 1; y >= 0; y--) {
        Bytes row(picture.indices.begin() + y * picture.width, picture.indices.begin() + (y + 1) * picture.width);
        row.resize(stride);
        putBytes(file, row);
    }
    return file;
}

// How a placeholder with the name on it must look: the art, and over it the name in the
// default font, centred and wrapped in the 100 by 100 box at (9, 9) in white, on its black
// shadow one pixel down and to the right, with "&" drawn as itself.
Capture placeholderWithName(const IndexedPicture &art, const std::string &name)
{
    Capture picture;
    picture.width = picture.height = 120;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 120, -120, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = NULL;
    HDC memory = CreateCompatibleDC(NULL);
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, section);
    DWORD *pixels = static_cast<DWORD *>(bits);
    for (int y = 0; y < art.height; y++)
        for (int x = 0; x < art.width; x++) {
            COLORREF colour = art.at(x, y);
            pixels[y * 120 + x] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        }
    SetBkMode(memory, TRANSPARENT);
    const UINT flags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT shadow = {10, 10, 110, 110}, text = {9, 9, 109, 109};
    SetTextColor(memory, RGB(0, 0, 0));
    DrawTextA(memory, name.c_str(), (int)name.size(), &shadow, flags);
    SetTextColor(memory, RGB(255, 255, 255));
    DrawTextA(memory, name.c_str(), (int)name.size(), &text, flags);
    GdiFlush();
    for (int i = 0; i < 120 * 120; i++)
        picture.pixels.push_back(RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF));
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    return picture;
}

int textLines(const std::string &name)
{
    HDC memory = CreateCompatibleDC(NULL);
    RECT rect = {0, 0, 100, 100};
    TEXTMETRICA metrics;
    GetTextMetricsA(memory, &metrics);
    int height = DrawTextA(memory, name.c_str(), (int)name.size(), &rect,
                           DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    DeleteDC(memory);
    return height / metrics.tmHeight;
}

// Compares the pixels that the art covers; a placeholder narrower than 120 leaves a strip.
::testing::AssertionResult showsPlaceholder(const Capture &shown, const IndexedPicture &art, const std::string &name)
{
    Capture want = placeholderWithName(art, name);
    int wrong = 0;
    std::string first;
    for (int y = 0; y < art.height; y++)
        for (int x = 0; x < art.width; x++)
            if (shown.at(x, y) != want.at(x, y) && wrong++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + colourText(shown.at(x, y)) +
                        ", want " + colourText(want.at(x, y));
    if (wrong)
        return ::testing::AssertionFailure() << wrong << " pixels differ, first " << first;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult showsPicture(const Capture &shown, const IndexedPicture &picture)
{
    int wrong = 0;
    std::string first;
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++)
            if (shown.at(x, y) != picture.at(x, y) && wrong++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + colourText(shown.at(x, y)) +
                        ", want " + colourText(picture.at(x, y));
    if (wrong)
        return ::testing::AssertionFailure() << wrong << " pixels differ, first " << first;
    return ::testing::AssertionSuccess();
}

// The colours of a capture outside the top-left width by height corner that a picture covers.
std::set<COLORREF> coloursBeyond(const Capture &shown, int width, int height)
{
    std::set<COLORREF> colours;
    for (int y = 0; y < shown.height; y++)
        for (int x = 0; x < shown.width; x++)
            if (x >= width || y >= height)
                colours.insert(shown.at(x, y));
    return colours;
}

// The colours of a frame's ring, three pixels wide around its picture.
std::set<COLORREF> ringColours(const Capture &frame)
{
    std::set<COLORREF> colours;
    for (int y = 0; y < frame.height; y++)
        for (int x = 0; x < frame.width; x++)
            if (x < 3 || y < 3 || x >= frame.width - 3 || y >= frame.height - 3)
                colours.insert(frame.at(x, y));
    return colours;
}

struct TableSpec {
    std::string name;
    std::string exePath;
    std::string bitmapPath; // empty: no picture
};

void writeCatalogue(const std::vector<TableSpec> &tables)
{
    for (size_t i = 0; i < tables.size(); i++) {
        std::string subkey = "Table " + std::to_string(i);
        setRegString("", ("Table" + std::to_string(i)).c_str(), subkey);
        setRegString(subkey, "Table Name", tables[i].name);
        setRegString(subkey, "Table Exe", tables[i].exePath);
        if (!tables[i].bitmapPath.empty())
            setRegString(subkey, "Table Bitmap", tables[i].bitmapPath);
        setRegDword(subkey, "Table Id", (DWORD)i + 1);
    }
}

BOOL CALLBACK collectChild(HWND window, LPARAM found)
{
    reinterpret_cast<std::vector<HWND> *>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> childrenOfClass(HWND parent, const char *className)
{
    std::vector<HWND> all, matching;
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&all));
    for (HWND child : all)
        if (GetParent(child) == parent && windowClass(child) == className)
            matching.push_back(child);
    return matching;
}

// Polls until `condition` holds, for at most waitMs; true when it held.
template <typename Condition> bool eventually(Condition condition)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= waitMs)
            return false;
        Sleep(10);
    }
    return true;
}

// The real shell with a catalogue of the test's own, its window found and taken apart.
class ShellOnScreen : public ::testing::Test {
protected:
    RegistrySandbox sandbox;
    ChildProcess shell;
    bool paletteDisplay = false;
    HWND mainWindow = NULL, background = NULL, label = NULL, okButton = NULL;
    std::vector<HWND> frames, pictures; // in catalogue order

    // The harness runs this suite on a display of the depth in PINBALL_XVFB_DEPTH, 8 unless set.
    void SetUp() override
    {
        char wanted[8] = "8";
        GetEnvironmentVariableA("PINBALL_XVFB_DEPTH", wanted, sizeof wanted);
        HDC screen = GetDC(NULL);
        int depth = GetDeviceCaps(screen, BITSPIXEL);
        paletteDisplay = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
        ReleaseDC(NULL, screen);
        // Wine reports a 24-bit X display as 32 bits per pixel.
        ASSERT_EQ(depth, atoi(wanted) == 24 ? 32 : atoi(wanted));
        ASSERT_EQ(paletteDisplay, depth == 8);
    }

    void start(const std::vector<TableSpec> &tables)
    {
        writeCatalogue(tables);
        ASSERT_TRUE(shell.start(shellCommand("")));
        mainWindow = waitForWindow(shellClassName, shell.id(), waitMs);
        ASSERT_NE(mainWindow, nullptr);
        std::vector<HWND> backgrounds = childrenOfClass(mainWindow, "PinballShellBackgroundClass");
        ASSERT_EQ(backgrounds.size(), 1u);
        background = backgrounds[0];
        label = FindWindowExA(mainWindow, NULL, "Static", NULL);
        for (HWND button : childrenOfClass(mainWindow, "Button"))
            if (windowText(button) == "OK")
                okButton = button;
        ASSERT_NE(label, nullptr);
        ASSERT_NE(okButton, nullptr);
        // The grid fills rows from the left, so screen order is catalogue order.
        frames = childrenOfClass(background, "PinballShellPictureFrameClass");
        ASSERT_EQ(frames.size(), tables.size());
        std::sort(frames.begin(), frames.end(), [](HWND a, HWND b) {
            RECT ra, rb;
            GetWindowRect(a, &ra);
            GetWindowRect(b, &rb);
            return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
        });
        for (HWND frame : frames) {
            HWND picture = FindWindowExA(frame, NULL, "PinballShellPictureClass", NULL);
            ASSERT_NE(picture, nullptr);
            pictures.push_back(picture);
        }
    }

    void TearDown() override
    {
        DWORD status;
        if (mainWindow && shell.running()) {
            PostMessageA(mainWindow, WM_CLOSE, 0, 0);
            shell.waitForExit(waitMs, &status);
        }
    }

    HWND focus()
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(mainWindow, NULL), &info);
        return info.hwndFocus;
    }

    void click(HWND window)
    {
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 60));
        PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
    }

    void select(int table)
    {
        click(pictures[table]);
        ASSERT_TRUE(eventually([&] { return focus() == background && IsWindowEnabled(okButton); }));
    }

    // Paints over a window from outside, as another window passing over it would, and has
    // the shell paint it again; true once the covered corner shows `picture` again.
    bool scribbleAndRepaint(HWND window, COLORREF scribble, const IndexedPicture &picture)
    {
        HDC dc = GetDC(window);
        HBRUSH brush = CreateSolidBrush(scribble);
        RECT all = {0, 0, 120, 120};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(window, dc);
        InvalidateRect(window, NULL, FALSE);
        return eventually([&] { return showsPicture(captureWindow(window), picture); });
    }

    void changeDisplay()
    {
        HDC screen = GetDC(NULL);
        WPARAM depth = GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(NULL, screen);
        SendMessageA(mainWindow, WM_DISPLAYCHANGE, depth,
                     MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    }
};

class FrameColours : public ShellOnScreen {};

TEST_F(FrameColours, SelectedFlashesWhileTheBackgroundHasTheFocusIsGreyWhileOkHasItOthersAreBlack)
{
    TempFile picture(bitmapFile(patternPicture(120, 120, 3)));
    start({{"Alpha", "C:\\alpha.exe", picture.path},
           {"Beta", "C:\\beta.exe", picture.path},
           {"Gamma", "C:\\gamma.exe", picture.path}});
    std::set<COLORREF> flashColours;
    PALETTEENTRY statics[10];
    ASSERT_EQ(GetPaletteEntries((HPALETTE)GetStockObject(DEFAULT_PALETTE), 0, 10, statics), 10u);
    for (const PALETTEENTRY &entry : statics)
        flashColours.insert(RGB(entry.peRed, entry.peGreen, entry.peBlue));

    select(1);
    std::set<std::set<COLORREF>> seen;
    for (int sample = 0; sample < 40; sample++) {
        SCOPED_TRACE(sample);
        std::set<COLORREF> ring = ringColours(captureWindow(frames[1]));
        seen.insert(ring);
        // Wine's 8-bit window buffers lack two of the ten colours and dither them from others.
        if (!paletteDisplay) {
            ASSERT_EQ(ring.size(), 1u) << "the ring is filled with one colour at a time: " << coloursText(ring);
            EXPECT_EQ(flashColours.count(*ring.begin()), 1u) << colourText(*ring.begin());
        }
        for (int other : {0, 2})
            EXPECT_EQ(ringColours(captureWindow(frames[other])), std::set<COLORREF>{RGB(0, 0, 0)});
        Sleep(25);
    }
    EXPECT_GE(seen.size(), 3u) << "the selected frame does not flash";

    // Enter on the background hands the focus to OK: the flashing stops on a steady grey.
    PostMessageA(background, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(background, WM_KEYUP, VK_RETURN, 0xC0000000);
    ASSERT_TRUE(eventually([&] { return focus() == okButton; }));
    EXPECT_TRUE(eventually([&] { return ringColours(captureWindow(frames[1])) == std::set<COLORREF>{RGB(128, 128, 128)}; }));
    for (int sample = 0; sample < 10; sample++) {
        SCOPED_TRACE(sample);
        EXPECT_EQ(ringColours(captureWindow(frames[1])), std::set<COLORREF>{RGB(128, 128, 128)});
        for (int other : {0, 2})
            EXPECT_EQ(ringColours(captureWindow(frames[other])), std::set<COLORREF>{RGB(0, 0, 0)});
        Sleep(25);
    }
}

// On Wine's 8-bit display a window shows only the colours of its buffer, not those of the
// palette that the shell realises, so the exact colours are read on a 24-bit display.
class BitmapColours : public ShellOnScreen {};

TEST_F(BitmapColours, BackgroundAndPicturesShowThem)
{
    IndexedPicture first = patternPicture(120, 120, 11), second = patternPicture(120, 120, 140);
    TempFile firstFile(bitmapFile(first)), secondFile(bitmapFile(second));
    start({{"Alpha", "C:\\alpha.exe", firstFile.path}, {"Beta", "C:\\beta.exe", secondFile.path}});
    EXPECT_TRUE(eventually([&] { return showsPicture(captureWindow(pictures[0]), first); }))
        << showsPicture(captureWindow(pictures[0]), first).message();
    EXPECT_TRUE(eventually([&] { return showsPicture(captureWindow(pictures[1]), second); }))
        << showsPicture(captureWindow(pictures[1]), second).message();

    // The background, around the frames.
    IndexedPicture art = resourcePicture("BKGND_BMP");
    ASSERT_EQ(art.width, 580);
    RECT area, frameAreas[2];
    GetWindowRect(background, &area);
    for (int i = 0; i < 2; i++) {
        GetWindowRect(frames[i], &frameAreas[i]);
        OffsetRect(&frameAreas[i], -area.left, -area.top);
    }
    auto backgroundMatches = [&]() -> ::testing::AssertionResult {
        Capture shown = captureScreen(area);
        if (shown.width != art.width || shown.height != art.height)
            return ::testing::AssertionFailure() << "background " << shown.width << " by " << shown.height;
        int wrong = 0;
        for (int y = 0; y < art.height; y++)
            for (int x = 0; x < art.width; x++) {
                POINT point = {x, y};
                if (!PtInRect(&frameAreas[0], point) && !PtInRect(&frameAreas[1], point))
                    wrong += shown.at(x, y) != art.at(x, y);
            }
        if (wrong)
            return ::testing::AssertionFailure() << wrong << " background pixels differ from the art";
        return ::testing::AssertionSuccess();
    };
    EXPECT_TRUE(eventually(backgroundMatches)) << backgroundMatches().message();
}

class Placeholders : public ShellOnScreen {};

TEST_F(Placeholders, CarryTheNameWrappedAndCentredOnTheArtOfTheTablesDrive)
{
    const std::string longName = "Midnight Carnival of the Seven Moons";
    const std::string ampersand = "Rock & Roll";
    ASSERT_GE(textLines(longName), 2) << "the name must be too long for one line";
    start({{longName, "C:\\Tables\\carnival.exe", ""},
           {ampersand, "E:\\ROCK\\rock.exe", ""},
           {"Lost Picture", "C:\\Tables\\lost.exe", "C:\\Tables\\no such picture.bmp"}});
    struct Case {
        int table;
        const char *art;
        std::string name;
    } cases[] = {{0, "NO_PB_BMP", longName}, {1, "PB_ONCD_BMP", ampersand}, {2, "NO_PB_BMP", "Lost Picture"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        IndexedPicture art = resourcePicture(c.art);
        ASSERT_EQ(art.colours.size(), 257u);
        EXPECT_TRUE(eventually([&] { return showsPlaceholder(captureWindow(pictures[c.table]), art, c.name); }))
            << showsPlaceholder(captureWindow(pictures[c.table]), art, c.name).message();
    }
}

class DisplayChange : public ShellOnScreen {};

TEST_F(DisplayChange, LeavesPlaceholderLabelAndPicturesAsTheyWere)
{
    IndexedPicture small = patternPicture(90, 70, 57);
    TempFile smallFile(bitmapFile(small));
    start({{"No Picture", "C:\\Tables\\none.exe", ""}, {"Small Picture", "C:\\Tables\\small.exe", smallFile.path}});
    select(1);
    IndexedPicture placeholder = resourcePicture("NO_PB_BMP");
    ASSERT_TRUE(eventually([&] { return showsPlaceholder(captureWindow(pictures[0]), placeholder, "No Picture"); }));

    // Below the background: the label with the selected name, and the buttons.
    RECT row, backgroundArea, labelBefore;
    GetWindowRect(mainWindow, &row);
    GetWindowRect(background, &backgroundArea);
    row.top = backgroundArea.bottom;
    Capture rowBefore;
    ASSERT_TRUE(eventually([&] {
        rowBefore = captureScreen(row);
        Sleep(100);
        return captureScreen(row) == rowBefore;
    }));
    GetWindowRect(label, &labelBefore);

    // Where the small picture does not reach: one colour, the shell's own, whatever lay there.
    ASSERT_TRUE(scribbleAndRepaint(pictures[1], RGB(255, 0, 255), small));
    std::set<COLORREF> beyond = coloursBeyond(captureWindow(pictures[1]), 90, 70);
    ASSERT_EQ(beyond.size(), 1u);
    COLORREF fill = *beyond.begin();
    EXPECT_EQ(fill, RGB(0, 0, 0)) << colourText(fill);
    ASSERT_TRUE(scribbleAndRepaint(pictures[1], RGB(0, 255, 0), small));
    EXPECT_EQ(coloursBeyond(captureWindow(pictures[1]), 90, 70), std::set<COLORREF>{fill});

    changeDisplay();

    EXPECT_TRUE(eventually([&] { return showsPlaceholder(captureWindow(pictures[0]), placeholder, "No Picture"); }))
        << showsPlaceholder(captureWindow(pictures[0]), placeholder, "No Picture").message();
    RECT labelAfter;
    GetWindowRect(label, &labelAfter);
    EXPECT_TRUE(EqualRect(&labelBefore, &labelAfter))
        << "label from (" << labelBefore.left << ", " << labelBefore.top << ") " << labelBefore.right - labelBefore.left
        << " by " << labelBefore.bottom - labelBefore.top << " to (" << labelAfter.left << ", " << labelAfter.top << ") "
        << labelAfter.right - labelAfter.left << " by " << labelAfter.bottom - labelAfter.top;
    EXPECT_TRUE(eventually([&] { return captureScreen(row) == rowBefore; })) << "the row below the background changed";
    EXPECT_TRUE(scribbleAndRepaint(pictures[1], RGB(255, 0, 255), small));
    EXPECT_EQ(coloursBeyond(captureWindow(pictures[1]), 90, 70), std::set<COLORREF>{fill});
}

} // namespace
