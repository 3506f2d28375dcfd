#include "bench/bench.h"

#include <psapi.h>
#include <tlhelp32.h>

const char shellClassName[] = "938626a0-da7e-11ce-a2a1-0040332e9761";
const char floorClassName[] = "PinballBenchFloorClass";

namespace {

const DWORD startTimeoutMs = 20000;
const DWORD endTimeoutMs = 10000;

struct WindowSearch {
    DWORD processId;
    const char *className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM lParam)
{
    WindowSearch *search = (WindowSearch *)lParam;
    char className[64];
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) ||
        !GetClassNameA(window, className, sizeof className) ||
        lstrcmpA(className, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND visibleWindowOf(DWORD processId, const char *className)
{
    WindowSearch search = {processId, className, NULL};
    EnumWindows(matchWindow, (LPARAM)&search);
    return search.found;
}

HWND childOfClass(HWND parent, const char *className, const char *text = NULL)
{
    return FindWindowExA(parent, NULL, className, text);
}

HWND firstPicture(HWND shellWindow)
{
    HWND background = childOfClass(shellWindow, "PinballShellBackgroundClass");
    HWND frame = childOfClass(background, "PinballShellPictureFrameClass");
    return childOfClass(frame, "PinballShellPictureClass");
}

bool waitUntil(bool (*done)(const void *), const void *what, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done(what)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(1);
    }
    return true;
}

/* The stamp of stamp.exe once it is complete; the program holds the file unshared until then. */
bool readStamp(const std::string &stampFile, LONGLONG *stamp)
{
    HANDLE file = CreateFileA(stampFile.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD read = 0;
    bool ok = ReadFile(file, stamp, sizeof *stamp, &read, NULL) && read == sizeof *stamp;
    CloseHandle(file);
    return ok;
}

/* Posts `message` to `window` and gives the ms until stamp.exe stamped its first instruction. */
double postToStamp(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                   const std::string &stampExe)
{
    std::string stampFile = stampExe + ".stamp";
    DeleteFileA(stampFile.c_str());
    LONGLONG sent = counterNow();
    PostMessageA(window, message, wParam, lParam);
    LONGLONG stamp = 0;
    DWORD start = GetTickCount();
    while (!readStamp(stampFile, &stamp)) {
        if (GetTickCount() - start > startTimeoutMs)
            return -1;
        Sleep(1);
    }
    DeleteFileA(stampFile.c_str());
    return counterMs(stamp - sent);
}

bool isEnabled(const void *window)
{
    return IsWindowEnabled((HWND)window) != FALSE;
}

} // namespace

LONGLONG counterNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double counterMs(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)ticks * 1000.0 / (double)frequency.QuadPart;
}

double startUntilVisible(const std::string &commandLine, const char *windowClass,
                         RunningProgram *program)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    LONGLONG start = counterNow();
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &program->info))
        return -1;
    DWORD startTick = GetTickCount();
    while ((program->window = visibleWindowOf(program->info.dwProcessId, windowClass)) == NULL) {
        if (GetTickCount() - startTick > startTimeoutMs ||
            WaitForSingleObject(program->info.hProcess, 0) == WAIT_OBJECT_0) {
            endProgram(program);
            return -1;
        }
        Sleep(1);
    }
    return counterMs(counterNow() - start);
}

SIZE_T peakWorkingSet(const RunningProgram &program)
{
    WaitForInputIdle(program.info.hProcess, startTimeoutMs);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(program.info.hProcess, &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}

double endProgram(RunningProgram *program)
{
    if (program->info.hProcess == NULL)
        return -1;
    LONGLONG asked = counterNow();
    if (program->window != NULL)
        PostMessageA(program->window, WM_CLOSE, 0, 0);
    double ms = -1;
    if (WaitForSingleObject(program->info.hProcess, endTimeoutMs) == WAIT_OBJECT_0) {
        ms = counterMs(counterNow() - asked);
    } else {
        TerminateProcess(program->info.hProcess, 1);
        WaitForSingleObject(program->info.hProcess, endTimeoutMs);
    }
    CloseHandle(program->info.hThread);
    CloseHandle(program->info.hProcess);
    *program = RunningProgram();
    return ms;
}

ULONGLONG threadTimes(DWORD processId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    ULONGLONG total = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more;
         more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId)
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (thread == NULL)
            continue;
        FILETIME created, exited, kernel, user;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            total += ((ULONGLONG)kernel.dwHighDateTime << 32) + kernel.dwLowDateTime;
            total += ((ULONGLONG)user.dwHighDateTime << 32) + user.dwLowDateTime;
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return total;
}

bool frameGeometry(HWND shellWindow, int *frame, int *border)
{
    HWND picture = firstPicture(shellWindow);
    RECT frameRect, pictureRect;
    if (picture == NULL || !GetWindowRect(GetParent(picture), &frameRect) ||
        !GetWindowRect(picture, &pictureRect))
        return false;
    *frame = frameRect.right - frameRect.left;
    *border = pictureRect.left - frameRect.left;
    return true;
}

bool startFlashing(const RunningProgram &shell)
{
    WaitForInputIdle(shell.info.hProcess, startTimeoutMs);
    HWND picture = firstPicture(shell.window);
    HWND ok = childOfClass(shell.window, "BUTTON", "OK");
    if (picture == NULL || ok == NULL)
        return false;
    PostMessageA(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(picture, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    if (!waitUntil(isEnabled, ok, startTimeoutMs))
        return false;
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    return GetGUIThreadInfo(shell.info.dwThreadId, &gui) &&
           gui.hwndFocus == childOfClass(shell.window, "PinballShellBackgroundClass");
}

double doubleClickToStamp(const RunningProgram &shell, const std::string &stampExe)
{
    if (!startFlashing(shell))
        return -1;
    return postToStamp(firstPicture(shell.window), WM_LBUTTONDBLCLK, MK_LBUTTON,
                       MAKELPARAM(10, 10), stampExe);
}

double floorExecToStamp(const RunningProgram &floor, const std::string &stampExe)
{
    WaitForInputIdle(floor.info.hProcess, startTimeoutMs);
    return postToStamp(floor.window, WM_APP, 0, 0, stampExe);
}
