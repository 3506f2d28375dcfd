#include <gtest/gtest.h>

#include "gfx/bitmaps.h"
#include "gfx/dib_corner.h"
#include "gfx/dib_file.h"
#include "gfx/shell_palette.h"
#include "shell/globals.h"
#include "tests/support/bitmap_files.h"
#include "tests/support/dib_blocks.h"

#include <windows.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string corpus = windowsPathOf(BMPSUITE_DIR) + "\\";
const std::string references = windowsPathOf(REFERENCE_PICTURES) + "\\";

struct Picture {
    LONG width = 0, height = 0;
    Bytes rgb; // top-down rows, red, green, blue
};

Picture readBack(HBITMAP bitmap)
{
    Picture picture;
    BITMAP info;
    if (GetObjectA(bitmap, sizeof info, &info) != sizeof info)
        return picture;
    BITMAPINFO request = {};
    request.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    LONG stride = (info.bmWidth * 3 + 3) & ~3;
    Bytes raw(stride * info.bmHeight);
    HDC screen = GetDC(NULL);
    int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, raw.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    if (rows != info.bmHeight)
        return picture;
    picture.width = info.bmWidth;
    picture.height = info.bmHeight;
    for (LONG y = 0; y < info.bmHeight; y++)
        for (LONG x = 0; x < info.bmWidth; x++) {
            const BYTE *bgr = &raw[y * stride + x * 3];
            picture.rgb.insert(picture.rgb.end(), {bgr[2], bgr[1], bgr[0]});
        }
    return picture;
}

Picture readReference(const std::string &name)
{
    Picture picture;
    std::ifstream file(references + name + ".rgb", std::ios::binary);
    Bytes data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (data.size() < 8)
        return picture;
    memcpy(&picture.width, &data[0], 4);
    memcpy(&picture.height, &data[4], 4);
    picture.rgb.assign(data.begin() + 8, data.end());
    return picture;
}

// What a picture window shows of a picture: its top-left 120 by 120 pixels at most.
const LONG shownSide = 120;

Picture shownCorner(const Picture &whole)
{
    Picture corner;
    corner.width = std::min(whole.width, shownSide);
    corner.height = std::min(whole.height, shownSide);
    for (LONG y = 0; y < corner.height; y++) {
        auto row = whole.rgb.begin() + y * whole.width * 3;
        corner.rgb.insert(corner.rgb.end(), row, row + corner.width * 3);
    }
    return corner;
}

::testing::AssertionResult samePicture(const Picture &got, const Picture &want)
{
    if (got.width != want.width || got.height != want.height)
        return ::testing::AssertionFailure() << "size " << got.width << "x" << got.height
                                             << ", want " << want.width << "x" << want.height;
    size_t wrong = 0, first = 0;
    for (size_t i = 0; i < want.rgb.size(); i++)
        if (got.rgb[i] != want.rgb[i] && wrong++ == 0)
            first = i;
    if (wrong == 0)
        return ::testing::AssertionSuccess();
    size_t pixel = first / 3;
    return ::testing::AssertionFailure() << wrong << " channel values differ; first at (" << pixel % want.width
                                         << ", " << pixel / want.width << ") channel " << first % 3 << ": "
                                         << (int)got.rgb[first] << ", want " << (int)want.rgb[first];
}

// The references round 5- and 6-bit channels to the nearest 8-bit value; CreateDIBitmap
// widens them by repeating their high bits. Such channels are compared the second way.
enum Precision { allBits, rgb555, rgb565 };

BYTE widened(BYTE value, int bits)
{
    int kept = value >> (8 - bits);
    return (BYTE)((kept << (8 - bits)) | (kept >> (2 * bits - 8)));
}

Picture atPrecision(Picture picture, Precision precision)
{
    const int bits[3][3] = {{8, 8, 8}, {5, 5, 5}, {5, 6, 5}};
    for (size_t i = 0; i < picture.rgb.size(); i++)
        picture.rgb[i] = widened(picture.rgb[i], bits[precision][i % 3]);
    return picture;
}

struct ShownFile {
    const char *reference;
    Precision precision;
};

::testing::AssertionResult showsItsReference(const std::string &path, const ShownFile &shown)
{
    OwnedBitmap bitmap(loadPictureBitmap(NULL, path.c_str(), 1));
    if (bitmap.handle == NULL)
        return ::testing::AssertionFailure() << "no bitmap";
    Picture want = readReference(shown.reference);
    if (want.rgb.empty())
        return ::testing::AssertionFailure() << "no reference " << shown.reference;
    return samePicture(readBack(bitmap.handle), shownCorner(atPrecision(want, shown.precision)));
}

TEST(BitmapPixels, GoodCorpusFilesShowAsTheirReferences)
{
    const std::map<std::string, ShownFile> referenceOf = {
        {"pal1.bmp", {"pal1", allBits}}, {"pal1bg.bmp", {"pal1bg", allBits}},
        {"pal1wb.bmp", {"pal1", allBits}}, {"pal4.bmp", {"pal4", allBits}},
        {"pal4gs.bmp", {"pal4gs", allBits}}, {"pal4rle.bmp", {"pal4", allBits}},
        {"pal8-0.bmp", {"pal8", allBits}}, {"pal8.bmp", {"pal8", allBits}},
        {"pal8gs.bmp", {"pal8gs", allBits}}, {"pal8nonsquare.bmp", {"pal8nonsquare-e", allBits}},
        {"pal8os2.bmp", {"pal8", allBits}}, {"pal8rle.bmp", {"pal8", allBits}},
        {"pal8topdown.bmp", {"pal8", allBits}}, {"pal8v4.bmp", {"pal8", allBits}},
        {"pal8v5.bmp", {"pal8", allBits}}, {"pal8w124.bmp", {"pal8w124", allBits}},
        {"pal8w125.bmp", {"pal8w125", allBits}}, {"pal8w126.bmp", {"pal8w126", allBits}},
        {"rgb16-565.bmp", {"rgb16-565", rgb565}}, {"rgb16-565pal.bmp", {"rgb16-565", rgb565}},
        {"rgb16.bmp", {"rgb16", rgb555}}, {"rgb16bfdef.bmp", {"rgb16", rgb555}},
        {"rgb24.bmp", {"rgb24", allBits}}, {"rgb24pal.bmp", {"rgb24", allBits}},
        {"rgb32.bmp", {"rgb24", allBits}}, {"rgb32bf.bmp", {"rgb24", allBits}},
        {"rgb32bfdef.bmp", {"rgb24", allBits}},
    };
    std::set<std::string> seen;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((corpus + "g\\*.bmp").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << corpus;
    do {
        std::string name = found.cFileName;
        SCOPED_TRACE(name);
        seen.insert(name);
        ASSERT_EQ(referenceOf.count(name), 1u) << "a good file without a reference";
        EXPECT_TRUE(showsItsReference(corpus + "g\\" + name, referenceOf.at(name)));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_EQ(seen.size(), referenceOf.size());
}

// Questionable files that are shown: a colour table cut short by the bits, and run-length
// pictures whose stream leaves pixels unwritten, which show black.
TEST(BitmapPixels, QuestionableFilesShowAsTheChosenReferences)
{
    const std::map<std::string, ShownFile> referenceOf = {
        {"pal8os2sp.bmp", {"pal8", allBits}},
        {"pal8rletrns.bmp", {"pal8rletrns-b", allBits}}, {"pal4rletrns.bmp", {"pal4rletrns-b", allBits}},
        {"pal8rlecut.bmp", {"pal8rlecut-b", allBits}}, {"pal4rlecut.bmp", {"pal4rlecut-b", allBits}},
    };
    for (const auto &file : referenceOf) {
        SCOPED_TRACE(file.first);
        EXPECT_TRUE(showsItsReference(corpus + "q\\" + file.first, file.second));
    }
}

std::vector<std::string> corpusFiles()
{
    std::vector<std::string> names;
    for (const char *folder : {"g", "q", "b"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((corpus + folder + "\\*.bmp").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do
            names.push_back(std::string(folder) + "\\" + found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
}

TEST(BitmapPixels, EveryCorpusFileLoadsOrIsRefusedWithinItsBlock)
{
    std::map<std::string, std::string> outcomes;
    std::vector<std::string> names = corpusFiles();
    ASSERT_GT(names.size(), 80u) << corpus;
    for (const std::string &name : names) {
        std::string path = corpus + name;
        SCOPED_TRACE(name);
        PackedDib dib = loadDibFile(path.c_str(), shownSide, shownSide);
        EXPECT_TRUE(fileIsClosed(path));
        if (dib.header == NULL) {
            outcomes[name] = "refused";
            continue;
        }
        const BITMAPINFOHEADER &header = *dib.header;
        EXPECT_EQ(header.biSize, 40u);
        EXPECT_EQ(dib.size, 40 + colourAreaSize(header) + header.biSizeImage);
        EXPECT_GE(GlobalSize(dib.memory), dib.size);
        EXPECT_LE(header.biWidth, shownSide);
        EXPECT_LE(std::abs(header.biHeight), shownSide);
        EXPECT_LE(pixelAreaSize(header), header.biSizeImage);
        GuardedDib guarded(dib);
        OwnedBitmap bitmap(dibToBitmap(guarded.dib, NULL, DIB_RGB_COLORS));
        outcomes[name] = bitmap.handle != NULL ? "loaded" : "read, not converted";
        releasePackedDib(dib);
        OwnedBitmap direct(loadPictureBitmap(NULL, path.c_str(), 1));
        EXPECT_EQ(direct.handle != NULL, bitmap.handle != NULL);
    }
    for (const auto &outcome : outcomes)
        std::cout << outcome.first << ": " << outcome.second << "\n";
    for (const char *good : {"g\\pal8.bmp", "g\\rgb24.bmp", "q\\pal8os2v2-16.bmp", "q\\pal8os2sp.bmp", "b\\badbitssize.bmp"})
        EXPECT_EQ(outcomes[good], "loaded") << good;
    for (const char *bad : {"b\\reallybig.bmp", "b\\shortfile.bmp", "b\\badpalettesize.bmp", "b\\badwidth.bmp"})
        EXPECT_EQ(outcomes[bad], "refused") << bad;
}

// What a picture file shows is the top-left of what converting the whole picture gives; the
// picture is converted in the DC of `window`, as a picture window does, the whole in the
// screen's.
::testing::AssertionResult showsTheCornerOfTheWhole(const std::string &path, const PackedDib &whole,
                                                    HWND window)
{
    OwnedBitmap corner(loadPictureBitmap(window, path.c_str(), 1));
    OwnedBitmap all(dibToBitmap(whole, ShellPalette, DIB_RGB_COLORS));
    if (corner.handle == NULL || all.handle == NULL)
        return ::testing::AssertionFailure() << "corner " << corner.handle << ", whole " << all.handle;
    BITMAP info;
    GetObjectA(corner.handle, sizeof info, &info);
    LONG width = std::min(whole.header->biWidth, shownSide);
    LONG height = std::min(std::abs(whole.header->biHeight), shownSide);
    if (info.bmWidth != width || info.bmHeight != height)
        return ::testing::AssertionFailure() << "corner of " << info.bmWidth << "x" << info.bmHeight;
    if (deviceCorner(corner.handle, width, height) != deviceCorner(all.handle, width, height))
        return ::testing::AssertionFailure() << "other pixels";
    return ::testing::AssertionSuccess();
}

// The shell palette for the length of a test, as the shell has it while pictures load.
struct BuiltShellPalette {
    BuiltShellPalette()
    {
        appInstance = GetModuleHandleA(NULL);
        buildShellPalette(NULL);
    }
    ~BuiltShellPalette() { deleteShellPalette(); }
};

// A hidden window of the test's own, in whose DC pictures are converted.
struct HiddenWindow {
    HWND handle = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 120, 120, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    ~HiddenWindow() { DestroyWindow(handle); }
};

// Also run on a palette display, where the pixels are indices chosen under the shell palette.
TEST(PictureCorner, EveryCorpusPictureShowsTheCornerOfItsWhole)
{
    BuiltShellPalette palette;
    HiddenWindow window;
    ASSERT_NE(window.handle, nullptr);
    int compared = 0;
    for (const std::string &name : corpusFiles()) {
        SCOPED_TRACE(name);
        WholeDib whole(corpus + name);
        if (whole.dib.header == NULL)
            continue;
        DWORD compression = whole.dib.header->biCompression;
        if (compression == BI_RLE8 || compression == BI_RLE4) {
            // The decoder stays inside the run-length data however it ends.
            GuardedDib guarded(whole.dib);
            PackedDib corner = rleCorner(guarded.dib, shownSide, shownSide);
            EXPECT_NE(corner.header, nullptr);
            releasePackedDib(corner);
        }
        OwnedBitmap all(dibToBitmap(whole.dib, NULL, DIB_RGB_COLORS));
        if (all.handle == NULL)
            continue;
        EXPECT_TRUE(showsTheCornerOfTheWhole(corpus + name, whole.dib, window.handle));
        compared++;
    }
    EXPECT_GT(compared, 50);
}

// A run-length picture of 5 by 4 pixels, of which the top-left 3 by 2 are shown. Each case
// gives the shown rows from the top, a digit for a colour index and "." for black.
struct RleCase {
    const char *name;
    Bytes stream;
    const char *shown[2];
    DWORD compression = BI_RLE8;
};

std::vector<RleCase> rleCases()
{
    return {
        {"runs cut at the corner, lower rows thrown away",
         {5, 1, 0, 0, 5, 2, 0, 0, 2, 3, 3, 1, 0, 0, 1, 2, 4, 3, 0, 1}, {"233", "331"}},
        {"absolute runs padded to whole words", {0, 0, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 0, 4, 3, 2, 1, 0, 0, 1}, {"321", "123"}},
        {"a delta skips pixels, which show black", {0, 2, 1, 3, 2, 1, 0, 1}, {".11", "..."}},
        {"the ends of line and bitmap leave the rest black", {0, 0, 0, 0, 1, 2, 0, 0, 0, 1}, {"...", "2.."}},
        {"runs stop at the end of the row", {0, 2, 0, 2, 10, 2, 1, 3, 0, 0, 1, 1, 0, 1}, {"1..", "222"}},
        {"a stream that stops without an escape loses the pixels since the last",
         {0, 2, 0, 2, 2, 2, 0, 0, 3, 1}, {"...", "22."}},
        {"an absolute run cut off by the end loses them too", {0, 2, 0, 3, 1, 1, 0, 5, 2}, {"...", "..."}},
        {"a delta past the top ends the picture", {0, 2, 0, 2, 1, 1, 0, 2, 0, 5, 1, 1}, {"...", "1.."}},
        {"indices past the colour table show black", {0, 2, 0, 3, 1, 5, 1, 0, 1, 2, 0, 1}, {".02", "..."}},
        {"four bits: high nibble first, also from an odd column",
         {0, 2, 1, 2, 3, 0x12, 0, 0, 0, 3, 0x31, 0x20, 0, 1}, {"312", ".12"}, BI_RLE4},
        {"four bits: an absolute run from an odd column", {0, 2, 1, 3, 0, 3, 0x12, 0x30, 0, 1}, {".12", "..."}, BI_RLE4},
    };
}

TEST(RunLengthCorner, ShowsWhatTheWholePictureShowsThere)
{
    const RGBQUAD colours[] = {{0x80, 0, 0x80, 0}, {0, 0, 0xFF, 0}, {0, 0xFF, 0, 0}, {0xFF, 0, 0, 0}};
    const Bytes table((const BYTE *)colours, (const BYTE *)colours + sizeof colours);
    for (const RleCase &c : rleCases()) {
        SCOPED_TRACE(c.name);
        Info info = {5, 4, (WORD)(c.compression == BI_RLE4 ? 4 : 8), c.compression, (DWORD)c.stream.size(), 4};
        Bytes whole = concat({infoHeader(info), table, c.stream});
        PackedDib source = {(BITMAPINFOHEADER *)whole.data(), (DWORD)whole.size(), NULL, 0};
        GuardedDib guarded(source);
        PackedDib corner = rleCorner(guarded.dib, 3, 2);
        ASSERT_NE(corner.header, nullptr);
        EXPECT_GE(GlobalSize(corner.memory), corner.size);
        OwnedBitmap shown(dibToBitmap(corner, NULL, DIB_RGB_COLORS));
        OwnedBitmap all(dibToBitmap(guarded.dib, NULL, DIB_RGB_COLORS));
        releasePackedDib(corner);
        ASSERT_NE(shown.handle, nullptr);
        ASSERT_NE(all.handle, nullptr);
        Picture want;
        want.width = 3;
        want.height = 2;
        for (const char *row : c.shown)
            for (const char *pixel = row; *pixel; pixel++) {
                RGBQUAD colour = *pixel == '.' ? RGBQUAD() : colours[*pixel - '0'];
                want.rgb.insert(want.rgb.end(), {colour.rgbRed, colour.rgbGreen, colour.rgbBlue});
            }
        EXPECT_TRUE(samePicture(readBack(shown.handle), want));
        EXPECT_EQ(deviceCorner(shown.handle, 3, 2), deviceCorner(all.handle, 3, 2));
    }
}

// A file of 154 bytes that claims 16384 by 4096 pixels of run-length data.
Bytes tinyRunLengthFileOfAHugePicture()
{
    Bytes stream = {3, 1};
    for (int i = 0; i < 16; i++)
        putBytes(stream, {0, 2, 0, 255});
    putBytes(stream, {200, 2, 0, 0, 0, 3, 1, 2, 3, 0, 0, 2, 5, 10, 10, 3, 0, 1});
    Info info = {16384, 4096, 8, BI_RLE8, (DWORD)stream.size(), 4};
    return concat({fileHeader(0), infoHeader(info), patternBytes(16, 1), stream});
}

// Whatever its header says, a picture costs a device bitmap of its shown corner only, and
// shows there what a conversion of the whole picture shows.
TEST(PictureCorner, HugePicturesCostASmallBitmap)
{
    BuiltShellPalette palette;
    TempFile tiny(tinyRunLengthFileOfAHugePicture());
    TempFile big(concat({fileHeader(0), infoHeader({4000, 3000, 24}), patternBytes(4000 * 3000 * 3, 7)}));
    for (const TempFile *file : {&tiny, &big}) {
        SCOPED_TRACE(file == &tiny ? "tiny run-length file" : "4000 by 3000 pixels of 24 bits");
        OwnedBitmap bitmap(loadPictureBitmap(NULL, file->path.c_str(), 1));
        ASSERT_NE(bitmap.handle, nullptr);
        BITMAP info;
        ASSERT_EQ(GetObjectA(bitmap.handle, sizeof info, &info), (int)sizeof info);
        EXPECT_LT(info.bmWidthBytes * info.bmHeight, 1 << 20);
        WholeDib whole(file->path);
        ASSERT_NE(whole.dib.header, nullptr);
        EXPECT_TRUE(showsTheCornerOfTheWhole(file->path, whole.dib, NULL));
    }
}

// The placeholders hold 257 colours; their bits follow the last of them.
Picture expectedResourcePicture(const char *name, DWORD colourEntries)
{
    HMODULE module = GetModuleHandleA(NULL);
    const BYTE *data = (const BYTE *)LockResource(LoadResource(module, FindResourceA(module, name, RT_BITMAP)));
    const BITMAPINFOHEADER *header = (const BITMAPINFOHEADER *)data;
    const RGBQUAD *colours = (const RGBQUAD *)(data + 40);
    const BYTE *bits = data + 40 + colourEntries * 4;
    Picture picture;
    picture.width = header->biWidth;
    picture.height = header->biHeight;
    LONG stride = (header->biWidth + 3) & ~3;
    for (LONG y = 0; y < picture.height; y++)
        for (LONG x = 0; x < picture.width; x++) {
            RGBQUAD c = colours[bits[(picture.height - 1 - y) * stride + x]];
            picture.rgb.insert(picture.rgb.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
        }
    return picture;
}

TEST(BitmapPixels, PlaceholdersTakeTheirBitsAfterAllTheirColours)
{
    for (const char *name : {"no_pb_bmp", "pb_oncd_bmp"}) {
        SCOPED_TRACE(name);
        Picture want = expectedResourcePicture(name, 257);
        ASSERT_FALSE(samePicture(expectedResourcePicture(name, 256), want)) << "art that hides a shift";
        OwnedBitmap fromResource(loadResourceBitmap(NULL, name, 1));
        ASSERT_NE(fromResource.handle, nullptr);
        EXPECT_TRUE(samePicture(readBack(fromResource.handle), want));
        OwnedBitmap byName(loadPictureBitmap(NULL, name, 1));
        ASSERT_NE(byName.handle, nullptr);
        EXPECT_TRUE(samePicture(readBack(byName.handle), want));
    }
    EXPECT_EQ(loadResourceBitmap(NULL, "no_such_bmp", 1), nullptr);
    EXPECT_EQ(loadPictureBitmap(NULL, "no_such_bmp", 1), nullptr);
}

} // namespace
