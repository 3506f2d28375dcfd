#include "tests/support/input.h"

namespace {

void sendKey(WORD key, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = (WORD)MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void sendButton(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void pointAtCentre(HWND window)
{
    RECT area;
    GetWindowRect(window, &area);
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
}

void click()
{
    sendButton(MOUSEEVENTF_LEFTDOWN);
    sendButton(MOUSEEVENTF_LEFTUP);
}

} // namespace

bool bringToFront(HWND window, DWORD timeoutMs)
{
    SetForegroundWindow(window);
    return waitUntil([window] { return GetForegroundWindow() == window; }, timeoutMs);
}

void pressKey(WORD key, WORD modifier)
{
    if (modifier)
        sendKey(modifier, 0);
    sendKey(key, 0);
    sendKey(key, KEYEVENTF_KEYUP);
    if (modifier)
        sendKey(modifier, KEYEVENTF_KEYUP);
}

void clickWindow(HWND window)
{
    pointAtCentre(window);
    click();
}

void doubleClickWindow(HWND window)
{
    pointAtCentre(window);
    click();
    click();
}

HWND focusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info))
        return NULL;
    return info.hwndFocus;
}

bool waitUntil(const std::function<bool()> &condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}
