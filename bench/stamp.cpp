#include <windows.h>

/* The table program the benchmark hands the shell: its first instruction reads the system-wide
   counter, which is written to "<this program>.stamp" for the driver to compare. */
extern "C" void stampEntry(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        ExitProcess(1);
    lstrcpyA(path + length, ".stamp");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        ExitProcess(1);
    DWORD written = 0;
    WriteFile(file, &now, sizeof now, &written, NULL);
    CloseHandle(file);
    ExitProcess(written == sizeof now ? 0 : 1);
}
