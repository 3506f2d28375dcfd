#include "tests/support/scripted_controller.h"

#include <mutex>

namespace {

const UINT scriptedId = 2;
const ControllerReading resting = {32767, 32767, restingHat, 0};

std::mutex guard;
bool attached = false;
ControllerRange currentRange = {};
ControllerReading current = resting;
volatile LONG searches = 0;
volatile LONG readings = 0;

} // namespace

void attachScriptedController(const ControllerRange &range)
{
    std::lock_guard<std::mutex> lock(guard);
    attached = true;
    currentRange = range;
    current = resting;
    current.x = (range.xMin + range.xMax) / 2;
    current.y = (range.yMin + range.yMax) / 2;
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

LONG scriptedSearches()
{
    return InterlockedCompareExchange(&searches, 0, 0);
}

LONG scriptedReadings()
{
    return InterlockedCompareExchange(&readings, 0, 0);
}

int findController(UINT *id, ControllerRange *range)
{
    InterlockedIncrement(&searches);
    std::lock_guard<std::mutex> lock(guard);
    if (!attached)
        return 0;
    *id = scriptedId;
    *range = currentRange;
    return 1;
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
