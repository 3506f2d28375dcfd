#include "bench/bench.h"

#include <stdio.h>

#include <vector>

/* The window at scale 2 against scale 1, the player's value choosing the scale: start-up to the
   window visible with 12 tables of 120x120 pictures, and the processor time while the
   selection flashes. The screen must hold the window at scale 2 (1170 by about 830 pixels). */

namespace {

const char settingsKey[] = "Software\\Corvane\\Vantrel2Demo";

bool setScale(DWORD scale)
{
    return RegSetKeyValueA(HKEY_CURRENT_USER, settingsKey, "Window Scale", REG_DWORD, &scale,
                           sizeof scale) == ERROR_SUCCESS;
}

/* The scale the shell drew at, from its first frame's width (126 pixels at scale 1). */
int shownScale(HWND shellWindow)
{
    int frame = 0, border = 0;
    return frameGeometry(shellWindow, &frame, &border) ? frame / 126 : 0;
}

/* The display's bytes per pixel. */
int screenBytesPerPixel()
{
    HDC screen = GetDC(NULL);
    int bits = screen != NULL ? GetDeviceCaps(screen, BITSPIXEL) : 8;
    ReleaseDC(NULL, screen);
    return (bits + 7) / 8;
}

/* Pixels of the shell's whole window. */
double windowPixels(HWND window)
{
    RECT area = {};
    GetWindowRect(window, &area);
    return (double)(area.right - area.left) * (area.bottom - area.top);
}

/* ms to the window visible at `scale`, the peak working set then and the window's pixels;
   negative ms when it did not show at that scale. */
double startAt(const BenchPlaces &places, DWORD scale, SIZE_T *peak, double *pixels)
{
    RunningProgram shell;
    if (!writeCatalogue(places.stamp, places.smallPicture) || !setScale(scale))
        return -1;
    double ms = startUntilVisible("\"" + places.shell + "\"", shellClassName, &shell);
    bool right = ms >= 0 && shownScale(shell.window) == (int)scale;
    if (ms >= 0) {
        *peak = peakWorkingSet(shell);
        *pixels = windowPixels(shell.window);
        endProgram(&shell);
    }
    return right ? ms : -1;
}

/* KB that the art's copies at scale 2 take beyond those at 1 on this display: the background
   and the 12 pictures, each four times its pixels in place of once. */
double scaledArtKb()
{
    return 3.0 * (580 * 388 + 12 * 120 * 120) * screenBytesPerPixel() / 1024;
}

/* KB that one copy of the window's pixels takes at scale 2 beyond scale 1: the surface that
   the system keeps of a window is as large as the window. Wine keeps one at true colour and
   two on a palette display, where what is drawn is copied through the palette for the X
   server. */
double scaledSurfaceKb(double pixelsOne, double pixelsTwo)
{
    int bytes = screenBytesPerPixel();
    return (pixelsTwo - pixelsOne) * (bytes == 3 ? 4 : bytes) / 1024;
}

/* Percent of one core the shell takes while flashing at `scale`; negative on failure. */
double flashingAt(const BenchPlaces &places, DWORD scale, DWORD spanMs)
{
    RunningProgram shell;
    if (!writeCatalogue(places.stamp, places.smallPicture) || !setScale(scale) ||
        startUntilVisible("\"" + places.shell + "\"", shellClassName, &shell) < 0)
        return -1;
    double share = -1;
    if (shownScale(shell.window) == (int)scale && startFlashing(shell))
        share = processorShare(shell, spanMs);
    endProgram(&shell);
    return share;
}

} // namespace

int measureScales(const BenchPlaces &places, bool quick)
{
    int pairs = quick ? 3 : 15, flashTurns = quick ? 1 : 5;
    DWORD spanMs = quick ? 3000 : 10000;
    std::vector<double> startRatios, growths, flashOne, flashTwo;
    SIZE_T peakOne = 0, peakTwo = 0;
    double pixelsOne = 0, pixelsTwo = 0;
    startAt(places, 2, &peakTwo, &pixelsTwo); // the file cache warmed for both
    for (int i = 0; i < pairs; ++i) {
        double one = startAt(places, 1, &peakOne, &pixelsOne),
               two = startAt(places, 2, &peakTwo, &pixelsTwo);
        if (one < 0 || two < 0) {
            fprintf(stderr, "bench: the shell did not show its window at scale 1 and 2\n");
            return 2;
        }
        startRatios.push_back(two / one);
        growths.push_back(((double)peakTwo - (double)peakOne) / 1024);
        printf("<!-- scale pair %d: scale 1 %.1f ms %lu KB, scale 2 %.1f ms %lu KB -->\n", i + 1,
               one, (unsigned long)(peakOne / 1024), two, (unsigned long)(peakTwo / 1024));
    }
    for (int i = 0; i < flashTurns; ++i) {
        double one = flashingAt(places, 1, spanMs), two = flashingAt(places, 2, spanMs);
        if (one < 0 || two < 0) {
            fprintf(stderr, "bench: the selection did not flash at scale 1 and 2\n");
            return 2;
        }
        flashOne.push_back(one);
        flashTwo.push_back(two);
    }
    deleteCatalogue();
    double start = median(startRatios), one = median(flashOne), two = median(flashTwo);
    bool startMet = start <= 1.3, flashMet = two <= 1.5 * one;
    printf("| figure | scale 1 | scale 2 | target | met |\n|---|---|---|---|---|\n");
    printf("| process start to the main window visible, 12 tables, 120x120 pictures (median of "
           "%d pairs) | 1 | %.2f x scale 1 | <= 1.3 x | %s |\n",
           pairs, start, startMet ? "yes" : "**no**");
    printf("| peak working set, 12 tables (median growth of %d pairs) | - | %+.0f KB | the art's "
           "larger copies, %.0f KB here, and the window's larger surface, %.0f KB a copy | - "
           "|\n",
           pairs, median(growths), scaledArtKb(), scaledSurfaceKb(pixelsOne, pixelsTwo));
    printf("| processor time while the selection flashes (median of %d spans of %lu ms) | %.2f "
           "%% of one core | %.2f %% of one core | <= 1.5 x scale 1 | %s |\n",
           flashTurns, (unsigned long)spanMs, one, two, flashMet ? "yes" : "**no**");
    return startMet && flashMet ? 0 : 1;
}
