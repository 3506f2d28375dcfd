#ifndef PINBALL_TEST_SCRIPTED_CONTROLLER_H
#define PINBALL_TEST_SCRIPTED_CONTROLLER_H

#include <windows.h>

#include "ui/controller_device.h"

// A controller that the test plugs in, moves, presses and pulls out, linked in place of the
// shell's winmm one; any thread may script it. It is attached as number 2, with a hat and the
// range 0..65535 on both axes unless told otherwise, at rest: stick centred, hat centred, no
// button unless told that some are held.

const DWORD restingHat = 0xFFFF;
const ControllerCaps scriptedCaps = {0, 65535, 0, 65535, 1};

void attachScriptedController(const ControllerCaps &caps = scriptedCaps, DWORD heldButtons = 0);
void removeScriptedController();
// What the controller shows from now on.
void setScriptedReading(const ControllerReading &reading);
// The system's input devices start at the next search and are up `ms` later; until then every
// search finds that they are starting. 0, as at the start, has them up at once.
void setScriptedWarmUp(DWORD ms);
// Searches and readings the shell made so far.
LONG scriptedSearches();
LONG scriptedReadings();

#endif
