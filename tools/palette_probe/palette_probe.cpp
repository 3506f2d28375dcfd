/* Follows 236 colours of a realised palette step by step on a 256-colour display and prints
   how many pixels keep their colour at each step: the system palette, a device bitmap made by
   CreateDIBitmap, a DIB drawn straight into a top-level window and into a child window, the
   device bitmap blitted into the window, and the DIB drawn on the screen DC outside any window.
   The screen is read back through a 32-bit DIB section. Run it with
   PINBALL_XVFB_DEPTH=8 scripts/wine-run build/palette_probe.exe */

#include <windows.h>

#include <stdio.h>

namespace {

const int colourCount = 236;
const int stripWidth = colourCount;
const int stripHeight = 20;

struct StripDib {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

StripDib strip;
BYTE stripBits[stripWidth * stripHeight];

COLORREF fileColour(int x)
{
    const RGBQUAD &c = strip.colours[x % colourCount];
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

/* Colours that no fixed colour table of a display driver is likely to hold. */
void makeStrip()
{
    strip.header = {sizeof(BITMAPINFOHEADER), stripWidth, stripHeight, 1, 8, BI_RGB, 0, 0, 0, colourCount, 0};
    for (int i = 0; i < colourCount; i++)
        strip.colours[i] = {(BYTE)(17 + i), (BYTE)(i * 91 % 253), (BYTE)(i * 37 % 251), 0};
    for (int y = 0; y < stripHeight; y++)
        for (int x = 0; x < stripWidth; x++)
            stripBits[y * stripWidth + x] = (BYTE)(x % colourCount);
}

HPALETTE makePalette()
{
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } palette = {0x300, 256, {}};
    for (int i = 0; i < colourCount; i++)
        palette.entries[10 + i] = {strip.colours[i].rgbRed, strip.colours[i].rgbGreen, strip.colours[i].rgbBlue,
                                   PC_NOCOLLAPSE};
    return CreatePalette((LOGPALETTE *)&palette);
}

struct Count {
    int exact, distinct;
};

/* Compares 32-bit top-down pixels with the strip's file colours. */
Count countPixels(const DWORD *pixels)
{
    static bool seen[1 << 24];
    Count count = {0, 0};
    for (int i = 0; i < stripWidth * stripHeight; i++) {
        COLORREF colour = RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF);
        count.exact += colour == fileColour(i % stripWidth);
        if (!seen[colour]) {
            seen[colour] = true;
            count.distinct++;
        }
    }
    for (int i = 0; i < stripWidth * stripHeight; i++)
        seen[RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF)] = false;
    return count;
}

BITMAPINFO readInfo()
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), stripWidth, -stripHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

Count countOnScreen(int left, int top)
{
    BITMAPINFO info = readInfo();
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, stripWidth, stripHeight, screen, left, top, SRCCOPY);
    GdiFlush();
    Count count = countPixels((const DWORD *)bits);
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return count;
}

Count countInBitmap(HBITMAP bitmap)
{
    static DWORD pixels[stripWidth * stripHeight];
    BITMAPINFO info = readInfo();
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, stripHeight, pixels, &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    return countPixels(pixels);
}

void report(const char *step, Count count)
{
    printf("%-58s %5d of %d exact, %3d colours\n", step, count.exact, stripWidth * stripHeight, count.distinct);
}

/* Lets Wine copy what was drawn to the display. */
void settle()
{
    DWORD end = GetTickCount() + 300;
    MSG message;
    while (GetTickCount() < end) {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(10);
    }
}

void drawStrip(HDC dc, int left, int top)
{
    StretchDIBits(dc, left, top, stripWidth, stripHeight, 0, 0, stripWidth, stripHeight, stripBits,
                  (const BITMAPINFO *)&strip, DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    settle();
}

int systemPaletteHits(HDC dc)
{
    PALETTEENTRY system[256];
    GetSystemPaletteEntries(dc, 0, 256, system);
    int hits = 0;
    for (int i = 0; i < colourCount; i++)
        for (const PALETTEENTRY &entry : system)
            if (RGB(entry.peRed, entry.peGreen, entry.peBlue) == fileColour(i)) {
                hits++;
                break;
            }
    return hits;
}

LRESULT CALLBACK probeWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void probeWindows(HPALETTE palette)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = probeWndProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "PaletteProbeClass";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "PaletteProbeClass", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL,
                                  windowClass.hInstance, NULL);
    HWND child = CreateWindowExA(0, "PaletteProbeClass", "", WS_CHILD | WS_VISIBLE, 0, 100, 300, 100, window, NULL,
                                 windowClass.hInstance, NULL);
    SetForegroundWindow(window);
    settle();

    HDC dc = GetDC(window);
    SelectPalette(dc, palette, FALSE);
    UINT mapped = RealizePalette(dc);
    printf("RealizePalette in the window's DC maps %u entries; %d of the %d colours are in the system palette\n",
           mapped, systemPaletteHits(dc), colourCount);

    HBITMAP bitmap = CreateDIBitmap(dc, &strip.header, CBM_INIT, stripBits, (const BITMAPINFO *)&strip, DIB_RGB_COLORS);
    BITMAP shape = {};
    GetObjectA(bitmap, sizeof shape, &shape);
    printf("CreateDIBitmap in the window's DC gives a %d-bit device bitmap\n", shape.bmBitsPixel);
    report("device bitmap, read with GetDIBits", countInBitmap(bitmap));

    drawStrip(dc, 0, 0);
    report("DIB drawn into the top-level window", countOnScreen(0, 0));

    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 30, stripWidth, stripHeight, memory, 0, 0, SRCCOPY);
    settle();
    report("device bitmap blitted into the top-level window", countOnScreen(0, 30));
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(window, dc);

    HDC childDC = GetDC(child);
    SelectPalette(childDC, palette, FALSE);
    RealizePalette(childDC);
    drawStrip(childDC, 0, 0);
    ReleaseDC(child, childDC);
    report("DIB drawn into a child window", countOnScreen(0, 100));

    DestroyWindow(window);
    UnregisterClassA("PaletteProbeClass", windowClass.hInstance);
}

/* The screen DC draws on the display directly: this shows what the read-back can see. */
void probeScreen(HPALETTE palette)
{
    HDC screen = GetDC(NULL);
    HPALETTE old = SelectPalette(screen, palette, FALSE);
    RealizePalette(screen);
    drawStrip(screen, 320, 300);
    SelectPalette(screen, old, FALSE);
    ReleaseDC(NULL, screen);
    report("DIB drawn on the screen DC, outside any window", countOnScreen(320, 300));
}

} // namespace

int main()
{
    HDC screen = GetDC(NULL);
    printf("display: %d bits per pixel, palette device %s\n", GetDeviceCaps(screen, BITSPIXEL),
           (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) ? "yes" : "no");
    ReleaseDC(NULL, screen);
    makeStrip();
    HPALETTE palette = makePalette();
    if (palette == NULL)
        return 1;
    probeWindows(palette);
    probeScreen(palette);
    DeleteObject(palette);
    return 0;
}
