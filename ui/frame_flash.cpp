#include "ui/frame_flash.h"

#include "settings/catalogue.h"
#include "ui/background_window.h"
#include "ui/shell_state.h"
#include "ui/tick_clock.h"

#include <stdlib.h>

namespace {

const DWORD flashIntervalMs = 25;
const int flashColourCount = 10;
const int steadyGreyIndex = 12;
const int blackIndex = 0;

/* The clock's reading at the last flash. */
DWORD lastFlashTick = 0;

/* The frame whose whole ring the last flash painted, and in which colour. Only a flash and
   the frame's WM_PAINT change the ring, so until that frame paints again a flash in the same
   colour would put the same pixels on the screen. A WM_PAINT may paint part of the ring only,
   in a colour of its own: it forgets the frame. */
HWND flashedFrame = NULL;
COLORREF flashedColour = 0;

COLORREF frameColour(const TableEntry *entry)
{
    if (entry != currentSelection)
        return PALETTEINDEX(blackIndex);
    if (backgroundHasFocus)
        return PALETTEINDEX(rand() % flashColourCount);
    return PALETTEINDEX(steadyGreyIndex);
}

/* A brush that cannot be made leaves the ring as it was. */
bool fillFrame(HDC dc, const RECT *area, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    if (brush == NULL)
        return false;
    FillRect(dc, area, brush);
    DeleteObject(brush);
    return true;
}

bool selectionFlashes()
{
    return currentSelection != NULL && backgroundHasFocus;
}

/* 0 when a flash is due at `now`, else the ms until it is. The next flash is counted from the
   last one, not kept in step with a fixed beat: on a clock that advances in 15.6 ms steps a
   beat of 25 ms would put one flash in three only 16 ms after the one before. Ticks missed (a
   slow message, a time without the focus) are not made up. The difference of two readings
   is right also across the clock's wrap-around after 49 days. */
DWORD msUntilFlashDue(DWORD now)
{
    DWORD sinceLastFlash = now - lastFlashTick;
    if (sinceLastFlash >= flashIntervalMs)
        return 0;
    return flashIntervalMs - sinceLastFlash;
}

} // namespace

void waitForMessageWhileFlashing(DWORD limitMs)
{
    DWORD start = limitMs == INFINITE ? 0 : readTickClock();
    for (;;) {
        DWORD wait = INFINITE;
        if (limitMs != INFINITE) {
            DWORD waited = readTickClock() - start;
            if (waited >= limitMs)
                return;
            wait = limitMs - waited;
        }
        if (selectionFlashes()) {
            DWORD now = readTickClock();
            DWORD flashWait = msUntilFlashDue(now);
            if (flashWait == 0) {
                flashFrame(currentSelection);
                lastFlashTick = now;
                continue;
            }
            if (flashWait < wait)
                wait = flashWait;
        }
        if (MsgWaitForMultipleObjectsEx(0, NULL, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
            WAIT_TIMEOUT)
            return;
    }
}

void flashFrame(const TableEntry *entry)
{
    HWND frame = entry->frameWindow;
    if (frame == NULL)
        return;
    COLORREF colour = frameColour(entry);
    if (frame == flashedFrame && colour == flashedColour)
        return;
    HDC dc = GetDC(frame);
    if (dc == NULL)
        return;
    RECT everything = {0, 0, 10000, 10000};
    flashedFrame = fillFrame(dc, &everything, colour) ? frame : NULL;
    flashedColour = colour;
    ReleaseDC(frame, dc);
}

void paintFrameArea(HWND frame, HDC dc, const RECT *area, const TableEntry *entry)
{
    if (frame == flashedFrame)
        flashedFrame = NULL;
    fillFrame(dc, area, frameColour(entry));
}
