#include <windows.h>

#include <stdio.h>

/* The floor of the benchmark: the least a Win32 program does to show a window of the shell's
   size and style (register a class, create, show, paint). Started as "floor W H [PROGRAM]";
   WM_APP makes it start PROGRAM as the shell starts a table, so that the driver can take off
   what starting a program costs anyway. */

namespace {

const char floorClassName[] = "PinballBenchFloorClass";
char tableCommand[MAX_PATH + 16];

LRESULT CALLBACK FloorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_APP:
        WinExec(tableCommand, SW_SHOWNORMAL);
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    int width = 0;
    int height = 0;
    char program[MAX_PATH] = "";
    if (sscanf(commandLine, "%d %d %259s", &width, &height, program) < 2)
        return 2;
    snprintf(tableCommand, sizeof tableCommand, "%s -nomovie", program);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FloorWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    windowClass.lpszClassName = floorClassName;
    if (!RegisterClassA(&windowClass))
        return 1;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = CreateWindowExA(0, floorClassName, "Floor", WS_POPUP | WS_DLGFRAME, x, y,
                                  width, height, NULL, NULL, instance, NULL);
    if (window == NULL)
        return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    DestroyWindow(window);
    return 0;
}
