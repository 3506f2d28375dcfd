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

// Every event carries the position, so that none lands where the pointer was before.
void sendButtonAt(POINT at, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    SendInput(1, &input, sizeof input);
}

POINT centreOf(HWND window)
{
    RECT area;
    GetWindowRect(window, &area);
    return POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

void clickAt(POINT at)
{
    sendButtonAt(at, MOUSEEVENTF_LEFTDOWN);
    sendButtonAt(at, MOUSEEVENTF_LEFTUP);
}

} // namespace

bool pressButtonAt(HWND window, POINT at, DWORD downFlag, DWORD upFlag)
{
    if (!waitUntil([&] { return WindowFromPoint(at) == window; }, 5000))
        return false;
    sendButtonAt(at, downFlag);
    sendButtonAt(at, upFlag);
    return true;
}

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

void holdKey(WORD key)
{
    sendKey(key, 0);
}

void releaseKey(WORD key)
{
    sendKey(key, KEYEVENTF_KEYUP);
}

bool clickWindow(HWND window)
{
    return pressButtonAt(window, centreOf(window), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

bool doubleClickWindow(HWND window)
{
    POINT at = centreOf(window);
    if (!waitUntil([&] { return WindowFromPoint(at) == window; }, 5000))
        return false;
    clickAt(at);
    clickAt(at);
    return true;
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
