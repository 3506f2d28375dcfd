#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Ways of repainting a flashing frame ring every 25 ms, each measured alone: the processor
   time of this thread over a span, after a second of warm-up, as a share of one core.
   Started as "flash_probe MODE [SECONDS [SCALE]]" (scripts/wine-run build/bench/flash_probe.exe
   o 10 2), it prints MODE and the share; SCALE (1 unless given) multiplies the windows' sizes
   and places and the ring's, as the shell's scale does. MODE is a set of letters:
     n  the timer runs, a tick does nothing
     u  a tick invalidates the frame and updates it; WM_PAINT fills the paint rectangle
     g  a tick paints the frame at once through GetDC/ReleaseDC
     o  the frame class has CS_OWNDC; a tick paints through the DC it keeps
     b  brushes made once instead of one per paint
     r  only the four sides of the ring are filled, not the whole frame rectangle
     f  with r, each side is pushed to the screen by itself: a PeekMessageA that finds the
        queue empty flushes what was drawn
     s  a tick that draws the colour already on screen paints nothing
     d  the message loop passes every message through IsDialogMessageA first
     p  the loop dispatches WM_TIMER itself and hands the rest to IsDialogMessageA
     w  instead of SetTimer, the loop waits with MsgWaitForMultipleObjects until the next tick
     W  instead of SetTimer, the loop waits for the queue and a periodic waitable timer
     t  (cost analysis) fills only a 3 by 3 corner of the ring
     z  (cost analysis) always colour 0, never a dithered one
   The windows copy the shell's: a popup with a dialog frame, a background child with
   WS_CLIPCHILDREN and the focus, a frame with WS_CLIPCHILDREN whose picture child covers all
   but the ring, and two push buttons. */

namespace {

const UINT flashIntervalMs = 25;
int scale = 1;
int frameSide = 126;
int border = 3;
const int flashColourCount = 10;

char mode[32] = "u";
HWND mainWindow = NULL;
HWND frameWindow = NULL;
HDC ownDC = NULL;
HBRUSH brushes[flashColourCount];
int shownColour = -1;

bool modeHas(char letter)
{
    return strchr(mode, letter) != NULL;
}

void fillRing(HDC dc, const RECT &area, HBRUSH brush)
{
    if (modeHas('t')) {
        RECT corner = {0, 0, border, border};
        FillRect(dc, &corner, brush);
        return;
    }
    if (!modeHas('r')) {
        FillRect(dc, &area, brush);
        return;
    }
    const RECT sides[4] = {{0, 0, frameSide, border},
                     {0, frameSide - border, frameSide, frameSide},
                     {0, border, border, frameSide - border},
                     {frameSide - border, border, frameSide, frameSide - border}};
    for (const RECT &side : sides) {
        FillRect(dc, &side, brush);
        MSG message;
        if (modeHas('f'))
            PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE);
    }
}

void paintColour(HDC dc, const RECT &area, int colour)
{
    if (modeHas('b')) {
        fillRing(dc, area, brushes[colour]);
        return;
    }
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(colour));
    fillRing(dc, area, brush);
    DeleteObject(brush);
}

void paintNow()
{
    int colour = modeHas('z') ? 0 : rand() % flashColourCount;
    if (modeHas('s') && colour == shownColour)
        return;
    shownColour = colour;
    RECT area = {0, 0, frameSide, frameSide};
    if (modeHas('o')) {
        paintColour(ownDC, area, colour);
        return;
    }
    HDC dc = GetDC(frameWindow);
    paintColour(dc, area, colour);
    ReleaseDC(frameWindow, dc);
}

void tick()
{
    if (modeHas('n'))
        return;
    if (modeHas('g') || modeHas('o')) {
        paintNow();
        return;
    }
    RECT everything = {0, 0, 10000, 10000};
    InvalidateRect(frameWindow, &everything, FALSE);
    UpdateWindow(frameWindow);
}

LRESULT CALLBACK FrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        shownColour = rand() % flashColourCount;
        paintColour(dc, paint.rcPaint, shownColour);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_TIMER:
        tick();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool registerClass(const char *name, WNDPROC procedure, UINT style, HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

HWND createWindows(HINSTANCE instance)
{
    if (!registerClass("ProbeMain", MainWndProc, 0, instance) ||
        !registerClass("ProbeBackground", BackgroundWndProc, 0, instance) ||
        !registerClass("ProbeFrame", FrameWndProc, modeHas('o') ? CS_OWNDC : 0, instance))
        return NULL;
    int width = 588 * scale, height = 424 * scale;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    mainWindow = CreateWindowExA(0, "ProbeMain", "Probe", WS_POPUP | WS_DLGFRAME, x, y, width,
                                 height, NULL, NULL, instance, NULL);
    HWND background = CreateWindowExA(0, "ProbeBackground", "",
                                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 1, 1, 580 * scale,
                                      388 * scale, mainWindow, NULL, instance, NULL);
    frameWindow = CreateWindowExA(0, "ProbeFrame", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                  20, 20, frameSide, frameSide, background, NULL, instance, NULL);
    CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, border, border,
                    frameSide - 2 * border, frameSide - 2 * border, frameWindow, NULL, instance,
                    NULL);
    CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 400,
                    392, 80, 24, mainWindow, (HMENU)IDOK, instance, NULL);
    CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                    490, 392, 80, 24, mainWindow, (HMENU)IDCANCEL, instance, NULL);
    if (modeHas('o'))
        ownDC = GetDC(frameWindow);
    for (int i = 0; i < flashColourCount; ++i)
        brushes[i] = CreateSolidBrush(PALETTEINDEX(i));
    ShowWindow(mainWindow, SW_SHOW);
    UpdateWindow(mainWindow);
    SetFocus(background);
    if (!modeHas('w') && !modeHas('W'))
        SetTimer(background, 0, flashIntervalMs, NULL);
    return background;
}

ULONGLONG threadTime()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return ((ULONGLONG)kernel.dwHighDateTime << 32) + kernel.dwLowDateTime +
           ((ULONGLONG)user.dwHighDateTime << 32) + user.dwLowDateTime;
}

void handle(MSG &message)
{
    if (modeHas('p') && message.message == WM_TIMER) {
        DispatchMessageA(&message);
        return;
    }
    if ((modeHas('d') || modeHas('p')) && IsDialogMessageA(mainWindow, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

/* Runs the loop until `endTick`, the shell's way (GetMessageA) unless in mode w, where it
   waits for each 25 ms step itself. */
void runUntil(DWORD endTick)
{
    MSG message;
    if (modeHas('W')) {
        HANDLE timer = CreateWaitableTimerA(NULL, FALSE, NULL);
        LARGE_INTEGER due;
        due.QuadPart = -(LONGLONG)flashIntervalMs * 10000;
        SetWaitableTimer(timer, &due, flashIntervalMs, NULL, NULL, FALSE);
        while ((int)(GetTickCount() - endTick) < 0) {
            if (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
                handle(message);
                continue;
            }
            while (MsgWaitForMultipleObjectsEx(1, &timer, INFINITE, QS_ALLINPUT,
                                               MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0) {
                tick();
                if ((int)(GetTickCount() - endTick) >= 0)
                    break;
            }
        }
        CloseHandle(timer);
        return;
    }
    if (!modeHas('w')) {
        while ((int)(GetTickCount() - endTick) < 0 && GetMessageA(&message, NULL, 0, 0) > 0)
            handle(message);
        return;
    }
    DWORD next = GetTickCount() + flashIntervalMs;
    for (DWORD now = GetTickCount(); (int)(now - endTick) < 0; now = GetTickCount()) {
        DWORD wait = (int)(next - now) > 0 ? next - now : 0;
        if (MsgWaitForMultipleObjects(0, NULL, FALSE, wait, QS_ALLINPUT) == WAIT_TIMEOUT) {
            next += flashIntervalMs;
            tick();
            continue;
        }
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            handle(message);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    int seconds = 10;
    if (sscanf(commandLine, "%31s %d %d", mode, &seconds, &scale) < 1 || scale < 1)
        return 2;
    frameSide *= scale;
    border *= scale;
    if (createWindows(instance) == NULL)
        return 1;
    runUntil(GetTickCount() + 1000);
    ULONGLONG before = threadTime();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    runUntil(GetTickCount() + seconds * 1000);
    ULONGLONG after = threadTime();
    QueryPerformanceCounter(&end);
    double wallMs = (double)(end.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
    printf("%s %.3f\n", mode, (double)(after - before) / 10000.0 / wallMs * 100.0);
    DestroyWindow(mainWindow);
    return 0;
}
