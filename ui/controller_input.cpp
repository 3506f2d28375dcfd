#include "ui/controller_input.h"

#include "movie/logo_movie.h"
#include "ui/attract_mode.h"
#include "ui/controller_device.h"
#include "ui/shell_boxes.h"
#include "ui/shell_state.h"
#include "ui/shell_windows.h"
#include "ui/tick_clock.h"

namespace {

const UINT searchIntervalMs = 2000;
/* The first look starts the system's input devices, which under Wine keeps both cores busy for
   up to a second: a player's first click on a table then waited for it, 20 ms more before the
   table started. A second after the window or the movie shows, it is out of the way. */
const UINT firstSearchDelayMs = 1000;
/* While the devices start, the next look comes soon: a controller plugged in before the start
   then answers within the movie's second second, not two seconds later. */
const UINT warmUpSearchMs = 50;
const UINT readIntervalMs = 30;
/* A held direction steps again after these, as a held key repeats. */
const DWORD firstRepeatMs = 400;
const DWORD repeatMs = 120;
const DWORD okButton1 = 1;
const DWORD cancelButton2 = 2;
/* The hat's positions in hundredths of a degree clockwise from forward. */
const DWORD hatBack = 18000;
const DWORD hatFullCircle = 36000;

struct Controller {
    int attached;
    UINT id;
    ControllerCaps caps;
    DWORD buttons;   /* held at the last reading */
    int direction;   /* -1 previous table, 1 next, 0 none */
    DWORD lastStepTick;
    DWORD nextStepWait;
};

Controller controller = {};

void schedule(HWND window, UINT intervalMs)
{
    SetTimer(window, controllerTimerId, intervalMs, NULL);
}

/* A stick at rest never steps: it must be out more than half-way from the centre of the range
   that its driver reports toward an end. -1 toward the minimum, 1 toward the maximum. */
int axisDirection(DWORD position, DWORD minimum, DWORD maximum)
{
    if (maximum <= minimum)
        return 0;
    LONGLONG centre = ((LONGLONG)minimum + maximum) / 2;
    LONGLONG deadZone = ((LONGLONG)maximum - minimum) / 4;
    LONGLONG offset = (LONGLONG)position - centre;
    if (offset > deadZone)
        return 1;
    if (offset < -deadZone)
        return -1;
    return 0;
}

/* As the arrows: forward and left are the previous table, right and back the next. On a
   diagonal the side counts. */
int hatDirection(DWORD pov)
{
    if (pov >= hatFullCircle)
        return 0;
    if (pov == 0)
        return -1;
    if (pov == hatBack)
        return 1;
    return pov < hatBack ? 1 : -1;
}

/* The hat before the stick, and on the stick the side before forward and back. The position of
   a hat that the caps do not name means nothing. */
int directionOf(const ControllerReading &reading)
{
    const ControllerCaps &r = controller.caps;
    int hat = r.hasHat ? hatDirection(reading.pov) : 0;
    if (hat != 0)
        return hat;
    int side = axisDirection(reading.x, r.xMin, r.xMax);
    if (side != 0)
        return side;
    return axisDirection(reading.y, r.yMin, r.yMax);
}

/* Steps once when a direction is taken, then again after the first delay and after each
   repeat while it is held. Polls missed are not made up. */
void followDirection(int direction, DWORD now)
{
    if (direction != controller.direction) {
        controller.direction = direction;
        if (direction == 0)
            return;
        stepSelectionFromAnywhere(direction);
        controller.lastStepTick = now;
        controller.nextStepWait = firstRepeatMs;
        return;
    }
    if (direction == 0 || now - controller.lastStepTick < controller.nextStepWait)
        return;
    stepSelectionFromAnywhere(direction);
    controller.lastStepTick = now;
    controller.nextStepWait = repeatMs;
}

/* A direction held when attract mode ended steps only once it is let go and taken again. */
void holdDirection(int direction, DWORD now)
{
    controller.direction = direction;
    controller.lastStepTick = now;
    controller.nextStepWait = INFINITE;
}

bool moviePlaying()
{
    return currentMovie != NULL && currentMovie->playing;
}

void onButtonsPressed(DWORD pressed)
{
    if (pressed == 0)
        return;
    if (moviePlaying()) {
        stopMovie();
        return;
    }
    HWND box = openMessageBox();
    if (box != NULL) {
        if (pressed & okButton1)
            pressBoxButton(box, IDOK);
        else if (pressed & cancelButton2)
            pressBoxButton(box, IDCANCEL);
        return;
    }
    if (!shellTakesInput())
        return;
    if (pressed & okButton1)
        chooseSelectedTable();
    else if (pressed & cancelButton2)
        endShellRun();
}

/* A button held when the controller is found acts only once it is let go and pressed again: it
   may be still down from the table program that just ended. */
bool attach(HWND window)
{
    ControllerSearch found = findController(&controller.id, &controller.caps);
    if (found != controllerFound) {
        schedule(window, found == devicesStarting ? warmUpSearchMs : searchIntervalMs);
        return false;
    }
    controller.attached = 1;
    controller.buttons = ~(DWORD)0;
    controller.direction = 0;
    schedule(window, readIntervalMs);
    return true;
}

void letGo(HWND window)
{
    controller.attached = 0;
    controller.direction = 0;
    schedule(window, searchIntervalMs);
}

} // namespace

/* The first look waits for a WM_TIMER, which comes only once the queue is empty: after the
   window or the movie is shown. */
void startControllerPolling(HWND window)
{
    controller = Controller();
    schedule(window, firstSearchDelayMs);
}

/* The state is updated before acting: OK may open a box, whose loop polls again. */
void pollController(HWND window)
{
    if (!controller.attached && !attach(window))
        return;
    ControllerReading reading;
    if (!readController(controller.id, &reading)) {
        letGo(window);
        return;
    }
    DWORD pressed = reading.buttons & ~controller.buttons;
    controller.buttons = reading.buttons;
    int direction = shellTakesInput() ? directionOf(reading) : 0;
    DWORD now = readTickClock();
    // A press, or a direction held now or let go since the last reading.
    if ((pressed != 0 || direction != 0 || controller.direction != 0) &&
        attractModeTakesControllerInput()) {
        holdDirection(direction, now);
        return;
    }
    followDirection(direction, now);
    onButtonsPressed(pressed);
}
