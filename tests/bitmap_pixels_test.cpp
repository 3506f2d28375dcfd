#include <gtest/gtest.h>

#include "gfx/bitmaps.h"
#include "gfx/dib_file.h"
#include "tests/support/bitmap_files.h"

#include <windows.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <set>
#include <string>

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

struct OwnedBitmap {
    HBITMAP handle;
    explicit OwnedBitmap(HBITMAP bitmap) : handle(bitmap) {}
    ~OwnedBitmap()
    {
        if (handle != NULL)
            DeleteObject(handle);
    }
};

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

struct GoodFile {
    const char *reference;
    Precision precision;
};

TEST(BitmapPixels, GoodCorpusFilesShowAsTheirReferences)
{
    const std::map<std::string, GoodFile> referenceOf = {
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
        const GoodFile &good = referenceOf.at(name);
        OwnedBitmap bitmap(loadPictureBitmap(NULL, (corpus + "g\\" + name).c_str(), 1));
        ASSERT_NE(bitmap.handle, nullptr);
        Picture want = readReference(good.reference);
        ASSERT_FALSE(want.rgb.empty());
        EXPECT_TRUE(samePicture(readBack(bitmap.handle), atPrecision(want, good.precision)));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_EQ(seen.size(), referenceOf.size());
}

// A copy of the DIB that ends right at an inaccessible page: a read beyond it faults.
struct GuardedDib {
    BYTE *pages = nullptr;
    PackedDib dib = {};
    explicit GuardedDib(const PackedDib &source)
    {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        DWORD page = system.dwPageSize;
        DWORD body = (source.size + page - 1) / page * page;
        pages = (BYTE *)VirtualAlloc(NULL, body + page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        DWORD old;
        VirtualProtect(pages + body, page, PAGE_NOACCESS, &old);
        BYTE *start = pages + body - source.size;
        memcpy(start, source.header, source.size);
        dib = {(BITMAPINFOHEADER *)start, source.size, NULL, 0};
    }
    ~GuardedDib() { VirtualFree(pages, 0, MEM_RELEASE); }
};

TEST(BitmapPixels, EveryCorpusFileLoadsOrIsRefusedWithinItsBlock)
{
    std::map<std::string, std::string> outcomes;
    for (const char *folder : {"g", "q", "b"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((corpus + folder + "\\*.bmp").c_str(), &found);
        ASSERT_NE(search, INVALID_HANDLE_VALUE);
        do {
            std::string name = std::string(folder) + "/" + found.cFileName;
            std::string path = corpus + folder + "\\" + found.cFileName;
            SCOPED_TRACE(name);
            PackedDib dib = loadDibFile(path.c_str());
            EXPECT_TRUE(fileIsClosed(path));
            if (dib.header == NULL) {
                outcomes[name] = "refused";
                continue;
            }
            const BITMAPINFOHEADER &header = *dib.header;
            EXPECT_EQ(header.biSize, 40u);
            EXPECT_EQ(dib.size, 40 + colourAreaSize(header) + header.biSizeImage);
            EXPECT_GE(GlobalSize(dib.memory), dib.size);
            EXPECT_LE(pixelAreaSize(header), header.biSizeImage);
            GuardedDib guarded(dib);
            OwnedBitmap bitmap(dibToBitmap(guarded.dib, NULL, DIB_RGB_COLORS));
            outcomes[name] = bitmap.handle != NULL ? "loaded" : "read, not converted";
            releasePackedDib(dib);
            OwnedBitmap direct(loadPictureBitmap(NULL, path.c_str(), 1));
            EXPECT_EQ(direct.handle != NULL, bitmap.handle != NULL);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    for (const auto &outcome : outcomes)
        std::cout << outcome.first << ": " << outcome.second << "\n";
    for (const char *good : {"g/pal8.bmp", "g/rgb24.bmp", "q/pal8os2v2-16.bmp", "b/badbitssize.bmp"})
        EXPECT_EQ(outcomes[good], "loaded") << good;
    for (const char *bad : {"b/reallybig.bmp", "b/shortfile.bmp", "b/badpalettesize.bmp", "b/badwidth.bmp"})
        EXPECT_EQ(outcomes[bad], "refused") << bad;
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
