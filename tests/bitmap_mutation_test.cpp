#include <gtest/gtest.h>

#include "gfx/bitmaps.h"
#include "gfx/dib_corner.h"
#include "gfx/dib_file.h"
#include "tests/support/dib_blocks.h"
#include "tests/support/files.h"
#include "tests/support/memory_use.h"
#include "tests/support/process.h"
#include "tests/support/seeded_runs.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const LONG shownSide = 120;
const double longestLoadMs = 1000;
const SIZE_T largestAllocation = 64 << 20;

// The pictures that mutations start from: the bitmap corpus and the shell's own art.
std::vector<Bytes> seedPictures()
{
    std::vector<std::string> folders = {windowsPathOf(BMPSUITE_DIR) + "\\g\\", windowsPathOf(BMPSUITE_DIR) + "\\q\\",
                                        windowsPathOf(BMPSUITE_DIR) + "\\b\\", buildDirectory() + "resources\\art\\"};
    std::vector<Bytes> pictures;
    for (const std::string &folder : folders) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "*.bmp").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do {
            HANDLE file = CreateFileA((folder + found.cFileName).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                      OPEN_EXISTING, 0, NULL);
            Bytes data(found.nFileSizeLow);
            DWORD read = 0;
            if (file != INVALID_HANDLE_VALUE && ReadFile(file, data.data(), (DWORD)data.size(), &read, NULL) &&
                read == data.size())
                pictures.push_back(data);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return pictures;
}

void poke(Bytes &data, size_t at, size_t width, DWORD value)
{
    for (size_t i = 0; i < width && at + i < data.size(); i++)
        data[at + i] = (BYTE)(value >> (8 * i));
}

DWORD peek(const Bytes &data, size_t at, size_t width)
{
    DWORD value = 0;
    for (size_t i = 0; i < width && at + i < data.size(); i++)
        value |= (DWORD)data[at + i] << (8 * i);
    return value;
}

// One mutation of a header field, a size, an offset, a depth, a compression, a colour count,
// the length or the bytes of a file.
std::string mutateOnce(Bytes &data, Random &random)
{
    static const DWORD interesting[] = {0, 1, 2, 3, 4, 8, 12, 16, 40, 52, 56, 64, 108, 124, 120, 121,
                                        255, 256, 257, 0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x4000000,
                                        0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFF88};
    static const DWORD bitCounts[] = {0, 1, 2, 3, 4, 5, 8, 9, 15, 16, 24, 32, 48, 64, 0xFFFF};
    static const DWORD compressions[] = {0, 1, 2, 3, 4, 5, 6, 11, 0x80000000};
    static const DWORD colourCounts[] = {0, 1, 2, 15, 16, 17, 255, 256, 257, 1000, 0x3FFFFFFF, 0x40000000, 0xFFFFFFFF};
    // Offset and width of the fields of the file header and of an info header behind it.
    struct Field {
        const char *name;
        size_t at, width;
    };
    size_t info = data.size() >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
    const Field fields[] = {{"bfOffBits", 10, 4}, {"biSize", info, 4}, {"biWidth", info + 4, 4},
                            {"biHeight", info + 8, 4}, {"biPlanes", info + 12, 2}, {"biBitCount", info + 14, 2},
                            {"biCompression", info + 16, 4}, {"biSizeImage", info + 20, 4},
                            {"biClrUsed", info + 32, 4}, {"bcWidth", info + 4, 2}, {"bcHeight", info + 6, 2},
                            {"bcBitCount", info + 10, 2}};
    switch (random.below(9)) {
    case 0: {
        const Field &field = random.pick(fields);
        DWORD value = random.pick(interesting);
        poke(data, field.at, field.width, value);
        return std::string(field.name) + "=" + std::to_string(value);
    }
    case 1: {
        const Field &field = random.pick(fields);
        DWORD value = peek(data, field.at, field.width) + random.below(9) - 4;
        poke(data, field.at, field.width, value);
        return std::string(field.name) + " nudged to " + std::to_string(value);
    }
    case 2: {
        DWORD value = random.pick(bitCounts);
        poke(data, info + 14, 2, value);
        return "bit count " + std::to_string(value);
    }
    case 3: {
        DWORD value = random.pick(compressions);
        poke(data, info + 16, 4, value);
        return "compression " + std::to_string(value);
    }
    case 4: {
        DWORD value = random.pick(colourCounts);
        poke(data, info + 32, 4, value);
        return "colours " + std::to_string(value);
    }
    case 5: {
        DWORD value = random.below((DWORD)data.size() + 64);
        poke(data, 10, 4, value);
        return "bits at " + std::to_string(value);
    }
    case 6: {
        size_t length = random.percent(50) ? random.below(200) : random.below((DWORD)data.size() + 1);
        data.resize(std::min(length, data.size()));
        return "cut to " + std::to_string(data.size());
    }
    case 7: {
        DWORD count = 1 + random.below(16);
        for (DWORD i = 0; i < count && !data.empty(); i++)
            data[random.below((DWORD)data.size())] = (BYTE)random.next();
        return std::to_string(count) + " bytes changed";
    }
    default: {
        DWORD count = 1 + random.below(512);
        for (DWORD i = 0; i < count; i++)
            data.push_back((BYTE)random.next());
        return std::to_string(count) + " bytes added";
    }
    }
}

// A copy of the block with room behind it, where a read past the end finds zeros.
struct PaddedDib {
    Bytes data;
    PackedDib dib;
    explicit PaddedDib(const PackedDib &source)
        : data((const BYTE *)source.header, (const BYTE *)source.header + source.size)
    {
        data.resize(source.size + 65536);
        dib = {(BITMAPINFOHEADER *)data.data(), source.size, NULL, 0};
    }
};

// What the mutated file became; the in-memory steps run on copies that end at a guard page.
::testing::AssertionResult staysInsideItsBlocks(const std::string &path, bool shown)
{
    WholeDib whole(path);
    if (whole.dib.header != NULL) {
        DWORD compression = whole.dib.header->biCompression;
        if (compression == BI_RLE8 || compression == BI_RLE4) {
            GuardedDib guarded(whole.dib);
            PackedDib corner = rleCorner(guarded.dib, shownSide, shownSide);
            releasePackedDib(corner);
        }
    }
    PackedDib dib = loadDibFile(path.c_str(), shownSide, shownSide);
    if (dib.header == NULL)
        return shown ? ::testing::AssertionFailure() << "shown, yet the loader refused it"
                     : ::testing::AssertionSuccess();
    const BITMAPINFOHEADER header = *dib.header;
    bool wellFormed = header.biSize == 40 && dib.size == 40 + colourAreaSize(header) + header.biSizeImage &&
                      GlobalSize(dib.memory) >= dib.size && header.biWidth <= shownSide &&
                      std::abs(header.biHeight) <= shownSide;
    GuardedDib guarded(dib);
    PaddedDib padded(dib);
    releasePackedDib(dib);
    if (!wellFormed)
        return ::testing::AssertionFailure() << "block of " << guarded.dib.size << " bytes for "
                                             << header.biWidth << "x" << header.biHeight;
    OwnedBitmap fromGuarded(dibToBitmap(guarded.dib, NULL, DIB_RGB_COLORS));
    OwnedBitmap fromPadded(dibToBitmap(padded.dib, NULL, DIB_RGB_COLORS));
    if ((fromGuarded.handle != NULL) != (fromPadded.handle != NULL))
        return ::testing::AssertionFailure() << "the conversion reads past the block: guarded "
                                             << fromGuarded.handle << ", padded " << fromPadded.handle;
    if ((fromGuarded.handle != NULL) != shown)
        return ::testing::AssertionFailure() << "the picture window's load differs: shown " << shown;
    LONG height = std::abs(header.biHeight);
    if (shown && deviceCorner(fromGuarded.handle, header.biWidth, height) !=
                     deviceCorner(fromPadded.handle, header.biWidth, height))
        return ::testing::AssertionFailure() << "the conversion read bytes behind the block";
    return ::testing::AssertionSuccess();
}

unsigned long long currentSeed;
unsigned long currentCase;
std::string currentMutations;

// Names the case and ends the run at once: under Wine a crash would otherwise wait for a
// debugger.
LONG WINAPI reportCrashingCase(EXCEPTION_POINTERS *exception)
{
    fprintf(stderr, "crash (%08lX) in case %lu of PINBALL_SEED=%llu (%s)\n",
            exception->ExceptionRecord->ExceptionCode, currentCase, currentSeed, currentMutations.c_str());
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_CONTINUE_SEARCH;
}

// Mutated pictures through the loader and converter of the picture windows: none crashes,
// reads outside its block, takes a second or grows the process by 64 MB.
TEST(BitmapMutation, EveryMutantLoadsOrIsRefusedWithinItsBounds)
{
    std::vector<Bytes> seeds = seedPictures();
    ASSERT_GT(seeds.size(), 80u);
    ASSERT_TRUE(restartPeakWorkingSet()) << "the peak working set cannot be measured per file";
    currentSeed = runSeed("bitmap mutation");
    unsigned long runs = runCount(2000, 100000);
    std::string path = testDirectory() + "mutant.bmp";
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(reportCrashingCase);
    unsigned long shownCount = 0, failures = 0;
    double longest = 0;
    SIZE_T largest = 0;
    for (currentCase = 0; currentCase < runs && failures < 20; currentCase++) {
        Random random = caseRandom(currentSeed, currentCase);
        Bytes data = seeds[random.below((DWORD)seeds.size())];
        currentMutations.clear();
        for (DWORD n = 1 + random.below(3); n > 0; n--)
            currentMutations += mutateOnce(data, random) + "; ";
        ASSERT_TRUE(writeWholeFile(path, data.data(), data.size()));

        PeakGrowth growth;
        double start = nowMs();
        OwnedBitmap shown(loadPictureBitmap(NULL, path.c_str(), 1));
        double took = nowMs() - start;
        SIZE_T grew = growth.bytes();
        longest = std::max(longest, took);
        largest = std::max(largest, grew);
        shownCount += shown.handle != NULL;

        ::testing::AssertionResult inside = staysInsideItsBlocks(path, shown.handle != NULL);
        bool fine = inside && took < longestLoadMs && grew < largestAllocation;
        if (!fine) {
            failures++;
            ADD_FAILURE() << "case " << currentCase << " (" << currentMutations << "): " << inside.message()
                          << "; " << took << " ms, " << grew << " bytes";
        }
    }
    SetUnhandledExceptionFilter(previous);
    DeleteFileA(path.c_str());
    printf("[ figures  ] %lu files from %u seeds, %lu shown, %lu refused, 0 crashes, longest %.1f ms, "
           "largest peak working set growth %lu KB\n",
           currentCase, (unsigned)seeds.size(), shownCount, currentCase - shownCount, longest,
           (unsigned long)(largest / 1024));
    EXPECT_EQ(currentCase, runs);
}

} // namespace
