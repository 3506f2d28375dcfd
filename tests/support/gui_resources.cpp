#include "tests/support/gui_resources.h"

#include <winternl.h>

#include <vector>

namespace {

// Where the PEB keeps the address of the handle table (the PEB of a 64-bit process is laid
// out wider; the program counted is built as this one is), and the table's shape, the same for
// both: 65536 entries of 24 bytes, whose byte 14, the object's type, is 0 for a free entry.
const DWORD gdiTableInPeb = sizeof(void *) == 8 ? 0xF8 : 0x94;
const DWORD gdiTableEntries = 0x10000;
const DWORD gdiEntrySize = 24;
const DWORD gdiTypeOffset = 14;

int liveEntriesOfGdiTable(HANDLE process)
{
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0 ||
        basic.PebBaseAddress == NULL)
        return -1;
    ULONG_PTR table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, (const BYTE *)basic.PebBaseAddress + gdiTableInPeb, &table, sizeof table, &read) || table == 0)
        return -1;
    std::vector<BYTE> entries(gdiTableEntries * gdiEntrySize);
    if (!ReadProcessMemory(process, (const void *)table, entries.data(), entries.size(), &read))
        return -1;
    int live = 0;
    for (DWORD i = 0; i < gdiTableEntries; i++)
        live += entries[i * gdiEntrySize + gdiTypeOffset] != 0;
    return live;
}

struct WindowCount {
    DWORD processId;
    int count;
};

BOOL CALLBACK countChild(HWND, LPARAM counting)
{
    ((WindowCount *)counting)->count++;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM counting)
{
    WindowCount *windows = (WindowCount *)counting;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId) {
        windows->count++;
        EnumChildWindows(window, countChild, counting);
    }
    return TRUE;
}

} // namespace

int gdiObjectsOf(HANDLE process)
{
    DWORD objects = GetGuiResources(process, GR_GDIOBJECTS);
    return objects != 0 ? (int)objects : liveEntriesOfGdiTable(process);
}

int userObjectsOf(HANDLE process)
{
    DWORD objects = GetGuiResources(process, GR_USEROBJECTS);
    if (objects != 0)
        return (int)objects;
    WindowCount windows = {GetProcessId(process), 0};
    EnumWindows(countTopLevel, (LPARAM)&windows);
    return windows.count;
}
