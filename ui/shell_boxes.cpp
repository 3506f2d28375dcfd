#include "ui/shell_boxes.h"

namespace {

const char messageBoxClassName[] = "#32770";

BOOL CALLBACK findOpenBox(HWND window, LPARAM found)
{
    char className[sizeof messageBoxClassName + 1];
    if (!IsWindowVisible(window) || GetClassNameA(window, className, sizeof className) == 0 ||
        lstrcmpA(className, messageBoxClassName) != 0)
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

} // namespace

HWND openMessageBox(void)
{
    HWND box = NULL;
    EnumThreadWindows(GetCurrentThreadId(), findOpenBox, reinterpret_cast<LPARAM>(&box));
    return box;
}

void pressBoxButton(HWND box, int id)
{
    HWND button = GetDlgItem(box, id);
    if (button != NULL)
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
}
