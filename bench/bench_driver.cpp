#include "bench/bench.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

/* Measures the shell against the floor program under the running Wine and prints the figures as
   a Markdown table. Runs of the two alternate, and each figure is the median of per-pair
   ratios (or differences), so that the noise of a shared machine falls out. Exit status 0 when
   every target is met, 1 when one is missed, 2 when a measurement could not be made.
   "bench_driver quick" takes a few pairs and a short flashing span for trying changes;
   "bench_driver flashing N" measures only the flashing, N times over the full span, since one
   span of it moves by a tenth of a percent from run to run. */

double processorShare(const RunningProgram &program, DWORD spanMs)
{
    ULONGLONG before = threadTimes(program.info.dwProcessId);
    LONGLONG wallBefore = counterNow();
    Sleep(spanMs);
    ULONGLONG after = threadTimes(program.info.dwProcessId);
    double wallMs = counterMs(counterNow() - wallBefore);
    return (double)(after - before) / 10000.0 / wallMs * 100.0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

namespace {

struct Settings {
    int startPairs;
    int clickPairs;
    int flashTurns;
    DWORD flashMs;
};

struct Figure {
    const char *name;
    double value;
    const char *unit;
    double target;
    const char *targetText;
};

std::string quoted(const std::string &path)
{
    return "\"" + path + "\"";
}

bool fail(const char *what)
{
    fprintf(stderr, "bench: %s\n", what);
    return false;
}

struct StartRun {
    double ms;
    SIZE_T peak;
    double closeMs; /* from WM_CLOSE to the end of the process */
};

bool runOnce(const std::string &commandLine, const char *windowClass, StartRun *run)
{
    RunningProgram program;
    run->ms = startUntilVisible(commandLine, windowClass, &program);
    if (run->ms < 0)
        return fail("a program showed no window");
    run->peak = peakWorkingSet(program);
    run->closeMs = endProgram(&program);
    if (run->closeMs < 0)
        return fail("a program did not end when its window was closed");
    return run->peak != 0 || fail("no working set");
}

bool runShellOnce(const BenchPlaces &places, const std::string &picture, StartRun *run)
{
    return writeCatalogue(places.stamp, picture) &&
           runOnce(quoted(places.shell), shellClassName, run);
}

/* The command lines of the floor: alone, and also creating the shell's windows and loading
   its 12 pictures. */
struct FloorLines {
    std::string alone;
    std::string withWindows;
};

/* One shell run teaches the floor the shell's window and frame sizes, and warms the file cache
   for both. */
bool floorCommandLines(const BenchPlaces &places, FloorLines *lines)
{
    if (!writeCatalogue(places.stamp, places.smallPicture))
        return fail("cannot write the catalogue");
    RunningProgram shell;
    if (startUntilVisible(quoted(places.shell), shellClassName, &shell) < 0)
        return fail("the shell showed no window");
    RECT rect;
    GetWindowRect(shell.window, &rect);
    int frame = 0;
    int border = 0;
    bool framed = frameGeometry(shell.window, &frame, &border);
    endProgram(&shell);
    if (!framed)
        return fail("the shell showed no table frame");
    lines->alone = quoted(places.floor) + " " + std::to_string(rect.right - rect.left) + " " +
                   std::to_string(rect.bottom - rect.top) + " " + places.stamp;
    lines->withWindows = lines->alone + " " + std::to_string(frame) + " " +
                         std::to_string(border) + " 12 " + places.smallPicture;
    StartRun warm;
    return runOnce(lines->alone, floorClassName, &warm);
}

/* Each turn also starts the floor with the shell's windows, whose ratio to the floor alone is
   what those windows cost before any work of the shell's own. */
bool measureStarts(const BenchPlaces &places, const FloorLines &floorLines, int pairs,
                   Figure *start, Figure *big, Figure *memory, Figure *close,
                   double *windowsRatio, double *windowsCloseMs)
{
    std::vector<double> startRatios, bigRatios, memoryRatios, closeDifferences, windowsRatios,
        windowsCloses;
    for (int i = 0; i < pairs; ++i) {
        StartRun floor, shell, bigShell, windows;
        if (!runOnce(floorLines.alone, floorClassName, &floor) ||
            !runShellOnce(places, places.smallPicture, &shell) ||
            !runShellOnce(places, places.bigPicture, &bigShell) ||
            !runOnce(floorLines.withWindows, floorClassName, &windows))
            return false;
        startRatios.push_back(shell.ms / floor.ms);
        bigRatios.push_back(bigShell.ms / shell.ms);
        memoryRatios.push_back((double)shell.peak / (double)floor.peak);
        windowsRatios.push_back(windows.ms / floor.ms);
        closeDifferences.push_back(shell.closeMs - windows.closeMs);
        windowsCloses.push_back(windows.closeMs);
        printf("<!-- pair %d: floor %.1f ms %lu KB, shell %.1f ms %lu KB, big pictures %.1f ms, "
               "floor with the shell's windows %.1f ms; WM_CLOSE to the end: floor %.1f ms, "
               "shell %.1f ms, floor with the shell's windows %.1f ms -->\n",
               i + 1, floor.ms, (unsigned long)(floor.peak / 1024), shell.ms,
               (unsigned long)(shell.peak / 1024), bigShell.ms, windows.ms, floor.closeMs,
               shell.closeMs, windows.closeMs);
    }
    start->value = median(startRatios);
    big->value = median(bigRatios);
    memory->value = median(memoryRatios);
    close->value = median(closeDifferences);
    *windowsCloseMs = median(windowsCloses);
    *windowsRatio = median(windowsRatios);
    return true;
}

/* Percent of one core that `shellPath` takes while its selection flashes, and the ms from
   WM_CLOSE to its end after the span, once it has looked for a controller. */
bool shellFlashShare(const std::string &shellPath, DWORD spanMs, double *share, double *closeMs,
                     int *frame, int *border)
{
    RunningProgram shell;
    if (startUntilVisible(quoted(shellPath), shellClassName, &shell) < 0)
        return fail("the shell showed no window");
    bool flashing = startFlashing(shell) && frameGeometry(shell.window, frame, border);
    if (flashing)
        *share = processorShare(shell, spanMs);
    *closeMs = endProgram(&shell);
    if (*closeMs < 0)
        return fail("the shell did not end when its window was closed");
    return flashing || fail("the selected frame did not flash");
}

/* What the flashing costs: the shell, the shell with a controller attached, then the floor
   repainting a ring of the same frame at the same pace, the share that the repaint alone costs
   on this platform, for reference. */
struct FlashShares {
    double shell;
    double withController;
    double floor;
    double shellCloseMs;
};

bool measureFlashing(const BenchPlaces &places, const std::string &floorLine, DWORD spanMs,
                     FlashShares *shares)
{
    if (!writeCatalogue(places.stamp, places.smallPicture))
        return fail("cannot write the catalogue");
    int frame = 0;
    int border = 0;
    double controllerCloseMs = 0;
    if (!shellFlashShare(places.shell, spanMs, &shares->shell, &shares->shellCloseMs, &frame,
                         &border) ||
        !shellFlashShare(places.controllerShell, spanMs, &shares->withController,
                         &controllerCloseMs, &frame, &border))
        return false;
    RunningProgram floor;
    std::string ringLine = floorLine + " " + std::to_string(frame) + " " + std::to_string(border);
    if (startUntilVisible(ringLine, floorClassName, &floor) < 0)
        return fail("the floor showed no window");
    WaitForInputIdle(floor.info.hProcess, 5000);
    shares->floor = processorShare(floor, spanMs);
    endProgram(&floor);
    return true;
}

bool measureDoubleClicks(const BenchPlaces &places, const std::string &floorLine, int pairs,
                         Figure *click)
{
    if (!writeCatalogue(places.stamp, places.smallPicture))
        return fail("cannot write the catalogue");
    std::vector<double> differences;
    for (int i = 0; i < pairs; ++i) {
        RunningProgram floor, shell;
        if (startUntilVisible(floorLine, floorClassName, &floor) < 0)
            return fail("the floor showed no window");
        double floorMs = floorExecToStamp(floor, places.stamp);
        endProgram(&floor);
        if (startUntilVisible(quoted(places.shell), shellClassName, &shell) < 0)
            return fail("the shell showed no window");
        double shellMs = doubleClickToStamp(shell, places.stamp);
        endProgram(&shell);
        if (floorMs < 0 || shellMs < 0)
            return fail("a table program was not started");
        differences.push_back(shellMs - floorMs);
        printf("<!-- double-click %d: shell %.1f ms, floor %.1f ms -->\n", i + 1, shellMs,
               floorMs);
    }
    click->value = median(differences);
    return true;
}

/* The floor's own figures, printed for reference under the table. */
struct FloorReferences {
    double windowsRatio;
    double windowsCloseMs;
    double flashShare;
    double controllerFlashShare; /* the shell's own, with a controller attached */
};

/* `turns` flashing spans, each figure the median over them; every turn printed when `show`. */
bool measureFlashingMedians(const BenchPlaces &places, const std::string &floorLine, int turns,
                            DWORD spanMs, bool show, FlashShares *medians)
{
    std::vector<double> shellShares, controllerShares, floorShares, closes;
    for (int i = 0; i < turns; ++i) {
        FlashShares shares = {};
        if (!measureFlashing(places, floorLine, spanMs, &shares))
            return false;
        shellShares.push_back(shares.shell);
        controllerShares.push_back(shares.withController);
        floorShares.push_back(shares.floor);
        closes.push_back(shares.shellCloseMs);
        if (show)
            printf("flashing %d: shell %.2f %%, with a controller %.2f %%, floor %.2f %%; the "
                   "shell ended %.1f ms after WM_CLOSE\n",
                   i + 1, shares.shell, shares.withController, shares.floor,
                   shares.shellCloseMs);
        fflush(stdout);
    }
    medians->shell = median(shellShares);
    medians->withController = median(controllerShares);
    medians->floor = median(floorShares);
    medians->shellCloseMs = median(closes);
    return true;
}

bool measureAll(const BenchPlaces &places, const Settings &settings, Figure *figures,
                FloorReferences *references)
{
    FloorLines floorLines;
    FlashShares flash = {};
    bool measured =
        floorCommandLines(places, &floorLines) &&
        measureStarts(places, floorLines, settings.startPairs, &figures[0], &figures[1],
                      &figures[2], &figures[6], &references->windowsRatio,
                      &references->windowsCloseMs) &&
        measureFlashingMedians(places, floorLines.alone, settings.flashTurns, settings.flashMs,
                               false, &flash) &&
        measureDoubleClicks(places, floorLines.alone, settings.clickPairs, &figures[4]);
    figures[3].value = flash.shell;
    figures[7].value = flash.shellCloseMs - references->windowsCloseMs;
    references->flashShare = flash.floor;
    references->controllerFlashShare = flash.withController;
    return measured;
}

/* N turns of the flashing span alone, each shell and floor figure printed, then their medians. */
int measureFlashingTurns(const BenchPlaces &places, int turns, DWORD spanMs)
{
    FloorLines floorLines;
    FlashShares medians = {};
    if (!floorCommandLines(places, &floorLines) ||
        !measureFlashingMedians(places, floorLines.alone, turns, spanMs, true, &medians))
        return 2;
    printf("median of %d: shell %.2f %%, with a controller %.2f %%, floor %.2f %% of one core\n",
           turns, medians.shell, medians.withController, medians.floor);
    return medians.shell <= 1.0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    bool flashingOnly = argc > 1 && strcmp(argv[1], "flashing") == 0;
    bool quick = argc > 1 && strcmp(argv[1], "quick") == 0;
    Settings settings = quick ? Settings{3, 3, 1, 3000} : Settings{15, 10, 3, 10000};
    Figure figures[] = {
        {"process start to the main window visible, 12 tables with 120x120 pictures, no movie",
         0, "x the floor", 1.15, "<= 1.15"},
        {"the same with 12 pictures of 4000x3000 at 24 bits", 0, "x the 120x120 case", 2.0,
         "<= 2.0"},
        {"peak working set, 12 tables", 0, "x the floor", 1.25, "<= 1.25"},
        {"processor time of the shell over the flashing span (all its threads, median of the "
         "spans)",
         0,
         "% of one core", 1.0, "<= 1 %"},
        {"double-click to the table program's first instruction, minus the floor's WinExec", 0,
         "ms", 30.0, "<= 30 ms"},
        {"size of the 32-bit release pinballshell.exe without its resources", 0, "KB", 52.0,
         "<= 52 KB"},
        {"WM_CLOSE to the end of the process, minus the floor that makes the shell's windows",
         0, "ms", 5.0, "<= 5 ms"},
        {"the same after the flashing span, the shell having looked for a controller", 0, "ms",
         5.0, "<= 5 ms"},
    };
    BenchPlaces places;
    if (!preparePlaces(&places)) {
        fail("cannot prepare the run folder, the pictures or the copies");
        return 2;
    }
    if (FindWindowA(shellClassName, NULL) != NULL) {
        fail("a shell is running already; it would take the measured runs over");
        return 2;
    }
    if (argc > 1 && strcmp(argv[1], "scale") == 0) {
        int status = measureScales(places, argc > 2 && strcmp(argv[2], "quick") == 0);
        deleteCatalogue();
        return status;
    }
    if (flashingOnly) {
        int status = measureFlashingTurns(places, argc > 2 ? atoi(argv[2]) : 5, 10000);
        deleteCatalogue();
        return status;
    }
    FloorReferences references = {};
    bool measured = measureAll(places, settings, figures, &references);
    deleteCatalogue();
    if (!measured)
        return 2;
    figures[5].value = sizeWithoutResources(places.release) / 1024.0;

    printf("Measured: the %s build (%s) of the shell, its floor and its table program.\n\n",
           sizeof(void *) == 8 ? "64-bit" : "32-bit", sizeof(void *) == 8 ? "x64" : "x86");
    printf("| figure | measured | target | met |\n|---|---|---|---|\n");
    bool allMet = true;
    for (const Figure &figure : figures) {
        bool met = figure.value <= figure.target;
        allMet = allMet && met;
        printf("| %s | %.2f %s | %s | %s |\n", figure.name, figure.value, figure.unit,
               figure.targetText, met ? "yes" : "**no**");
    }
    printf("\nFor reference, the floor:\n\n"
           "- also creating the windows the shell shows (a label, two buttons, a child under "
           "them and 12 frames, each with a child showing the 120x120 picture as LoadImageA "
           "reads it) takes %.2f x the floor alone to show its window;\n"
           "- repainting a frame ring of the same size every 25 ms, and nothing else, takes "
           "%.2f %% of one core.\n"
           "\nThe shell flashing with a game controller attached (the tests' scripted one, at "
           "rest, read every 30 ms) takes %.2f %% of one core.\n",
           references.windowsRatio, references.flashShare, references.controllerFlashShare);
    printf("\n%s mode: %d start pairs, %d double-click pairs, %d spans of %lu ms of flashing.\n",
           quick ? "Quick" : "Full", settings.startPairs, settings.clickPairs,
           settings.flashTurns, (unsigned long)settings.flashMs);
    return allMet ? 0 : 1;
}
