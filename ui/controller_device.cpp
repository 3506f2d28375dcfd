#include "ui/controller_device.h"

#include <mmsystem.h>

namespace {

typedef UINT(WINAPI *NumDevsFunction)(void);
typedef MMRESULT(WINAPI *DevCapsFunction)(UINT_PTR, LPJOYCAPSA, UINT);
typedef MMRESULT(WINAPI *PosExFunction)(UINT, LPJOYINFOEX);

NumDevsFunction numDevs = NULL;
DevCapsFunction devCaps = NULL;
PosExFunction posEx = NULL;

/* Through a function type without parameters, which any function pointer converts from. */
template <typename Function> Function libraryFunction(HMODULE library, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(GetProcAddress(library, name)));
}

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

bool readPosition(UINT id, JOYINFOEX *info)
{
    info->dwSize = sizeof *info;
    info->dwFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNPOV | JOY_RETURNBUTTONS;
    return posEx(id, info) == JOYERR_NOERROR;
}

} // namespace

/* A number whose driver gives capabilities may still have nothing plugged in: only one that
   also gives a position counts. */
int findController(UINT *id, ControllerRange *range)
{
    if (!loadJoystickFunctions())
        return 0;
    UINT count = numDevs();
    for (UINT i = 0; i < count; ++i) {
        JOYCAPSA caps;
        JOYINFOEX info;
        if (devCaps(i, &caps, sizeof caps) != JOYERR_NOERROR || !readPosition(i, &info))
            continue;
        *id = i;
        *range = {caps.wXmin, caps.wXmax, caps.wYmin, caps.wYmax};
        return 1;
    }
    return 0;
}

int readController(UINT id, ControllerReading *reading)
{
    JOYINFOEX info;
    if (posEx == NULL || !readPosition(id, &info))
        return 0;
    *reading = {info.dwXpos, info.dwYpos, info.dwPOV, info.dwButtons};
    return 1;
}
