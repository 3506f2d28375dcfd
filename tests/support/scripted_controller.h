#ifndef PINBALL_TEST_SCRIPTED_CONTROLLER_H
#define PINBALL_TEST_SCRIPTED_CONTROLLER_H

#include <windows.h>

#include "ui/controller_device.h"

// A controller that the test plugs in, moves, presses and pulls out, linked in place of the
// shell's winmm one; any thread may script it. It is attached as number 2, with the range
// 0..65535 on both axes unless told otherwise, at rest: stick centred, hat centred, no button.

const DWORD restingHat = 0xFFFF;

void attachScriptedController(const ControllerRange &range = {0, 65535, 0, 65535});
void removeScriptedController();
// What the controller shows from now on.
void setScriptedReading(const ControllerReading &reading);
// Searches and readings the shell made so far.
LONG scriptedSearches();
LONG scriptedReadings();

#endif
