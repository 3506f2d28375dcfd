#include "ui/controller_device.h"

#include "common/src/library_function.h"

#include <mmsystem.h>

namespace {

typedef UINT(WINAPI *NumDevsFunction)(void);
typedef MMRESULT(WINAPI *DevCapsFunction)(UINT_PTR, LPJOYCAPSA, UINT);
typedef MMRESULT(WINAPI *PosExFunction)(UINT, LPJOYINFOEX);

NumDevsFunction numDevs = NULL;
DevCapsFunction devCaps = NULL;
PosExFunction posEx = NULL;

/* Loads the library once; 1 when its three joystick functions can be used. */
bool loadJoystickFunctions()
{
    if (posEx != NULL)
        return true;
    HMODULE library = LoadLibraryA("winmm.dll");
    if (library == NULL)
        return false;
    numDevs = libraryFunction<NumDevsFunction>(library, "joyGetNumDevs");
    devCaps = libraryFunction<DevCapsFunction>(library, "joyGetDevCapsA");
    posEx = libraryFunction<PosExFunction>(library, "joyGetPosEx");
    if (numDevs != NULL && devCaps != NULL && posEx != NULL)
        return true;
    posEx = NULL;
    FreeLibrary(library);
    return false;
}

/* The first call that asks a device starts the system's input devices, which under Wine takes
   from 0.2 to 0.9 s, mostly waiting, and 50 to 90 ms of processor time; the searches after it
   take a fraction of a millisecond. A thread of its own makes that first call, so that the
   window answers meanwhile: 0 before it started, 1 while it runs, 2 once it is done. */
volatile LONG warmUp = 0;

DWORD WINAPI warmUpJoysticks(LPVOID)
{
    JOYCAPSA caps;
    if (loadJoystickFunctions())
        devCaps(0, &caps, sizeof caps);
    InterlockedExchange(&warmUp, 2);
    return 0;
}

/* True once the first call is done; starts it on the first question. Without a thread the
   call is made here. */
bool warmedUp()
{
    if (InterlockedCompareExchange(&warmUp, 1, 0) == 0) {
        HANDLE thread = CreateThread(NULL, 0, warmUpJoysticks, NULL, 0, NULL);
        if (thread == NULL)
            warmUpJoysticks(NULL);
        else
            CloseHandle(thread);
    }
    return InterlockedCompareExchange(&warmUp, 2, 2) == 2;
}

bool readPosition(UINT id, JOYINFOEX *info)
{
    info->dwSize = sizeof *info;
    info->dwFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNPOV | JOY_RETURNBUTTONS;
    return posEx(id, info) == JOYERR_NOERROR;
}

} // namespace

/* A number whose driver gives capabilities may still have nothing plugged in: only one that
   also gives a position counts. */
ControllerSearch findController(UINT *id, ControllerCaps *found)
{
    if (!warmedUp())
        return devicesStarting;
    if (posEx == NULL)
        return noController;
    UINT count = numDevs();
    for (UINT i = 0; i < count; ++i) {
        JOYCAPSA caps;
        JOYINFOEX info;
        if (devCaps(i, &caps, sizeof caps) != JOYERR_NOERROR || !readPosition(i, &info))
            continue;
        *id = i;
        int hasHat = (caps.wCaps & JOYCAPS_HASPOV) != 0;
        *found = {caps.wXmin, caps.wXmax, caps.wYmin, caps.wYmax, hasHat};
        return controllerFound;
    }
    return noController;
}

int readController(UINT id, ControllerReading *reading)
{
    JOYINFOEX info;
    if (posEx == NULL || !readPosition(id, &info))
        return 0;
    *reading = {info.dwXpos, info.dwYpos, info.dwPOV, info.dwButtons};
    return 1;
}
