#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

/* The floor of the benchmark: the least a Win32 program does to show a window of the shell's
   size and style (register a class, create, show, paint). Started as "floor W H PROGRAM [F B]";
   WM_APP makes it start PROGRAM as the shell starts a table, so that the driver can take off
   what starting a program costs anyway. With F and B it also repaints the ring of a frame F
   pixels wide, B pixels thick, in a new colour every 25 ms as the shell flashes a selection,
   the way the shell does it (straight into the ring's own DC, from a wait timed to the tick,
   nothing when the colour drawn is the one shown): the least that flashing costs.
   Started as "floor W H PROGRAM F B N PICTURE", it does not flash but also creates the windows
   that the shell shows around its pictures: a label, two push buttons, a child under them all
   and N frames like the one above, each with a child showing PICTURE as LoadImageA reads it.
   That is what those windows cost on this platform before any work of the shell's own. */

namespace {

const char floorClassName[] = "PinballBenchFloorClass";
const char ringClassName[] = "PinballBenchRingClass";
const UINT flashIntervalMs = 25;
const int mostTables = 12;
const int tablesInRow = 4;
char tableCommand[MAX_PATH + 16];
HWND ringWindow = NULL;
int shownColour = -1;
DWORD nextFlashTick = 0;
HBITMAP tablePictures[mostTables];

void fillRing(HDC dc, const RECT &area, int colour)
{
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(colour));
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

LRESULT CALLBACK RingWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        shownColour = -1;
        fillRing(dc, paint.rcPaint, rand() % 10);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

/* A frame whose inside is covered by a child, so that only its ring is painted. */
void createRing(HWND parent, HINSTANCE instance, int frame, int border)
{
    ringWindow = CreateWindowExA(0, ringClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                 border, border, frame, frame, parent, NULL, instance, NULL);
    CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, border, border, frame - 2 * border,
                    frame - 2 * border, ringWindow, NULL, instance, NULL);
}

/* The windows the shell shows, laid out much as it lays them out: frames four to a row over a
   background child, the name label and the two buttons under it. */
void createTableWindows(HWND window, HINSTANCE instance, int frame, int border, int tables,
                        const char *picture)
{
    RECT client;
    GetClientRect(window, &client);
    const int buttonWidth = 67;
    const int buttonHeight = 24;
    int buttonsTop = client.bottom - buttonHeight - 7;
    CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 6, buttonsTop + 2,
                    400, 18, window, NULL, instance, NULL);
    CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP,
                    client.right - 2 * buttonWidth - 10, buttonsTop, buttonWidth, buttonHeight,
                    window, NULL, instance, NULL);
    CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                    client.right - buttonWidth - 5, buttonsTop, buttonWidth, buttonHeight, window,
                    NULL, instance, NULL);
    HWND background = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                      1, 1, client.right - 2, buttonsTop - 2, window, NULL,
                                      instance, NULL);
    for (int i = 0; i < tables && i < mostTables; ++i) {
        int x = 17 + (i % tablesInRow) * (frame + 14);
        int y = 2 + (i / tablesInRow) * (frame + 1);
        HWND ring = CreateWindowExA(0, ringClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                    x, y, frame, frame, background, NULL, instance, NULL);
        HWND shown = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, border,
                                     border, frame - 2 * border, frame - 2 * border, ring, NULL,
                                     instance, NULL);
        tablePictures[i] = (HBITMAP)LoadImageA(NULL, picture, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        SendMessageA(shown, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)tablePictures[i]);
    }
}

void deleteTablePictures()
{
    for (HBITMAP &picture : tablePictures) {
        if (picture != NULL)
            DeleteObject(picture);
        picture = NULL;
    }
}

void flashRing()
{
    int colour = rand() % 10;
    if (colour == shownColour)
        return;
    shownColour = colour;
    HDC dc = GetDC(ringWindow);
    RECT everything = {0, 0, 10000, 10000};
    fillRing(dc, everything, colour);
    ReleaseDC(ringWindow, dc);
}

/* Waits until a message is there, flashing the ring every 25 ms meanwhile. */
void waitFlashing()
{
    for (;;) {
        DWORD left = nextFlashTick - GetTickCount();
        if (left == 0 || left > flashIntervalMs) {
            flashRing();
            nextFlashTick = GetTickCount() + flashIntervalMs;
            continue;
        }
        if (MsgWaitForMultipleObjectsEx(0, NULL, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
            WAIT_TIMEOUT)
            return;
    }
}

/* The next message for the loop; false at WM_QUIT. */
bool nextMessage(MSG *message)
{
    if (ringWindow == NULL)
        return GetMessageA(message, NULL, 0, 0) > 0;
    while (!PeekMessageA(message, NULL, 0, 0, PM_REMOVE))
        waitFlashing();
    return message->message != WM_QUIT;
}

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
    int frame = 0;
    int border = 0;
    int tables = 0;
    char picture[MAX_PATH] = "";
    if (sscanf(commandLine, "%d %d %259s %d %d %d %259s", &width, &height, program, &frame,
               &border, &tables, picture) < 3)
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
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = RingWndProc;
    windowClass.lpszClassName = ringClassName;
    if (frame > 0 && !RegisterClassA(&windowClass))
        return 1;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = CreateWindowExA(0, floorClassName, "Floor", WS_POPUP | WS_DLGFRAME, x, y,
                                  width, height, NULL, NULL, instance, NULL);
    if (window == NULL)
        return 1;
    if (tables > 0)
        createTableWindows(window, instance, frame, border, tables, picture);
    else if (frame > 0)
        createRing(window, instance, frame, border);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (nextMessage(&message))
        DispatchMessageA(&message);
    DestroyWindow(window);
    deleteTablePictures();
    return 0;
}
