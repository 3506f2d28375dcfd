#include <gtest/gtest.h>

#include "tests/support/gui_resources.h"
#include "tests/support/memory_use.h"
#include "tests/support/process.h"
#include "tests/support/seeded_runs.h"
#include "tests/support/shell_session.h"
#include "tests/support/shell_window.h"
#include "tests/support/table_program.h"

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <set>

namespace {

// What the shell holds at one moment.
struct Holdings {
    int gdiObjects, userObjects;
    SIZE_T workingSet, peakWorkingSet;
};

// The objects are counted before the memory is read: counting the GDI objects reads the
// shell's handle table, whose pages then count in its working set from the first sample on.
Holdings holdingsOf(HANDLE process)
{
    int gdiObjects = gdiObjectsOf(process), userObjects = userObjectsOf(process);
    PROCESS_MEMORY_COUNTERS memory = memoryOf(process);
    return {gdiObjects, userObjects, memory.WorkingSetSize, memory.PeakWorkingSetSize};
}

// The colours that a frame's border shows over a while.
std::set<COLORREF> borderColours(HWND frame, int samples)
{
    std::set<COLORREF> colours;
    RECT place;
    GetWindowRect(frame, &place);
    HDC screen = GetDC(NULL);
    for (int i = 0; i < samples; i++) {
        colours.insert(GetPixel(screen, place.left + 1, place.top + 1));
        Sleep(30);
    }
    ReleaseDC(NULL, screen);
    return colours;
}

const SIZE_T memorySlack = 1 << 20;
// The flashing runs between messages; a sent message is answered at once all the same.
const double answerBoundMs = 1000;
const DWORD answerTimeoutMs = 5000;

class LongSession : public ShellSession {};

// The window left as it comes up, with twelve pictures and the first table's frame flashing:
// its GDI and USER objects and its memory stay where they were once it settled, and it answers
// a sent message every second, at once.
TEST_F(LongSession, FlashingWindowHoldsNoMoreAsTimeGoesBy)
{
    std::string picture = buildDirectory() + "resources\\art\\no_pb.bmp";
    for (int i = 0; i < 12; i++)
        addTable("Table " + std::to_string(i), tableProgramPath(), i, picture);
    ASSERT_TRUE(startShell());
    ASSERT_EQ(frames().size(), 12u);
    EXPECT_GT(borderColours(frames()[0], 20).size(), 1u) << "the selected frame flashes";

    DWORD seconds = longRun() ? 600 : 30;
    HANDLE process = shell->info.hProcess;
    Sleep(2000);
    Holdings first = holdingsOf(process), last = first;
    ASSERT_GT(first.gdiObjects, 0) << "the shell's GDI objects cannot be counted";
    int mostGdi = first.gdiObjects, mostUser = first.userObjects;
    double longestAnswer = 0;
    int unanswered = 0;
    for (DWORD second = 0; second < seconds && shell->running(); second++) {
        Sleep(1000);
        last = holdingsOf(process);
        mostGdi = std::max(mostGdi, last.gdiObjects);
        mostUser = std::max(mostUser, last.userObjects);
        double answer = answerMs(window, answerTimeoutMs);
        unanswered += answer < 0;
        longestAnswer = std::max(longestAnswer, answer);
    }
    ASSERT_TRUE(shell->running());
    EXPECT_GT(borderColours(frames()[0], 20).size(), 1u) << "the frame still flashes";
    printf("[ figures  ] %lu s flashing: GDI objects %d -> %d (most %d), USER objects %d -> %d (most %d), "
           "working set %lu -> %lu KB, peak %lu -> %lu KB, longest answer %.1f ms\n",
           seconds, first.gdiObjects, last.gdiObjects, mostGdi, first.userObjects, last.userObjects, mostUser,
           (unsigned long)(first.workingSet / 1024), (unsigned long)(last.workingSet / 1024),
           (unsigned long)(first.peakWorkingSet / 1024), (unsigned long)(last.peakWorkingSet / 1024),
           longestAnswer);
    // A paint holds one brush for a moment.
    EXPECT_LE(mostGdi, first.gdiObjects + 1);
    EXPECT_LE(mostUser, first.userObjects);
    EXPECT_LE(last.peakWorkingSet, first.peakWorkingSet + memorySlack);
    EXPECT_EQ(unanswered, 0);
    EXPECT_LE(longestAnswer, answerBoundMs);
}

// A display change builds the palette, the background and every picture anew and moves every
// window: what it makes replaces what was there, so the shell's GDI objects and windows stay
// where they were however often it comes. Tables with a picture, with a missing picture file
// and without one, so that pictures and both kinds of placeholder are remade.
TEST_F(LongSession, DisplayChangesHoldNoMoreObjects)
{
    std::string picture = buildDirectory() + "resources\\art\\no_pb.bmp";
    for (int i = 0; i < 4; i++)
        addTable("Picture " + std::to_string(i), tableProgramPath(), i, picture);
    addTable("Missing Picture", tableProgramPath(), 4, picture + ".missing");
    addTable("No Picture", "E:\\NONE\\none.exe", 5);
    ASSERT_TRUE(startShell());
    ASSERT_EQ(frames().size(), 6u);
    HANDLE process = shell->info.hProcess;
    // Settled: the answer to a sent message comes once the paints before it are done.
    ASSERT_GE(answerMs(window, answerTimeoutMs), 0);
    Sleep(500);
    int gdiBefore = gdiObjectsOf(process), userBefore = userObjectsOf(process);
    ASSERT_GT(gdiBefore, 0) << "the shell's GDI objects cannot be counted";
    ASSERT_GT(userBefore, 0) << "the shell's windows cannot be counted";
    const int changes = 20;
    for (int i = 0; i < changes; i++)
        sendDisplayChange();
    ASSERT_GE(answerMs(window, answerTimeoutMs), 0);
    Sleep(500);
    int gdiAfter = gdiObjectsOf(process), userAfter = userObjectsOf(process);
    printf("[ figures  ] %d display changes: GDI objects %d -> %d, USER objects %d -> %d\n", changes, gdiBefore,
           gdiAfter, userBefore, userAfter);
    EXPECT_EQ(gdiAfter, gdiBefore);
    EXPECT_EQ(userAfter, userBefore);
    EXPECT_EQ(frames().size(), 6u);
}

} // namespace
