#include "tests/support/scripted_controller.h"

#include <mutex>

namespace {

const UINT scriptedId = 2;
const ControllerReading resting = {32767, 32767, restingHat, 0};

std::mutex guard;
bool attached = false;
ControllerCaps currentCaps = {};
ControllerReading current = resting;
DWORD warmUpMs = 0;
bool warmUpStarted = false;
DWORD warmUpStart = 0;
volatile LONG searches = 0;
volatile LONG readings = 0;

} // namespace

void attachScriptedController(const ControllerCaps &caps, DWORD heldButtons)
{
    std::lock_guard<std::mutex> lock(guard);
    attached = true;
    currentCaps = caps;
    current = resting;
    current.x = (caps.xMin + caps.xMax) / 2;
    current.y = (caps.yMin + caps.yMax) / 2;
    current.buttons = heldButtons;
}

void removeScriptedController()
{
    std::lock_guard<std::mutex> lock(guard);
    attached = false;
}

void setScriptedReading(const ControllerReading &reading)
{
    std::lock_guard<std::mutex> lock(guard);
    current = reading;
}

void setScriptedWarmUp(DWORD ms)
{
    std::lock_guard<std::mutex> lock(guard);
    warmUpMs = ms;
    warmUpStarted = false;
}

LONG scriptedSearches()
{
    return InterlockedCompareExchange(&searches, 0, 0);
}

LONG scriptedReadings()
{
    return InterlockedCompareExchange(&readings, 0, 0);
}

ControllerSearch findController(UINT *id, ControllerCaps *caps)
{
    InterlockedIncrement(&searches);
    std::lock_guard<std::mutex> lock(guard);
    if (!warmUpStarted) {
        warmUpStarted = true;
        warmUpStart = GetTickCount();
    }
    if (GetTickCount() - warmUpStart < warmUpMs)
        return devicesStarting;
    if (!attached)
        return noController;
    *id = scriptedId;
    *caps = currentCaps;
    return controllerFound;
}

int readController(UINT id, ControllerReading *reading)
{
    InterlockedIncrement(&readings);
    std::lock_guard<std::mutex> lock(guard);
    if (!attached || id != scriptedId)
        return 0;
    *reading = current;
    return 1;
}
