#include "shell/table_programs.h"

#include "shell/globals.h"
#include "shell/names.h"

UINT tableMessage = 0;

namespace {

const DWORD closePollIntervalMs = 10;

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
    DWORD_PTR reply = 0;
    LRESULT answered = SendMessageTimeoutA(callerWindow, WM_QUIT, (WPARAM)callerWindow, 0,
                                           SMTO_ABORTIFHUNG, peerReplyTimeoutMs, &reply);
    /* A caller that answered may take a while to end (saving, restoring the display mode);
       one that did not is not worth waiting long for. */
    DWORD limit = answered ? callerCloseTimeoutMs : unansweredCallerTimeoutMs;
    while (IsWindow(callerWindow) && GetTickCount() - start < limit)
        Sleep(closePollIntervalMs);
}
