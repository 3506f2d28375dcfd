#ifndef PINBALL_TEST_MEMORY_USE_H
#define PINBALL_TEST_MEMORY_USE_H

#include <windows.h>
#include <psapi.h>

// The working set and its peak of `process` (this one when NULL), as Wine reports them: the
// process's resident size and resident peak.
PROCESS_MEMORY_COUNTERS memoryOf(HANDLE process = NULL);

// Starts this process's peak working set again from its present size (Linux's clear_refs), so
// that a peak read afterwards belongs to what ran in between; false when it cannot.
bool restartPeakWorkingSet();

// How far this process's peak working set rose above its size at the start, over one step.
class PeakGrowth {
public:
    PeakGrowth();
    SIZE_T bytes() const;

private:
    SIZE_T before;
};

#endif
