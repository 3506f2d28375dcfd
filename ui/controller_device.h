#ifndef PINBALL_CONTROLLER_DEVICE_H
#define PINBALL_CONTROLLER_DEVICE_H

#include <windows.h>

/* The one place that the shell reads game controllers, so that a test can link scripted ones
   in place of this module. This one reads them through the multimedia library's joystick
   functions, loading the library, and starting the system's input devices, on a thread of its
   own at the first search: the window is shown before, and answers meanwhile. */

/* What a controller has, as its driver reports it: the first stick's range, and whether it has
   a hat at all (a driver may report a position of 0 for a hat that is not there). */
struct ControllerCaps {
    DWORD xMin, xMax, yMin, yMax;
    int hasHat;
};

/* What a controller shows now. */
struct ControllerReading {
    DWORD x, y;    /* the first stick, within its range */
    DWORD pov;     /* the hat in hundredths of a degree clockwise from forward; JOY_POVCENTERED
                      (0xFFFF) at rest; anything when there is none */
    DWORD buttons; /* bit 0 is button 1 */
};

/* What a search found. The system's input devices start at the first search and take a while:
   until they are up, none can be found, and a search soon after is worth making. */
enum ControllerSearch { noController, controllerFound, devicesStarting };

/* The first controller that answers: controllerFound with its number and caps. */
ControllerSearch findController(UINT *id, ControllerCaps *caps);
/* 1 with the controller's state; 0 when it no longer answers (pulled out). */
int readController(UINT id, ControllerReading *reading);

#endif
