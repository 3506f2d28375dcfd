#include "ui/cabinet_keys.h"

#include "ui/shell_boxes.h"
#include "ui/shell_state.h"
#include "ui/shell_windows.h"

namespace {

const LPARAM keyWasDown = 1 << 30;

/* The Shift pressed last (VK_LSHIFT or VK_RSHIFT) while nothing else was pressed since; 0 when
   none. */
UINT pendingShift = 0;
/* The pending Shift repeated, and stepped, while held. */
bool shiftRepeated = false;
/* A Shift held through a click or another key: it does nothing more until it is let go, however
   its repeats come. */
UINT cancelledShift = 0;

/* WM_KEYDOWN says VK_SHIFT for both; the scan code tells them apart. Input made without one (on-
   screen keyboards, key mappers) gives 0: a Shift whose side is unknown. */
UINT whichShift(LPARAM keyData)
{
    UINT scanCode = (keyData >> 16) & 0xFF;
    return scanCode == 0 ? 0 : MapVirtualKeyA(scanCode, MAPVK_VSC_TO_VK_EX);
}

void cancelShift()
{
    if (pendingShift != 0)
        cancelledShift = pendingShift;
    pendingShift = 0;
}

int shiftStep(UINT shift)
{
    return shift == VK_LSHIFT ? -1 : 1;
}

bool isShellWindow(HWND window)
{
    return window != NULL && (window == mainWindow || IsChild(mainWindow, window));
}

HHOOK boxKeysFilter = NULL;

/* Start's first press in a box of the shell is its OK; the box sees nothing of it. */
LRESULT CALLBACK filterBoxKeys(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG *message = reinterpret_cast<const MSG *>(lParam);
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && message->wParam == '1' &&
        !(message->lParam & keyWasDown)) {
        HWND box = openMessageBox();
        if (box != NULL) {
            pressBoxButton(box, IDOK);
            return TRUE;
        }
    }
    return CallNextHookEx(boxKeysFilter, code, wParam, lParam);
}

/* A second key-down of the pending Shift is a repeat, with the repeat flag or without: Wine
   may forget a held Shift when it syncs the keys with the X server, and takes the next repeat
   for a new press. A Shift of unknown side steps neither way: it counts as another key. */
void onShiftDown(LPARAM keyData)
{
    UINT shift = whichShift(keyData);
    if (shift == 0) {
        cancelShift();
        return;
    }
    if (shift == cancelledShift)
        return;
    if (shift != pendingShift) {
        pendingShift = shift;
        shiftRepeated = false;
        return;
    }
    shiftRepeated = true;
    stepSelectionFromAnywhere(shiftStep(shift));
}

void onShiftUp(LPARAM keyData)
{
    UINT shift = whichShift(keyData);
    if (shift == 0)
        return;
    if (shift == pendingShift && !shiftRepeated)
        stepSelectionFromAnywhere(shiftStep(shift));
    if (shift == cancelledShift)
        cancelledShift = 0;
    pendingShift = 0;
}

/* 1 is taken whole, and only its first press: a held Start starts nothing twice. */
bool onKeyDown(WPARAM key, LPARAM keyData)
{
    if (key == VK_SHIFT) {
        onShiftDown(keyData);
        return false;
    }
    cancelShift();
    if (key != '1')
        return false;
    if (!(keyData & keyWasDown))
        chooseSelectedTable();
    return true;
}

} // namespace

int handleCabinetKey(const MSG *message)
{
    if (mainWindow == NULL || !isShellWindow(message->hwnd))
        return 0;
    switch (message->message) {
    case WM_KEYDOWN:
        return onKeyDown(message->wParam, message->lParam);
    case WM_KEYUP:
        if (message->wParam == VK_SHIFT)
            onShiftUp(message->lParam);
        break;
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        cancelShift();
        break;
    }
    return 0;
}

void startCabinetKeys(void)
{
    boxKeysFilter = SetWindowsHookExA(WH_MSGFILTER, filterBoxKeys, NULL, GetCurrentThreadId());
}

void stopCabinetKeys(void)
{
    if (boxKeysFilter != NULL)
        UnhookWindowsHookEx(boxKeysFilter);
    boxKeysFilter = NULL;
}
