#ifndef PINBALL_CONTROLLER_DEVICE_H
#define PINBALL_CONTROLLER_DEVICE_H

#include <windows.h>

/* The one place that the shell reads game controllers, so that a test can link scripted ones
   in place of this module. This one reads them through the multimedia library's joystick
   functions, loading the library, and starting the system's input devices, on a thread of its
   own at the first search: the window is shown before, and answers meanwhile. */

/* The first stick's range as its driver reports it. */
struct ControllerRange {
    DWORD xMin, xMax, yMin, yMax;
};

/* What a controller shows now. */
struct ControllerReading {
    DWORD x, y;    /* the first stick, within its range */
    DWORD pov;     /* the hat in hundredths of a degree clockwise from forward; JOY_POVCENTERED
                      (0xFFFF) at rest or when there is none */
    DWORD buttons; /* bit 0 is button 1 */
};

/* The first controller that answers: 1 with its number and range, 0 when none does, or while
   the devices are still being started. */
int findController(UINT *id, ControllerRange *range);
/* 1 with the controller's state; 0 when it no longer answers (pulled out). */
int readController(UINT id, ControllerReading *reading);

#endif
