#include "tests/support/coarse_clock.h"

#include "ui/tick_clock.h"

namespace {
bool coarseClock = false;
// 15.625 ms, the step of Windows' tick count, is 125/8 ms.
const unsigned long long stepNumerator = 125, stepDenominator = 8;
}

void setCoarseClock(bool coarse)
{
    coarseClock = coarse;
}

DWORD readTickClock(void)
{
    DWORD now = GetTickCount();
    if (!coarseClock)
        return now;
    unsigned long long steps = now * stepDenominator / stepNumerator;
    return (DWORD)(steps * stepNumerator / stepDenominator);
}
