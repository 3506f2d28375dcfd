#include "ui/tick_clock.h"

DWORD readTickClock(void)
{
    return GetTickCount();
}
