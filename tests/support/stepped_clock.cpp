#include "tests/support/stepped_clock.h"

#include "ui/tick_clock.h"

namespace {
volatile LONG clockNow = 100000;
}

void setSteppedClock(DWORD now)
{
    InterlockedExchange(&clockNow, (LONG)now);
}

void advanceSteppedClock(DWORD ms)
{
    InterlockedExchangeAdd(&clockNow, (LONG)ms);
}

DWORD readTickClock(void)
{
    return (DWORD)InterlockedCompareExchange(&clockNow, 0, 0);
}
