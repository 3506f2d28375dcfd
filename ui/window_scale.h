#ifndef PINBALL_WINDOW_SCALE_H
#define PINBALL_WINDOW_SCALE_H

#include <windows.h>

/* The whole number by which everything the shell's window draws is enlarged: chosen by the
   player in the settings, or else from the DPI of the window's monitor. */

const int largestScale = 8;
/* REG_DWORD in the shell's settings key: 1 to largestScale fixes the scale, anything else
   (0, absent) takes it from the DPI. */
extern const char windowScaleValue[];

/* The nearest whole number to dpi / 96, halves rounded up, at least 1 and at most
   largestScale. */
int scaleForDpi(int dpi);
/* 1 when the player's stored value fixes the scale: a whole number from 1 to largestScale. */
int fixesScale(int playerScale);
/* The player's scale when it is one, else the DPI's. */
int wantedScale(int playerScale, int dpi);
/* The player's value from the settings, 0 when there is none. */
int readPlayerScale(void);

/* The DPI the system's own fonts and metrics are made for (the screen DC's). */
int systemDpi(void);

/* Where the window stands: its monitor's DPI, whole area and work area. */
struct ScreenPlace {
    int dpi;
    RECT monitor;
    RECT workArea;
};
/* The monitor of `window`, or the primary one when there is no window yet. The DPI comes from
   the per-monitor functions where the system has them, else it is `dpiOfSystem` (systemDpi's,
   which the caller has at hand). */
ScreenPlace screenPlaceOf(HWND window, int dpiOfSystem);

#endif
