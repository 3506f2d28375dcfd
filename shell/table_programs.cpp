#include "shell/table_programs.h"

#include "common/src/answering_wait.h"
#include "shell/globals.h"
#include "shell/names.h"

UINT tableMessage = 0;

namespace {

const DWORD closePollIntervalMs = 10;

/* The caller's process, to wait on; NULL when it cannot be opened. Taken before the caller is
   asked to end, while its id cannot yet name another process. */
HANDLE openCallerProcess(void)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(callerWindow, &processId);
    if (processId == 0 || processId == GetCurrentProcessId())
        return NULL;
    return OpenProcess(SYNCHRONIZE, FALSE, processId);
}

/* Waits until the caller has gone, or callerCloseTimeoutMs have passed since `start`: its
   process has ended, which takes its window along, or, when the process could not be opened,
   its window is gone. A program that destroys its window and goes on after its message loop
   (saving, restoring the display mode) is still the caller until it ends. The shell answers
   what is sent to it meanwhile: a caller inside WinExec waits for the shell to be idle, and
   one that restores the display mode sends to every window. */
void waitForCallerToGo(DWORD start, HANDLE process)
{
    DWORD waited = GetTickCount() - start;
    if (waited >= callerCloseTimeoutMs)
        return;
    if (process) {
        waitAnswering(process, callerCloseTimeoutMs - waited);
        return;
    }
    while (IsWindow(callerWindow) && GetTickCount() - start < callerCloseTimeoutMs)
        waitAnswering(NULL, closePollIntervalMs);
}

}

int notifyTableProgram(TableNotification mode)
{
    tableMessage = RegisterWindowMessageA(tableMessageName);
    HWND table = FindWindowA(tableClassName, NULL);
    if (!table)
        return 0;
    if (mode == sendTableNotification) {
        DWORD_PTR reply = 0;
        SendMessageTimeoutA(table, tableMessage, 0, 0, SMTO_ABORTIFHUNG, peerReplyTimeoutMs,
                            &reply);
    } else {
        PostMessageA(table, tableMessage, 0, 0);
    }
    return 1;
}

void closeCaller(void)
{
    if (!callerWindow)
        return;
    DWORD start = GetTickCount();
    HANDLE process = openCallerProcess();
    /* A caller busy with the request (saving inside its handler, or after answering) holds
       the next table back up to the bound, even once it looks hung; only one that was hung
       before it was asked is given up at once. */
    int hungWhenAsked = IsHungAppWindow(callerWindow);
    DWORD_PTR reply = 0;
    SendMessageTimeoutA(callerWindow, WM_QUIT, (WPARAM)callerWindow, 0, SMTO_ABORTIFHUNG,
                        callerCloseTimeoutMs, &reply);
    if (!hungWhenAsked)
        waitForCallerToGo(start, process);
    if (process)
        CloseHandle(process);
}
