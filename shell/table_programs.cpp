#include "shell/table_programs.h"

#include "shell/globals.h"
#include "shell/names.h"

UINT tableMessage = 0;

namespace {

const DWORD closePollIntervalMs = 10;

/* Waits until the caller's window is gone (its process ending takes it along) or
   callerCloseTimeoutMs have passed since `start`. */
void waitForCallerToGo(DWORD start)
{
    while (IsWindow(callerWindow) && GetTickCount() - start < callerCloseTimeoutMs)
        Sleep(closePollIntervalMs);
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
    /* A caller busy with the request (saving inside its handler, or after answering) holds
       the next table back up to the bound, even once it looks hung; only one that was hung
       before it was asked is given up at once. */
    int hungWhenAsked = IsHungAppWindow(callerWindow);
    DWORD_PTR reply = 0;
    SendMessageTimeoutA(callerWindow, WM_QUIT, (WPARAM)callerWindow, 0, SMTO_ABORTIFHUNG,
                        callerCloseTimeoutMs, &reply);
    if (!hungWhenAsked)
        waitForCallerToGo(start);
}
