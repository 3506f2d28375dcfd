#include "tests/support/memory_use.h"

PROCESS_MEMORY_COUNTERS memoryOf(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(process ? process : GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

bool restartPeakWorkingSet()
{
    HANDLE file = CreateFileA("Z:\\proc\\self\\clear_refs", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool done = WriteFile(file, "5", 1, &written, NULL) && written == 1;
    CloseHandle(file);
    return done;
}

PeakGrowth::PeakGrowth() : before(memoryOf().WorkingSetSize)
{
    restartPeakWorkingSet();
}

SIZE_T PeakGrowth::bytes() const
{
    SIZE_T peak = memoryOf().PeakWorkingSetSize;
    return peak > before ? peak - before : 0;
}
