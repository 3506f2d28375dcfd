#include <gtest/gtest.h>

#include "gfx/bitmaps.h"
#include "gfx/dib_file.h"
#include "tests/support/bitmap_files.h"
#include "tests/support/memory_use.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

Bytes coreHeader(WORD width, WORD height, WORD bitCount)
{
    Bytes b;
    put32(b, 12);
    put16(b, width);
    put16(b, height);
    put16(b, 1);
    return put16(b, bitCount);
}

Bytes masks565()
{
    Bytes b;
    put32(b, 0xF800);
    put32(b, 0x07E0);
    return put32(b, 0x001F);
}

Bytes widened(const Bytes &core)
{
    Bytes quads;
    for (size_t i = 0; i + 2 < core.size(); i += 3)
        quads.insert(quads.end(), {core[i], core[i + 1], core[i + 2], 0});
    return quads;
}

// Rows of pattern pixels with zero padding to 32 bits, as the reader keeps them.
Bytes pixelRows(LONG width, LONG rows, WORD bitCount, BYTE seed)
{
    DWORD used = (width * bitCount + 7) / 8, stride = (width * bitCount + 31) / 32 * 4;
    Bytes all;
    for (LONG row = 0; row < rows; row++) {
        Bytes line = patternBytes(used, (BYTE)(seed + row));
        line.resize(stride);
        putBytes(all, line);
    }
    return all;
}

// The block that a picture should become: normalised header, colour area, pixels.
Bytes packed(Info header, const Bytes &colours, const Bytes &pixels)
{
    header.headerSize = 40;
    header.sizeImage = (DWORD)pixels.size();
    return concat({infoHeader(header), colours, pixels});
}

struct DibCase {
    const char *name;
    Bytes file;
    Bytes expected; // empty when the file must give none
    PictureRefusal refusal = pictureLoaded;
};

std::vector<DibCase> dibCases()
{
    std::vector<DibCase> cases;
    const Bytes table3 = patternBytes(3 * 4, 1);
    const Bytes pixels4x2 = patternBytes(8, 2);
    Info small = {4, 2, 8, 0, 0, 3};
    Bytes smallInfo = infoHeader(small);
    Bytes smallPacked = packed(small, table3, pixels4x2);
    cases.push_back({"bare DIB", concat({smallInfo, table3, pixels4x2}), smallPacked});
    cases.push_back({"with file header", concat({fileHeader(0), smallInfo, table3, pixels4x2}), smallPacked});
    cases.push_back({"bits after a gap", concat({fileHeader(14 + 40 + 12 + 16), smallInfo, table3, Bytes(16, 0xEE), pixels4x2}), smallPacked});

    const Bytes coreTable = patternBytes(256 * 3, 3);
    const Bytes pixels5x3 = pixelRows(5, 3, 8, 4);
    Info coreInfo = {5, 3, 8, 0, 0, 256};
    coreInfo.pelsPerMeter = 0;
    cases.push_back({"core header, 8 bits", concat({fileHeader(0), coreHeader(5, 3, 8), coreTable, pixels5x3}),
                     packed(coreInfo, widened(coreTable), pixels5x3)});
    const Bytes pixels1bit = patternBytes(4, 5);
    cases.push_back({"core header shorter than 40 bytes", concat({coreHeader(4, 1, 1), patternBytes(6, 6), pixels1bit}), {}, pictureHeaderCut});

    const Bytes tableFull = patternBytes(256 * 4, 7);
    const Bytes pixelsWide = pixelRows(579, 388, 8, 8);
    cases.push_back({"computed size with padded rows", concat({fileHeader(0), infoHeader({579, 388, 8}), tableFull, pixelsWide}),
                     packed({579, 388, 8, 0, 0, 256}, tableFull, pixelsWide)});
    const Bytes pixels24 = pixelRows(2, 2, 24, 9);
    cases.push_back({"24 bits, no colour table", concat({fileHeader(0), infoHeader({2, 2, 24}), pixels24}),
                     packed({2, 2, 24}, {}, pixels24)});
    cases.push_back({"top-down rows", concat({infoHeader({4, -2, 8, 0, 0, 3}), table3, pixels4x2}),
                     packed({4, -2, 8, 0, 0, 3}, table3, pixels4x2)});
    cases.push_back({"stated size shorter than the rows", concat({infoHeader({4, 2, 8, 0, 5, 3}), table3, pixels4x2}), smallPacked});
    cases.push_back({"stated size far beyond the file", concat({infoHeader({4, 2, 8, 0, 0x7F000000, 3}), table3, pixels4x2}), smallPacked});

    // Later header versions: their first 40 bytes, and the masks from inside the header.
    const Bytes pixels16 = patternBytes(4 * 2, 10);
    Info fields = {2, 2, 16, BI_BITFIELDS};
    Bytes fieldsPacked = packed(fields, masks565(), pixels16);
    cases.push_back({"masks after a 40-byte header", concat({infoHeader(fields), masks565(), pixels16}), fieldsPacked});
    for (DWORD size : {52u, 56u, 108u, 124u}) {
        Info later = fields;
        later.headerSize = size;
        cases.push_back({"masks inside a later header", concat({fileHeader(14 + size), infoHeader(later, {0xF800, 0x07E0, 0x001F, 0}), pixels16}),
                         fieldsPacked});
    }
    Info os2 = small;
    os2.headerSize = 64;
    cases.push_back({"64-byte header with a colour table", concat({infoHeader(os2), table3, pixels4x2}), smallPacked});

    Bytes rle = {2, 1, 2, 2, 0, 0, 2, 1, 2, 2, 0, 1};
    Info rleInfo = {4, 2, 8, BI_RLE8, 0, 3};
    cases.push_back({"run-length data without a stated size", concat({infoHeader(rleInfo), table3, rle}), packed(rleInfo, table3, rle)});
    Info rleLong = rleInfo;
    rleLong.sizeImage = 5000;
    cases.push_back({"run-length data cut short", concat({infoHeader(rleLong), table3, rle}), packed(rleInfo, table3, rle)});
    Info rleTopDown = rleInfo;
    rleTopDown.height = -2;
    cases.push_back({"run-length data top-down", concat({infoHeader(rleTopDown), table3, rle}), {}, pictureFormatRefused});

    cases.push_back({"file shorter than its pixels", concat({infoHeader(small), table3, patternBytes(7, 2)}), {}, picturePixelsCut});
    cases.push_back({"file shorter than a file header", Bytes(13, 'B'), {}, pictureHeaderCut});
    cases.push_back({"file header without an info header", concat({fileHeader(0), patternBytes(39, 1)}), {}, pictureHeaderCut});
    cases.push_back({"width beyond any picture", concat({infoHeader({3000000, 2, 24}), pixels24}), {}, pictureFormatRefused});
    cases.push_back({"size product beyond 32 bits", concat({infoHeader({0x10000, 0x10000, 32}), pixels24}), {}, pictureFormatRefused});
    cases.push_back({"negative width", concat({infoHeader({-4, 2, 8, 0, 0, 3}), table3, pixels4x2}), {}, pictureFormatRefused});
    cases.push_back({"no rows", concat({infoHeader({4, 0, 8, 0, 0, 3}), table3, pixels4x2}), {}, pictureFormatRefused});
    cases.push_back({"unknown header size", concat({infoHeader({4, 2, 8, 0, 0, 3, 14}), table3, pixels4x2, Bytes(16, 0)}), {},
                     pictureHeaderUnknown});
    cases.push_back({"unknown compression", concat({infoHeader({4, 2, 24, BI_JPEG}), pixels24}), {}, pictureFormatRefused});
    cases.push_back({"colour count beyond the file", concat({infoHeader({4, 2, 8, 0, 0, 0x40000000}), table3, pixels4x2}), {}, pictureColoursOutside});

    // Bits that begin inside the colour table cut it short; the colours past them are black.
    Bytes cutTable(table3.begin(), table3.begin() + 8);
    cutTable.resize(12);
    Bytes bitsInTable(table3.begin() + 8, table3.end());
    bitsInTable.insert(bitsInTable.end(), pixels4x2.begin(), pixels4x2.begin() + 4);
    cases.push_back({"colour table cut short by the bits", concat({fileHeader(14 + 40 + 8), smallInfo, table3, pixels4x2}),
                     packed(small, cutTable, bitsInTable)});
    const Bytes pixels2x1 = pixelRows(2, 1, 8, 11);
    Bytes cutCoreTable = widened(Bytes(coreTable.begin(), coreTable.begin() + 6));
    cutCoreTable.resize(256 * 4);
    Info coreCut = {2, 1, 8, 0, 0, 256};
    coreCut.pelsPerMeter = 0;
    cases.push_back({"core colour table cut short by the bits",
                     concat({fileHeader(14 + 12 + 6), coreHeader(2, 1, 8), coreTable, pixels2x1}),
                     packed(coreCut, cutCoreTable, {coreTable[6], coreTable[7], 0, 0})});
    cases.push_back({"colour table past the end of the file, bits inside it",
                     concat({fileHeader(14 + 40 + 8), infoHeader({4, 2, 8, 0, 0, 256}), table3, pixels4x2}), {},
                     pictureColoursOutside});
    return cases;
}

TEST(DibFile, LoadsNormalisedOrRefusesAndClosesTheFile)
{
    for (const DibCase &c : dibCases()) {
        SCOPED_TRACE(c.name);
        TempFile file(c.file);
        PackedDib dib = loadDibFile(file.path.c_str(), 1000, 1000);
        EXPECT_TRUE(fileIsClosed(file.path));
        EXPECT_EQ(lastPictureRefusal, c.refusal);
        if (c.expected.empty()) {
            EXPECT_EQ(dib.header, nullptr);
            continue;
        }
        ASSERT_NE(dib.header, nullptr);
        EXPECT_TRUE(dib.fromFile);
        EXPECT_GE(GlobalSize(dib.memory), dib.size);
        EXPECT_EQ(GlobalLock(dib.memory), (void *)dib.header);
        GlobalUnlock(dib.memory);
        const BYTE *data = (const BYTE *)dib.header;
        EXPECT_EQ(Bytes(data, data + dib.size), c.expected);
        releasePackedDib(dib);
    }
}

struct CornerCase {
    const char *name;
    Info picture;
    Bytes colours;
    LONG width, height;
    LONG firstRow; // the picture's stored row that the corner starts with
};

// The top-left corner is cut from the rows and kept in the picture's own format.
TEST(DibFile, UncompressedPicturesAreCutToTheirTopLeftCorner)
{
    const Bytes masks = masks565();
    const std::vector<CornerCase> cases = {
        {"bottom-up rows: the last ones", {6, 5, 8, 0, 0, 3}, patternBytes(12, 1), 4, 3, 2},
        {"top-down rows: the first ones", {6, -5, 8, 0, 0, 3}, patternBytes(12, 1), 4, 3, 0},
        {"half a byte of a row", {7, 2, 4, 0, 0, 16}, patternBytes(64, 2), 3, 2, 0},
        {"three bytes a pixel", {5, 4, 24}, {}, 2, 2, 2},
        {"colour masks", {3, 3, 16, BI_BITFIELDS}, masks, 2, 1, 2},
    };
    for (const CornerCase &c : cases) {
        SCOPED_TRACE(c.name);
        LONG rows = std::abs(c.picture.height);
        Bytes pixels = pixelRows(c.picture.width, rows, c.picture.bitCount, 5);
        TempFile file(concat({fileHeader(0), infoHeader(c.picture), c.colours, pixels}));

        Info corner = c.picture;
        corner.width = c.width;
        corner.height = c.picture.height < 0 ? -c.height : c.height;
        DWORD stride = pixels.size() / rows, used = (c.width * c.picture.bitCount + 7) / 8;
        Bytes cornerPixels;
        for (LONG row = c.firstRow; row < c.firstRow + c.height; row++) {
            Bytes line(pixels.begin() + row * stride, pixels.begin() + row * stride + used);
            line.resize((c.width * c.picture.bitCount + 31) / 32 * 4);
            putBytes(cornerPixels, line);
        }
        PackedDib dib = loadDibFile(file.path.c_str(), c.width, c.height);
        ASSERT_NE(dib.header, nullptr);
        const BYTE *data = (const BYTE *)dib.header;
        EXPECT_EQ(Bytes(data, data + dib.size), packed(corner, c.colours, cornerPixels));
        releasePackedDib(dib);
    }
}

// Of a picture of 36 MB of pixels only the rows of the corner are read into memory.
TEST(DibFile, AHugeUncompressedPictureIsNotReadWhole)
{
    const LONG width = 4000, height = 3000, side = 120;
    const DWORD stride = width * 3, bitsStart = 14 + 40;
    TempFile file(concat({fileHeader(bitsStart), infoHeader({width, height, 24})}));
    HANDLE writer = CreateFileA(file.path.c_str(), FILE_APPEND_DATA, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    for (LONG row = 0; row < height; row++) {
        Bytes line = patternBytes(stride, (BYTE)row);
        DWORD written = 0;
        WriteFile(writer, line.data(), stride, &written, NULL);
    }
    CloseHandle(writer);

    PeakGrowth growth;
    PackedDib dib = loadDibFile(file.path.c_str(), side, side);
    EXPECT_LT(growth.bytes(), (SIZE_T)4 << 20);
    ASSERT_NE(dib.header, nullptr);
    EXPECT_EQ(dib.size, 40u + side * side * 3);
    // The top row of the picture is the last one in the file.
    const BYTE *top = (const BYTE *)dib.header + 40 + (side - 1) * side * 3;
    EXPECT_EQ(Bytes(top, top + side * 3), Bytes(patternBytes(side * 3, (BYTE)(height - 1))));
    releasePackedDib(dib);
}

TEST(DibFile, HeaderReadingLeavesTheFileAtTheBits)
{
    const Bytes table = patternBytes(2 * 4, 1);
    Bytes file = concat({fileHeader(14 + 40 + 8 + 5), infoHeader({8, 1, 1, 0, 0, 2}), table, Bytes(5, 0), {0xA5, 0, 0, 0}});
    TempFile temp(file);
    OFSTRUCT opened;
    HFILE handle = OpenFile(temp.path.c_str(), &opened, OF_READ);
    ASSERT_NE(handle, HFILE_ERROR);
    PackedDib dib = readDibHeader(handle);
    ASSERT_NE(dib.header, nullptr);
    EXPECT_EQ(dib.size, 40u + 8u);
    BYTE first = 0;
    EXPECT_EQ(_lread(handle, &first, 1), 1u);
    EXPECT_EQ(first, 0xA5);
    _lclose(handle);
    releasePackedDib(dib);
}

// A picture in a folder whose name makes its path 200 characters long; both go at the end.
struct LongPathPicture {
    std::string folder, path;
    explicit LongPathPicture(const Bytes &contents)
    {
        char temp[MAX_PATH];
        DWORD length = GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + std::string(192 - length, 'p');
        path = folder + "\\pic.bmp";
        CreateDirectoryA(folder.c_str(), NULL);
        writeWholeFile(path, contents.data(), contents.size());
    }
    ~LongPathPicture()
    {
        DeleteFileA(path.c_str());
        RemoveDirectoryA(folder.c_str());
    }
};

// OpenFile takes paths of up to 127 characters; a catalogue path may be longer.
TEST(DibFile, PictureWithALongPathLoads)
{
    Info small = {4, 2, 8, 0, 0, 3};
    const Bytes colours = patternBytes(12, 1), pixels = patternBytes(8, 2);
    LongPathPicture picture(concat({fileHeader(0), infoHeader(small), colours, pixels}));
    ASSERT_EQ(picture.path.size(), 200u);
    PackedDib dib = loadDibFile(picture.path.c_str(), 120, 120);
    EXPECT_TRUE(fileIsClosed(picture.path));
    ASSERT_NE(dib.header, nullptr);
    const BYTE *data = (const BYTE *)dib.header;
    EXPECT_EQ(Bytes(data, data + dib.size), packed(small, colours, pixels));
    releasePackedDib(dib);
    HBITMAP bitmap = loadPictureBitmap(NULL, picture.path.c_str(), 1);
    EXPECT_NE(bitmap, nullptr);
    DeleteObject(bitmap);
}

TEST(DibFile, NameWithoutAFileIsLookedUpAsResource)
{
    HMODULE module = GetModuleHandleA(NULL);
    PackedDib dib = loadDibFile("no_pb_bmp", 120, 120);
    ASSERT_NE(dib.header, nullptr);
    EXPECT_FALSE(dib.fromFile);
    EXPECT_EQ((void *)dib.header, LockResource(LoadResource(module, FindResourceA(module, "NO_PB_BMP", RT_BITMAP))));
    EXPECT_EQ(dib.header->biClrUsed, 257u);
    // Releasing leaves the module's data in place.
    const BITMAPINFOHEADER *resource = dib.header;
    releasePackedDib(dib);
    EXPECT_EQ(resource->biClrUsed, 257u);
    EXPECT_EQ(loadDibFile("no_pb_bmp", 120, 120).header, resource);

    EXPECT_EQ(lastPictureRefusal, pictureLoaded);
    EXPECT_EQ(loadDibFile("no_such_picture", 120, 120).header, nullptr);
    EXPECT_EQ(lastPictureRefusal, pictureMissing);
    EXPECT_EQ(loadDibFile(NULL, 120, 120).header, nullptr);
}

} // namespace
