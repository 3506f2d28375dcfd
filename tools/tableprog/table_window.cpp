#include "tools/tableprog/table_window.h"

#include "shell/command_line.h"
#include "shell/names.h"
#include "settings/settings_store.h"
#include "tools/tableprog/environment.h"
#include "tools/tableprog/own_entry.h"
#include "tools/tableprog/table_log.h"

HWND tableWindow = NULL;

namespace {

const int windowWidth = 520;
const int windowHeight = 340;
const int buttonWidth = 180;
const int buttonHeight = 30;
const int chooseButtonId = 1;
const int restartButtonId = 2;
const UINT_PTR quitTimerId = 1;
const COLORREF playfieldColour = RGB(10, 52, 34);
const COLORREF railColour = RGB(190, 150, 60);
const COLORREF nameColour = RGB(255, 230, 120);
const COLORREF hintColour = RGB(200, 220, 200);
const int shellCommandSize = 1100;

/* Variants built for the tests of the table-program checker each break one rule. */
#ifdef TABLEPROG_WRONG_CLASS
const char *const windowClassName = "TableProgramClass";
#else
const char *const windowClassName = tableClassName;
#endif

UINT tableMessage = 0;
HFONT nameFont = NULL;
HFONT hintFont = NULL;

HFONT makeFont(int height, int weight)
{
    return CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       VARIABLE_PITCH | FF_SWISS, "Arial");
}

/* The shell named in the settings, else pinballshell.exe beside this program. */
void findShellPath(char *path)
{
    readSettingString(NULL, "Shell Exe", path, "", textBufferSize);
    if (path[0])
        return;
    ownModulePath(path, (int)textBufferSize);
    char *name = path;
    for (char *c = path; *c; ++c)
        if (*c == '\\')
            name = c + 1;
    lstrcpynA(name, "pinballshell.exe", (int)textBufferSize - (int)(name - path));
}

/* As many table programs do: WinExec returns once the started shell is idle, or after 30 s. */
void startShellWithWinExec(const char *command)
{
    DWORD start = GetTickCount();
    UINT result = WinExec(command, SW_SHOW);
    logEvent("WinExec answered %u in %lu ms", result, (unsigned long)(GetTickCount() - start));
}

/* Starts the shell as a table program does, passing this window and its check value. */
void startShell(int restart)
{
    char shellPath[textBufferSize];
    findShellPath(shellPath);
    unsigned long window = (unsigned long)(ULONG_PTR)tableWindow;
    char command[shellCommandSize];
    int used = wsprintfA(command, "\"%s\" select=%lX confirm=%lX", shellPath, window,
                         confirmValue(window));
    if (ownEntry.found)
        used += wsprintfA(command + used, " tid=%d", ownEntry.tableId);
    if (restart)
        lstrcpyA(command + used, " restart");
    logEvent("shell %s", command);
    if (environmentMs("PINBALL_TABLE_WINEXEC_SHELL")) {
        startShellWithWinExec(command);
        return;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void onCreate(HWND window)
{
    tableWindow = window;
    nameFont = makeFont(40, FW_BOLD);
    hintFont = makeFont(14, FW_NORMAL);
    int top = windowHeight - 2 * GetSystemMetrics(SM_CYFIXEDFRAME) -
              GetSystemMetrics(SM_CYCAPTION) - buttonHeight - 16;
    int gap = (windowWidth - 2 * buttonWidth) / 3;
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
    CreateWindowExA(0, "BUTTON", "Choose table (F2)", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, gap,
                    top, buttonWidth, buttonHeight, window, (HMENU)chooseButtonId, instance, NULL);
    CreateWindowExA(0, "BUTTON", "Restart (F3)", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                    2 * gap + buttonWidth, top, buttonWidth, buttonHeight, window,
                    (HMENU)restartButtonId, instance, NULL);
}

void drawCentred(HDC dc, const char *text, RECT *area, HFONT font, COLORREF colour)
{
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, colour);
    DrawTextA(dc, text, -1, area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
}

void onPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HBRUSH playfield = CreateSolidBrush(playfieldColour);
    FillRect(dc, &client, playfield);
    DeleteObject(playfield);
    RECT rail = {12, 12, client.right - 12, client.bottom - 60};
    HBRUSH railBrush = CreateSolidBrush(railColour);
    FrameRect(dc, &rail, railBrush);
    DeleteObject(railBrush);
    SetBkMode(dc, TRANSPARENT);
    RECT title = {rail.left, rail.top + 20, rail.right, rail.top + 50};
    drawCentred(dc, "Vantrel! 2 Demo table", &title, hintFont, hintColour);
    RECT name = {rail.left, rail.top, rail.right, rail.bottom};
    drawCentred(dc, ownEntry.name, &name, nameFont, nameColour);
    RECT hints = {rail.left, rail.bottom - 40, rail.right, rail.bottom - 10};
    drawCentred(dc, "F2  choose another table     F3  play the last table again     Esc  quit",
                &hints, hintFont, hintColour);
    EndPaint(window, &paint);
}

void onCommand(HWND window, WPARAM command)
{
    if (LOWORD(command) == chooseButtonId || LOWORD(command) == restartButtonId)
        startShell(LOWORD(command) == restartButtonId);
    SetFocus(window);
}

/* WM_QUIT reaching the window asks the program to end. PINBALL_TABLE_QUIT_HANG_MS makes it
   work that long before it answers and destroys its window, as a program that saves its state
   inside the handler does; PINBALL_TABLE_QUIT_DELAY_MS makes it answer and keep its window for
   that long, as a program that saves afterwards or restores the display mode does. */
void onQuitRequest(HWND window, WPARAM wParam, LPARAM lParam)
{
    logEvent("WM_QUIT %s wParam=%lX lParam=%lX", InSendMessage() ? "sent" : "posted",
             (unsigned long)wParam, (unsigned long)lParam);
#ifdef TABLEPROG_IGNORES_QUIT
    return;
#endif
    Sleep(environmentMs("PINBALL_TABLE_QUIT_HANG_MS"));
    DWORD delay = environmentMs("PINBALL_TABLE_QUIT_DELAY_MS");
    if (delay && SetTimer(window, quitTimerId, delay, NULL))
        return;
    DestroyWindow(window);
}

void onTimer(HWND window, WPARAM timer)
{
    if (timer == quitTimerId)
        DestroyWindow(window);
}

void onTableMessage(WPARAM wParam, LPARAM lParam)
{
    logEvent("tableMessage %s wParam=%lX lParam=%lX", InSendMessage() ? "sent" : "posted",
             (unsigned long)wParam, (unsigned long)lParam);
}

void onDestroy(void)
{
    DeleteObject(nameFont);
    DeleteObject(hintFont);
    nameFont = hintFont = NULL;
    tableWindow = NULL;
    PostQuitMessage(0);
}

LRESULT CALLBACK TableWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == tableMessage) {
        onTableMessage(wParam, lParam);
        return 0;
    }
    switch (message) {
    case WM_CREATE: onCreate(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: onPaint(window); return 0;
    case WM_COMMAND: onCommand(window, wParam); return 0;
    case WM_QUIT: onQuitRequest(window, wParam, lParam); return 0;
    case WM_TIMER: onTimer(window, wParam); return 0;
    case WM_DESTROY: onDestroy(); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}

HWND createTableWindow(HINSTANCE instance)
{
    tableMessage = RegisterWindowMessageA(tableMessageName);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TableWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hIcon = LoadIconA(NULL, IDI_APPLICATION);
    windowClass.lpszClassName = windowClassName;
    if (!RegisterClassA(&windowClass))
        return NULL;
    int x = (GetSystemMetrics(SM_CXSCREEN) - windowWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - windowHeight) / 2;
    return CreateWindowExA(0, windowClassName, ownEntry.name,
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                           windowWidth, windowHeight, NULL, NULL, instance, NULL);
}

int handleTableKey(WPARAM key)
{
    switch (key) {
    case VK_F2: startShell(0); return 1;
    case VK_F3: startShell(1); return 1;
    case VK_ESCAPE: DestroyWindow(tableWindow); return 1;
    }
    return 0;
}
