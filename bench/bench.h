#ifndef PINBALL_BENCH_H
#define PINBALL_BENCH_H

#include <windows.h>

#include <string>
#include <vector>

// Where the benchmark's programs and files are.
struct BenchPlaces {
    std::string benchDir;      // build\bench\, beside the driver
    std::string runDir;        // build\bench\run\, the measured copy of the shell and its files
    std::string shipped;       // build\pinballshell.exe
    std::string release;       // the 32-bit release file, whose size is measured (see below)
    std::string shell;         // the copy in runDir, with no logo movie beside it
    std::string controllerShell; // the shell with a scripted controller attached, in runDir
    std::string floor;
    std::string stamp;
    std::string smallPicture;  // 120 x 120, 24 bits
    std::string bigPicture;    // 4000 x 3000, 24 bits
};

// bench_setup.cpp
bool preparePlaces(BenchPlaces *places);
// Twelve tables that start `tableExe`, each showing `picture`.
bool writeCatalogue(const std::string &tableExe, const std::string &picture);
void deleteCatalogue();
// File size minus the raw size of the resource section; 0 when the file cannot be read.
DWORD sizeWithoutResources(const std::string &exe);

// bench_runs.cpp
extern const char shellClassName[];
extern const char floorClassName[];

struct RunningProgram {
    PROCESS_INFORMATION info{};
    HWND window = NULL;
};

double counterMs(LONGLONG ticks);
LONGLONG counterNow();

// Starts commandLine and waits until a visible top-level window of windowClass belongs to it;
// the time that took in ms, or a negative value on failure (the program is then ended).
double startUntilVisible(const std::string &commandLine, const char *windowClass,
                         RunningProgram *program);
// Peak working set in bytes once the program waits for input.
SIZE_T peakWorkingSet(const RunningProgram &program);
// Closes the window and waits for the end; kills a program that does not end. The ms from
// posting WM_CLOSE to the end of the process; negative when it had to be killed.
double endProgram(RunningProgram *program);
// Processor time of every thread of the process in 100 ns units.
ULONGLONG threadTimes(DWORD processId);
// Width of the first table's frame and the thickness of its ring; false without a frame.
bool frameGeometry(HWND shellWindow, int *frame, int *border);
// Selects the first table with the mouse so that its frame flashes; false when the background
// did not get the focus.
bool startFlashing(const RunningProgram &shell);
// Sends a double-click to a table picture of the shell (after its first click selected it);
// ms from the double-click to the stamp of stamp.exe, negative on failure.
double doubleClickToStamp(const RunningProgram &shell, const std::string &stampExe);
// ms from the floor's WM_APP to the stamp of the program it starts, negative on failure.
double floorExecToStamp(const RunningProgram &floor, const std::string &stampExe);

// bench_driver.cpp: percent of one core that the program's threads take over spanMs.
double processorShare(const RunningProgram &program, DWORD spanMs);
// The middle value, or the mean of the two middle ones; of a list that is not empty.
double median(std::vector<double> values);

// scale_figures.cpp: the shell at scale 2 against scale 1 (see there); the table printed,
// exit status as the driver's.
int measureScales(const BenchPlaces &places, bool quick);

#endif
