#include "ui/attract_mode.h"

#include "settings/attract_settings.h"
#include "settings/catalogue.h"
#include "ui/shell_state.h"
#include "ui/shell_windows.h"
#include "ui/tick_clock.h"

namespace {

const DWORD stepIntervalMs = 4000;
/* No screen reaches so far left. */
const LONG unknownPosition = -100000;

struct AttractMode {
    DWORD idleMs; /* 0: never */
    int keepAwake;
    DWORD idleSince;
    int running;
    DWORD lastStepTick;
    TableEntry *selectionBefore;
    HWND focusBefore;
    /* The rest of the input that ended it: the key until it is let go (its repeats too), and
       after a click the double-click that the system makes of the next one (only the pictures
       take double-clicks, of the left button). */
    WPARAM heldKey;
    int clicked;
    /* Where the pointer was last seen: a move message without a move is the system's own.
       The first one seen (the system sends one when the window appears under the pointer)
       only tells where it is. */
    POINT pointer;
};

AttractMode attract = {};

bool isKey(UINT message)
{
    return message >= WM_KEYFIRST && message <= WM_SYSKEYUP && message != WM_CHAR &&
           message != WM_DEADCHAR;
}

bool isKeyDown(UINT message)
{
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

bool isPointerMove(UINT message)
{
    return message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE;
}

bool isMouse(UINT message)
{
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

bool isInput(const MSG *message)
{
    if (isPointerMove(message->message)) {
        bool known = attract.pointer.x != unknownPosition;
        if (message->pt.x == attract.pointer.x && message->pt.y == attract.pointer.y)
            return false;
        attract.pointer = message->pt;
        return known;
    }
    return isKey(message->message) || isMouse(message->message);
}

bool focusInShell(HWND focus)
{
    return focus != NULL && (focus == mainWindow || IsChild(mainWindow, focus));
}

TableEntry *nextTable()
{
    if (currentSelection == NULL)
        return &tableEntries[0];
    return &tableEntries[(currentSelection->position + 1) % tableCount];
}

/* The pictures take the focus, as from a click, so that the frame flashes. The default
   buttons are let be: the focus comes back to where it was at the end. */
void begin(DWORD now)
{
    attract.running = 1;
    attract.selectionBefore = currentSelection;
    attract.focusBefore = GetFocus();
    if (attract.keepAwake)
        SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
    TableEntry *first = nextTable();
    if (focusInShell(attract.focusBefore))
        SetFocus(backgroundWindow);
    selectTable(first);
    attract.lastStepTick = now;
}

void step(DWORD now)
{
    selectTable(nextTable());
    attract.lastStepTick = now;
}

/* The selection first: taking the focus from the pictures then paints their frame steady. */
void end()
{
    attract.running = 0;
    if (attract.keepAwake)
        SetThreadExecutionState(ES_CONTINUOUS);
    if (attract.selectionBefore != NULL)
        selectTable(attract.selectionBefore);
    else
        clearSelection();
    if (focusInShell(attract.focusBefore) && GetFocus() != attract.focusBefore)
        SetFocus(attract.focusBefore);
}

/* Repeats of the key that ended it, its release, and the double-click of the click. */
bool isRestOfEndingInput(const MSG *message)
{
    UINT kind = message->message;
    if (attract.heldKey != 0 && isKey(kind) && message->wParam == attract.heldKey) {
        if (!isKeyDown(kind))
            attract.heldKey = 0;
        return true;
    }
    if (attract.clicked && (kind == WM_LBUTTONDOWN || kind == WM_LBUTTONDBLCLK)) {
        attract.clicked = 0;
        return kind == WM_LBUTTONDBLCLK;
    }
    return false;
}

} // namespace

void startAttractMode(void)
{
    AttractSettings settings = readAttractSettings();
    attract = AttractMode();
    attract.idleMs = (DWORD)settings.idleSeconds * 1000;
    attract.keepAwake = settings.keepAwake;
    attract.pointer.x = unknownPosition;
    restartIdleCount();
}

void stopAttractMode(void)
{
    if (attract.running && attract.keepAwake)
        SetThreadExecutionState(ES_CONTINUOUS);
    attract.running = 0;
}

DWORD runAttractMode(void)
{
    if (attract.idleMs == 0 || tableCount == 0)
        return INFINITE;
    DWORD now = readTickClock();
    if (!attract.running) {
        DWORD idle = now - attract.idleSince;
        if (idle < attract.idleMs)
            return attract.idleMs - idle;
        /* Shown again or enabled, the window counts the idle time anew. */
        if (!shellTakesInput())
            return INFINITE;
        begin(now);
        return stepIntervalMs;
    }
    if (!shellTakesInput()) {
        end();
        return INFINITE;
    }
    DWORD sinceStep = now - attract.lastStepTick;
    if (sinceStep < stepIntervalMs)
        return stepIntervalMs - sinceStep;
    step(now);
    return stepIntervalMs;
}

int attractModeTakesMessage(const MSG *message)
{
    if (!isInput(message))
        return 0;
    restartIdleCount();
    if (!attract.running)
        return isRestOfEndingInput(message);
    end();
    UINT kind = message->message;
    attract.heldKey = isKeyDown(kind) ? message->wParam : 0;
    attract.clicked = kind == WM_LBUTTONDOWN;
    return 1;
}

int attractModeTakesControllerInput(void)
{
    restartIdleCount();
    if (!attract.running)
        return 0;
    end();
    return 1;
}

void restartIdleCount(void)
{
    attract.idleSince = readTickClock();
}
