#include "tests/support/shell_stand_in.h"

#include "shell/names.h"

namespace {

LRESULT CALLBACK recordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ShellStandIn *standIn = reinterpret_cast<ShellStandIn *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (standIn)
        standIn->received.push_back(MSG{window, message, wParam, lParam, 0, {}});
    return DefWindowProcA(window, message, wParam, lParam);
}

}

ShellStandIn::ShellStandIn()
{
    WNDCLASSA shellClass = {};
    shellClass.lpfnWndProc = recordMessage;
    shellClass.hInstance = GetModuleHandleA(NULL);
    shellClass.lpszClassName = shellClassName;
    RegisterClassA(&shellClass);
    window = CreateWindowExA(0, shellClassName, "shell stand-in", WS_POPUP, 0, 0, 10, 10, NULL,
                             NULL, GetModuleHandleA(NULL), NULL);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // A thread that has not looked at its queue for five seconds counts as hung, and a shell
    // does not wait for a hung one.
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

ShellStandIn::~ShellStandIn()
{
    DestroyWindow(window);
    UnregisterClassA(shellClassName, GetModuleHandleA(NULL));
}

bool ShellStandIn::pumpUntilExit(ChildProcess &process, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD wait = MsgWaitForMultipleObjects(1, &process.info.hProcess, FALSE, 50, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0)
            return true;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
}

int ShellStandIn::handOvers() const
{
    UINT shellMessage = RegisterWindowMessageA(shellMessageName);
    int count = 0;
    for (const MSG &message : received)
        if (message.message == shellMessage && message.wParam == 0 && message.lParam == 0)
            ++count;
    return count;
}
