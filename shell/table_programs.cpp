#include "shell/table_programs.h"

#include "shell/globals.h"
#include "shell/names.h"

UINT tableMessage = 0;

namespace {

const DWORD closePollIntervalMs = 10;

/* The caller's process, to notice its end; NULL when it cannot be opened. */
HANDLE openCallerProcess(void)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(callerWindow, &processId);
    return processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : NULL;
}

/* Waits until the caller's window is gone, its process has ended, or callerCloseTimeoutMs
   have passed since `start`. */
void waitForCallerToGo(HANDLE process, DWORD start)
{
    while (IsWindow(callerWindow) && GetTickCount() - start < callerCloseTimeoutMs) {
        if (!process)
            Sleep(closePollIntervalMs);
        else if (WaitForSingleObject(process, closePollIntervalMs) == WAIT_OBJECT_0)
            return;
    }
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
    if (!callerWindow || !IsWindow(callerWindow))
        return;
    DWORD start = GetTickCount();
    /* A caller busy with the request (saving inside its handler, or after answering) holds
       the next table back up to the bound, even once it looks hung; only one that was hung
       before it was asked is given up at once. */
    int hungWhenAsked = IsHungAppWindow(callerWindow);
    HANDLE process = openCallerProcess();
    DWORD_PTR reply = 0;
    SendMessageTimeoutA(callerWindow, WM_QUIT, (WPARAM)callerWindow, 0, SMTO_ABORTIFHUNG,
                        callerCloseTimeoutMs, &reply);
    if (!hungWhenAsked)
        waitForCallerToGo(process, start);
    if (process)
        CloseHandle(process);
}
