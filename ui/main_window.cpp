#include "ui/main_window.h"

#include "gfx/shell_palette.h"
#include "settings/catalogue.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "shell/shell_handover.h"
#include "ui/attract_mode.h"
#include "ui/background_window.h"
#include "ui/controller_input.h"
#include "ui/layout.h"
#include "ui/shell_font.h"
#include "ui/shell_state.h"
#include "ui/shell_windows.h"
#include "ui/window_classes.h"

namespace {

const DWORD labelStyle = WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP;
const DWORD okStyle = WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD cancelStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
const DWORD backgroundStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP;
const int labelWidth = 400;
/* Between the label and OK, as between the buttons. */
const int labelGap = 5;
/* WM_DPICHANGED, which older headers lack. */
const UINT dpiChangedMessage = 0x02E0;

struct Placement {
    int x, y, width, height;
};

/* The label sits 2 pixels below the buttons' top and is 6 pixels shorter, centred on them. It
   ends before OK where longer button words (in some languages) bring the buttons nearer. */
Placement labelPlacement()
{
    const ShellLayout &l = shellLayout;
    const int n = layoutScale;
    int width = labelWidth * n;
    if (l.labelX + width > l.okX - labelGap * n)
        width = l.okX - labelGap * n - l.labelX;
    return {l.labelX, l.buttonRowY + 2 * n, width, l.buttonHeight - 6 * n};
}

Placement okPlacement()
{
    const ShellLayout &l = shellLayout;
    return {l.okX, l.buttonRowY, l.buttonWidth, l.buttonHeight};
}

Placement cancelPlacement()
{
    const ShellLayout &l = shellLayout;
    return {l.cancelX, l.buttonRowY, l.buttonWidth, l.buttonHeight};
}

Placement backgroundPlacement()
{
    const ShellLayout &l = shellLayout;
    return {l.backgroundX, l.backgroundY, l.backgroundWidth, l.backgroundHeight};
}

HWND createChild(const char *className, const char *text, DWORD style, const Placement &at)
{
    HWND child = CreateWindowExA(0, className, text, style, at.x, at.y, at.width, at.height,
                                 mainWindow, NULL, appInstance, NULL);
    if (child != NULL && shellFont != NULL)
        applyShellFont(child);
    return child;
}

void moveChild(HWND child, const Placement &at)
{
    MoveWindow(child, at.x, at.y, at.width, at.height, TRUE);
}

bool createControls()
{
    nameLabel = createChild("STATIC", "", labelStyle, labelPlacement());
    if (nameLabel == NULL)
        return false;
    okButton = createChild("BUTTON", loadString(IDS_OK), okStyle, okPlacement());
    if (okButton == NULL)
        return false;
    cancelButton = createChild("BUTTON", loadString(IDS_CANCEL), cancelStyle, cancelPlacement());
    return cancelButton != NULL;
}

/* False makes the creation of the main window fail, with nothing of it left. Cancel gets the
   focus when showing activates the window (onSetFocus): taking it here would activate the
   hidden window, a round of messages and display calls that only delays showing it. */
bool onCreate(HWND window)
{
    mainWindow = window;
    buildShellPalette(window);
    if (!createControls()) {
        destroyShellWindows(0);
        return false;
    }
    backgroundWindow = createChild(backgroundClassName, "", backgroundStyle, backgroundPlacement());
    if (backgroundWindow == NULL) {
        destroyShellWindows(0);
        return false;
    }
    return true;
}

LRESULT onShellMessage(HWND window)
{
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return 0;
}

/* The window is only hidden here; shell mode destroys it after the main loop. */
LRESULT onEndRequest(HWND window)
{
    ShowWindow(window, SW_HIDE);
    UpdateWindow(window);
    PostQuitMessage(0);
    return 0;
}

bool isDefaultButton(HWND button)
{
    return button != NULL && (SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
}

/* The focus goes to the default button, or to the pictures when neither button is. */
LRESULT onSetFocus()
{
    if (isDefaultButton(okButton))
        SetFocus(okButton);
    else if (isDefaultButton(cancelButton))
        SetFocus(cancelButton);
    else if (backgroundWindow != NULL)
        SetFocus(backgroundWindow);
    return 0;
}

LRESULT onPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT everything = {0, 0, 10000, 10000};
    FillRect(dc, &everything, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
    EndPaint(window, &paint);
    return 1;
}

void onActivateApp(WPARAM activated)
{
    if (!activated)
        return;
    for (int i = 0; i < tableCount; ++i) {
        invalidateTableWindow(tableEntries[i].frameWindow);
        invalidateTableWindow(tableEntries[i].pictureWindow);
    }
}

/* Everything at the scale just laid out: the window, its controls and their font, and the art
   enlarged again. */
void relayOut()
{
    // The font laid out with has replaced the one the controls held.
    applyShellFont(nameLabel);
    applyShellFont(okButton);
    applyShellFont(cancelButton);
    loadBackgroundPicture(backgroundWindow);
    const ShellLayout &l = shellLayout;
    MoveWindow(mainWindow, l.windowX, l.windowY, l.windowWidth, l.windowHeight, TRUE);
    moveChild(backgroundWindow, backgroundPlacement());
    moveChild(nameLabel, labelPlacement());
    moveChild(okButton, okPlacement());
    moveChild(cancelButton, cancelPlacement());
    placePictureFrames();
    // A window that grows repaints only what it newly covers: the rest still shows the art
    // at the old scale.
    RedrawWindow(mainWindow, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void onDisplayChange(HWND window)
{
    deleteShellPalette();
    buildShellPalette(window);
    computeLayout();
    relayOut();
}

/* The window went to a monitor of another DPI: the scale of that DPI, centred on it. */
LRESULT onDpiChanged(WPARAM wParam)
{
    computeLayoutForDpi(LOWORD(wParam));
    relayOut();
    return 0;
}

/* Enter away from a default button makes OK the default instead of launching; a second
   Enter then clicks OK. */
void onDialogKey(WORD id)
{
    if (id == IDOK) {
        setButtonStyle(cancelButton, BS_PUSHBUTTON);
        SetFocus(okButton);
        setButtonStyle(okButton, BS_DEFPUSHBUTTON);
    } else if (id == IDCANCEL) {
        endShellRun();
    }
}

void onCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return;
    HWND control = (HWND)lParam;
    if (control == NULL)
        onDialogKey(LOWORD(wParam));
    else if (control == okButton)
        chooseSelectedTable();
    else if (control == cancelButton)
        endShellRun();
}

/* The label's text stands on the window's light grey without a box of its own. */
LRESULT onLabelColour(HDC dc)
{
    SetBkMode(dc, TRANSPARENT);
    return (LRESULT)GetStockObject(LTGRAY_BRUSH);
}

} // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (shellMessage != 0 && LOWORD(message) == shellMessage)
        return onShellMessage(window);
    switch (message) {
    case WM_CREATE:
        if (!onCreate(window))
            return -1;
        break;
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUIT:
        return onEndRequest(window);
    case WM_SETFOCUS:
        return onSetFocus();
    case WM_PAINT:
        return onPaint(window);
    case WM_ERASEBKGND:
        return 1;
    case WM_SHOWWINDOW:
    case WM_ENABLE:
        restartIdleCount();
        break;
    case WM_ACTIVATEAPP:
        onActivateApp(wParam);
        break;
    case WM_DISPLAYCHANGE:
        onDisplayChange(window);
        break;
    case dpiChangedMessage:
        return onDpiChanged(wParam);
    case WM_COMMAND:
        onCommand(wParam, lParam);
        break;
    case WM_TIMER:
        if (wParam == controllerTimerId) {
            pollController(window);
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if ((HWND)lParam == nameLabel)
            return onLabelColour((HDC)wParam);
        break;
    case WM_QUERYNEWPALETTE:
        InvalidateRect(backgroundWindow, NULL, TRUE);
        break;
    case WM_PALETTECHANGED:
        if ((HWND)wParam != window)
            InvalidateRect(backgroundWindow, NULL, TRUE);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
