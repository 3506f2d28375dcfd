#include "shell/shell_handover.h"

#include "shell/names.h"

UINT shellMessage = 0;

int handOverToRunningShell(void)
{
    shellMessage = RegisterWindowMessageA(shellMessageName);
    HWND runningShell = FindWindowA(shellClassName, NULL);
    if (!runningShell)
        return 0;
    DWORD_PTR reply = 0;
    SendMessageTimeoutA(runningShell, shellMessage, 0, 0, SMTO_ABORTIFHUNG, peerReplyTimeoutMs,
                        &reply);
    return 1;
}
